#include "qt/caption_clock.h"

namespace vorlund::qt {
namespace {

// The long time format is the one with seconds; it may also name the time zone ("t", outside
// quoted text), which a ticking caption does without.
QString timeWithSecondsFormat(const QLocale& locale)
{
    QString format;
    bool quoted = false;
    for (const QChar c : locale.timeFormat(QLocale::LongFormat)) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            format += c;
    }
    return format.trimmed();
}

} // namespace

QString dateTimeText(const QDateTime& moment, const QLocale& locale)
{
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(moment.time(), timeWithSecondsFormat(locale));
}

} // namespace vorlund::qt
