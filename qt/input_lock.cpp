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
    connect(&m_greyTimer, &QTimer::timeout, this, [this] { greyOut(); });
}

void InputLock::dropInput(bool dropping)
{
    if (dropping) {
        qApp->installEventFilter(this);
        m_greyTimer.start();
    } else {
        m_greyTimer.stop();
        qApp->removeEventFilter(this);
    }
}

int InputLock::focusedList() const
{
    const auto focused = std::ranges::find_if(m_widgets, &QWidget::hasFocus);
    return focused == m_widgets.end() ? -1 : int(focused - m_widgets.begin());
}

void InputLock::enableLists(bool enabled)
{
    for (QWidget* widget : m_widgets)
        widget->setEnabled(enabled);
}

void InputLock::focusList(int list)
{
    m_widgets[std::size_t(list)]->setFocus();
}

// Popups (a drive list's drop-down) are windows of their own, so the parents are walked by hand.
bool InputLock::covers(const QObject* watched) const
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
    return isUserInput(*event) && covers(watched);
}

} // namespace vorlund::qt
