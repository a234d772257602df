#pragma once

#include "window/selection_lock.h"

#include <QObject>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <vector>

namespace vorlund::qt {

// A selection lock over a few widgets.
class InputLock : public QObject, public SelectionLock
{
    Q_OBJECT

public:
    InputLock(std::vector<QWidget*> widgets, std::chrono::milliseconds greyAfter,
              QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dropInput(bool dropping) override;
    int focusedList() const override;
    void enableLists(bool enabled) override;
    void focusList(int list) override;

private:
    bool covers(const QObject* watched) const;

    std::vector<QWidget*> m_widgets;
    QTimer m_greyTimer;
};

} // namespace vorlund::qt
