#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vorlund::qt {

// The locale's short date and its time with seconds, so that a caption visibly ticks.
QString dateTimeText(const QDateTime& moment, const QLocale& locale = QLocale::system());

} // namespace vorlund::qt
