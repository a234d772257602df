#include "engine/folder_identity.h"

#include "engine/folder_listing.h"

namespace vorlund {

bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const std::optional<FolderState> first = folderState(a);
    const std::optional<FolderState> second = folderState(b);
    return first && second && first->sameFolderAs(*second);
}

// ".." is resolved by the system, so the folder above is the real one, whatever links led here.
bool isMountPoint(const std::filesystem::path& folder)
{
    const std::optional<FolderState> self = folderState(folder);
    const std::optional<FolderState> above = folderState(folder / "..");
    return self && above && self->volume != above->volume;
}

std::filesystem::path mountPointOf(const std::filesystem::path& folder)
{
    for (std::filesystem::path at = folder.lexically_normal(); at.has_relative_path();
         at = at.parent_path()) {
        if (isMountPoint(at))
            return at;
    }
    return {};
}

} // namespace vorlund
