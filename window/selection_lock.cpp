#include "window/selection_lock.h"

namespace vorlund {

void SelectionLock::lock()
{
    if (m_locked)
        return;
    m_locked = true;
    dropInput(true);
}

void SelectionLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    dropInput(false);
    if (!m_greyed)
        return;
    m_greyed = false;
    enableLists(true);
    if (m_focus >= 0)
        focusList(m_focus);
}

void SelectionLock::greyOut()
{
    if (!m_locked || m_greyed)
        return;
    // Disabling the list with the focus passes it on; it comes back when the lock ends.
    m_focus = focusedList();
    enableLists(false);
    m_greyed = true;
}

} // namespace vorlund
