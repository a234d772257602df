#pragma once

#include <string>
#include <string_view>

namespace vorlund {

// UTF-8 text as the wide Windows API takes it; invalid bytes become U+FFFD. Windows only.
std::wstring toUtf16(std::string_view utf8);

// The other way: Windows text as UTF-8. Windows only.
std::string toUtf8(std::wstring_view utf16);

} // namespace vorlund
