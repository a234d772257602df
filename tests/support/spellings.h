#pragma once

#include <filesystem>
#include <vector>

namespace vorlund::test {

// One way to write an existing folder's path that the system may read as that same folder.
struct Spelling
{
    const char* name;
    // `folder` spelled this way, or empty where this system has no such spelling or it reads
    // the same as `folder`.
    std::filesystem::path (*spell)(const std::filesystem::path& folder);
    // Names the same folder only where the file system ignores letter case.
    bool onlyWhereCaseIgnored = false;
};

// Separators doubled, trailing, "." and "..", letter case, and the Windows spellings: forward
// slashes, the drive letter in the other case, short (8.3) names, a "\\?\" device path.
const std::vector<Spelling>& folderSpellings();

} // namespace vorlund::test
