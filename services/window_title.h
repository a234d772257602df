#pragma once

#include <string>
#include <string_view>

namespace vorlund {

// `title` with the letters whose case the Windows title search ignores (ASCII and the Latin-1
// letters) in lower case, so that two titles compare bytewise; bytes that are not valid UTF-8
// stay as they are. The X11 search compares with it.
std::string foldTitleCase(std::string_view title);

} // namespace vorlund
