#include "engine/utf16_win32.h"

#include <windows.h>

namespace vorlund {

std::wstring toUtf16(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length = static_cast<int>(utf8.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), size);
    return text;
}

std::string toUtf8(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int length = static_cast<int>(utf16.size());
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace vorlund
