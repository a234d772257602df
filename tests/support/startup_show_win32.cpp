#include "startup_show.h"

#include <windows.h>

namespace vorlund::test {

std::string askedWindowShow()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESHOWWINDOW))
        return {};
    return std::to_string(startup.wShowWindow);
}

const bool systemPassesWindowShow = true;

} // namespace vorlund::test
