#include "engine/utf16_win32.h"
#include "services/window_search.h"

#include <windows.h>

namespace vorlund {

// FindWindowW compares whole titles regardless of letter case and finds hidden windows too.
// There is always a window system to ask, so nothing here raises.
bool topLevelWindowExists(const std::string& title)
{
    return ::FindWindowW(nullptr, toUtf16(title).c_str()) != nullptr;
}

} // namespace vorlund
