#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <vector>

namespace vorlund::qt {

// Holds a few widgets still. While locked, the user's input to them is dropped at once; a lock
// that lasts longer than a moment also greys them out, and gives back their focus when it ends.
// A short lock so shows nothing and moves no focus.
class InputLock : public QObject
{
    Q_OBJECT

public:
    InputLock(std::vector<QWidget*> widgets, std::chrono::milliseconds greyAfter,
              QObject* parent = nullptr);

    void lock();
    void unlock();
    bool locked() const { return m_locked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holds(const QObject* watched) const;
    void greyOut();

    std::vector<QWidget*> m_widgets;
    QTimer m_greyTimer;
    QPointer<QWidget> m_focus;
    bool m_locked = false;
    bool m_greyed = false;
};

} // namespace vorlund::qt
