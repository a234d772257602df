#include "win32/present_date.h"

#include "engine/utf16_win32.h"

#include <windows.h>

namespace vorlund::win32 {

std::string presentDate()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t date[80] = {};
    wchar_t time[80] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 80, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 80);
    return toUtf8(date) + " " + toUtf8(time);
}

} // namespace vorlund::win32
