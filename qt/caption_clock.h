#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>

namespace vorlund {

// The wall clock, injectable so that tests never wait on it.
using Clock = std::function<QDateTime()>;

Clock systemClock();

// The locale's short date and its time with seconds, so that a caption visibly ticks.
QString dateTimeText(const QDateTime& moment, const QLocale& locale = QLocale::system());

} // namespace vorlund
