#pragma once

#include <string>
#include <string_view>

namespace vorlund {

// True when a top-level window exists whose whole title equals `title` (UTF-8), letter case
// compared the way the Windows title search compares it (ignored). Raises RuntimeError when no
// window system can be reached.
bool topLevelWindowExists(const std::string& title);

// `title` with the letters whose case the Windows title search ignores (ASCII and the Latin-1
// letters) in lower case, so that two titles compare bytewise; bytes that are not valid UTF-8
// stay as they are. The X11 search compares with it.
std::string foldTitleCase(std::string_view title);

} // namespace vorlund
