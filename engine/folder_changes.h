#pragma once

#include "engine/folder_listing.h"
#include "engine/folder_notifications.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlund {

// What changed in a folder between two looks at it: the names the system told of, so that a
// look costs what changed, not what the folder holds.
class FolderChanges
{
public:
    // The names added, removed or changed since the last look; none where that cannot be known
    // (the first look, a folder replaced under its path, more changes than the system kept, no
    // notifications to be had and the folder's times changed): then the caller reads the folder
    // whole. Listening starts anew
    // before this returns, so that what happens during that read is told at the next look.
    std::optional<std::vector<std::string>> since(const std::filesystem::path& folder);
    // The next look reads whole.
    void forget() { m_notifications.reset(); }

private:
    std::filesystem::path m_folder;
    std::optional<FolderState> m_state;
    std::unique_ptr<FolderNotifications> m_notifications;
    FolderWatch m_watch;
};

} // namespace vorlund
