#pragma once

#include <string>

namespace vorlund {

// True when a top-level window exists whose whole title equals `title` (UTF-8), letter case
// compared the way the Windows title search compares it (ignored). Raises RuntimeError when no
// window system can be reached.
bool topLevelWindowExists(const std::string& title);

} // namespace vorlund
