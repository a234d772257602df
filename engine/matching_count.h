#pragma once

#include "engine/folder_listing.h"
#include "engine/folder_notifications.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlund {

// How many files of a folder listMatchingFiles would list, kept up to date from what the system
// tells of the folder's changes: a count costs what changed, not what the folder holds, and holds
// eight bytes a file, not its name. Where the system tells nothing, or not all, or the path
// names another folder now, the folder is counted whole again.
class MatchingCount
{
public:
    // Raises PathNotFound when `folder` is no folder.
    int count(const std::filesystem::path& folder, const std::vector<std::string>& patterns);
    // How often the folder was counted whole.
    int wholeCounts() const { return m_wholeCounts; }

private:
    bool keepsUpWith(const std::filesystem::path& folder, const std::vector<std::string>& patterns,
                     const std::optional<FolderState>& state);
    void countWhole(const std::filesystem::path& folder, const std::vector<std::string>& patterns,
                    const std::optional<FolderState>& state);
    void lookAgain(const std::vector<std::string>& names);

    std::filesystem::path m_folder;
    std::vector<std::string> m_patterns;
    std::optional<FolderState> m_state;
    std::unique_ptr<FolderNotifications> m_notifications;
    // Each listed name's key, hashed, sorted.
    std::vector<std::uint64_t> m_keys;
    // A link's target may change with no trace on the folder.
    bool m_sawLinks = false;
    int m_wholeCounts = 0;
};

} // namespace vorlund
