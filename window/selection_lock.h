#pragma once

#include <chrono>

namespace vorlund {

// Keeps the drive and folder lists still while a pass runs: the front end drops the user's input
// to them while locked. A lock that lasts longer than greyOutDelay also greys them out, and gives
// back the focus one of them had when it ends; a short pass so shows nothing and moves no focus.
class SelectionLock
{
public:
    static constexpr std::chrono::milliseconds greyOutDelay{300};

    virtual ~SelectionLock() = default;
    void lock();
    void unlock();
    // Called by the front end's timer that dropInput(true) starts.
    void greyOut();
    bool locked() const { return m_locked; }

protected:
    // Starts dropping the user's input to the lists and a single-shot timer that calls greyOut();
    // false stops both.
    virtual void dropInput(bool dropping) = 0;
    // The list with the keyboard focus, -1 for none.
    virtual int focusedList() const = 0;
    virtual void enableLists(bool enabled) = 0;
    virtual void focusList(int list) = 0;

private:
    bool m_locked = false;
    bool m_greyed = false;
    int m_focus = -1;
};

} // namespace vorlund
