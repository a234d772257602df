#pragma once

#include <string>

namespace vorlund::win32 {

// Now, in the user's short date and time (with seconds) format, so that a caption visibly ticks.
std::string presentDate();

} // namespace vorlund::win32
