#include "engine/path_text.h"

namespace vorlund {

std::string pathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path pathFromText(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path joinFsPath(const std::filesystem::path& folder, const std::string& name)
{
    std::filesystem::path::string_type path = folder.native();
    path += std::filesystem::path::preferred_separator;
    path += pathFromText(name).native();
    return path;
}

} // namespace vorlund
