#include "engine/folder_changes.h"

namespace vorlund {

std::optional<std::vector<std::string>> FolderChanges::since(const std::filesystem::path& folder)
{
    // The folders above may be renamed with nothing told: the path then names another folder.
    const std::optional<FolderState> state = folderState(folder);
    const bool sameFolder = state && m_state && state->sameFolderAs(*m_state) && folder == m_folder;
    if (m_notifications && sameFolder) {
        if (std::optional<std::vector<std::string>> names = m_notifications->take())
            return names;
        // Where nothing is told (a network share tells only of this machine's changes), the
        // folder's times still say whether anything changed at all.
        if (m_watch.unchangedSinceLastLook(folder))
            return std::vector<std::string>{};
    }
    m_folder = folder;
    m_state = state;
    m_watch.look(folder);
    m_notifications = std::make_unique<FolderNotifications>(folder);
    return std::nullopt;
}

} // namespace vorlund
