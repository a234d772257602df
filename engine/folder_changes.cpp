#include "engine/folder_changes.h"

namespace vorlund {

std::optional<std::vector<std::string>> FolderChanges::since(const std::filesystem::path& folder)
{
    // The folders above may be renamed with nothing told: the path then names another folder.
    const std::optional<FolderState> state = folderState(folder);
    const bool sameFolder = state && m_state && state->volume == m_state->volume &&
                            state->index == m_state->index && folder == m_folder;
    if (m_notifications && sameFolder) {
        if (std::optional<std::vector<std::string>> names = m_notifications->take())
            return names;
    }
    m_folder = folder;
    m_state = state;
    m_notifications = std::make_unique<FolderNotifications>(folder);
    return std::nullopt;
}

} // namespace vorlund
