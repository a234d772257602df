#include "engine/folder_changes.h"

namespace vorlund {

void FolderChanges::follow(const std::filesystem::path& folder, FollowedRead followed)
{
    m_folder = folder;
    m_watch = followed.read->watch;
    m_notifications = std::move(followed.notifications);
}

std::optional<std::vector<std::string>> FolderChanges::since(const std::filesystem::path& folder)
{
    // The folders above may be renamed with nothing told: the path then names another folder.
    const std::optional<FolderState> state = folderState(folder);
    const std::optional<FolderState>& followed = m_watch.seen();
    if (!m_notifications || !state || !followed || !state->sameFolderAs(*followed) ||
        folder != m_folder)
        return std::nullopt;
    if (std::optional<std::vector<std::string>> names = m_notifications->take())
        return names;
    // Where nothing is told (a network share tells only of this machine's changes), the folder's
    // times still say whether anything changed at all.
    if (m_watch.unchangedSinceLastLook(folder))
        return std::vector<std::string>{};
    return std::nullopt;
}

} // namespace vorlund
