#include "engine/utf16_win32.h"
#include "services/failure_log.h"

#include <iostream>
#include <windows.h>

namespace vorlund {

void logFailure(const std::string& line)
{
    const std::string text = "vorlund: " + line;
    std::cerr << text << std::endl;
    ::OutputDebugStringW(toUtf16(text + "\n").c_str());
}

} // namespace vorlund
