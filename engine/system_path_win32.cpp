#include "engine/system_path.h"

#include <algorithm>

namespace vorlund {

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    std::wstring text = path.native();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\"))
        return path;
    if (text.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + std::filesystem::path(text.substr(2)).lexically_normal().native();
    if (!path.is_absolute())
        return path;
    return L"\\\\?\\" + std::filesystem::path(text).lexically_normal().native();
}

} // namespace vorlund
