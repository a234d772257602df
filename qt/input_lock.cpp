#include "qt/input_lock.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

namespace vorlund::qt {
namespace {

bool isUserInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

InputLock::InputLock(std::vector<QWidget*> widgets, std::chrono::milliseconds greyAfter,
                     QObject* parent)
    : QObject(parent), m_widgets(std::move(widgets))
{
    m_greyTimer.setSingleShot(true);
    m_greyTimer.setInterval(greyAfter);
    connect(&m_greyTimer, &QTimer::timeout, this, &InputLock::greyOut);
}

void InputLock::lock()
{
    if (m_locked)
        return;
    m_locked = true;
    qApp->installEventFilter(this);
    m_greyTimer.start();
}

void InputLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    m_greyTimer.stop();
    qApp->removeEventFilter(this);
    if (!m_greyed)
        return;
    m_greyed = false;
    for (QWidget* widget : m_widgets)
        widget->setEnabled(true);
    if (m_focus)
        m_focus->setFocus();
}

void InputLock::greyOut()
{
    // Disabling a widget with the focus passes it on; it comes back when the lock ends.
    m_focus = nullptr;
    for (QWidget* widget : m_widgets) {
        if (widget->hasFocus())
            m_focus = widget;
    }
    for (QWidget* widget : m_widgets)
        widget->setEnabled(false);
    m_greyed = true;
}

// Popups (a drive list's drop-down) are windows of their own, so the parents are walked by hand.
bool InputLock::holds(const QObject* watched) const
{
    for (auto* widget = qobject_cast<const QWidget*>(watched); widget;
         widget = widget->parentWidget()) {
        if (std::find(m_widgets.begin(), m_widgets.end(), widget) != m_widgets.end())
            return true;
    }
    return false;
}

bool InputLock::eventFilter(QObject* watched, QEvent* event)
{
    return isUserInput(*event) && holds(watched);
}

} // namespace vorlund::qt
