#pragma once

#include <filesystem>

namespace vorlund {

// True when both paths lead to one directory, however they are spelled (separators, "..",
// links, letter case): the file system's own identity decides, never the text.
bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace vorlund
