#pragma once

#include <filesystem>
#include <vector>

namespace vorlund::test {

// An existing folder's path as given, and every other way to write it that the system reads as
// that same folder: separators doubled and trailing, "." and "..", letter case where names
// ignore it, and on Windows forward slashes, short (8.3) names and a "\\?\" device path.
std::vector<std::filesystem::path> folderSpellings(const std::filesystem::path& folder);

} // namespace vorlund::test
