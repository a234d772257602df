#pragma once

#include "engine/folder_changes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlund {

// How many files of a folder FolderEntries::matchingFiles would list, kept up to date from what
// the system tells of the folder's changes: a count costs what changed, not what the folder
// holds, and holds eight bytes a file, not its name. Where the system tells nothing, or not all,
// the folder is read whole again.
class MatchingCount
{
public:
    explicit MatchingCount(FolderReads& reads) : m_reads(reads) {}

    // Raises PathNotFound when `folder` is no folder.
    int count(const std::filesystem::path& folder, const std::vector<std::string>& patterns);

private:
    void countRead(const std::filesystem::path& folder, FollowedRead followed);
    void lookAgain(const std::filesystem::path& folder, const std::vector<std::string>& names);

    FolderReads& m_reads;
    FolderChanges m_changes;
    std::vector<std::string> m_patterns;
    // Each listed name's key, hashed, sorted.
    std::vector<std::uint64_t> m_keys;
    // A link's target may change with no trace on the folder.
    bool m_sawLinks = false;
};

} // namespace vorlund
