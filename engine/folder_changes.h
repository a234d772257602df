#pragma once

#include "engine/folder_reads.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlund {

// What changed in a folder since a read of it: the names the system told of, so that a look
// costs what changed, not what the folder holds.
class FolderChanges
{
public:
    // From now on tells the changes since that read.
    void follow(const std::filesystem::path& folder, FollowedRead followed);
    // The names added, removed or changed since the read followed or the last look; none where
    // that cannot be known (no read followed, a folder replaced under its path, more changes
    // than the system kept, no notifications to be had and the folder's times changed): then the
    // caller reads the folder whole and follows that read.
    std::optional<std::vector<std::string>> since(const std::filesystem::path& folder);
    // The next look reads whole.
    void forget() { m_notifications.reset(); }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<FolderNotifications> m_notifications;
    FolderWatch m_watch;
};

} // namespace vorlund
