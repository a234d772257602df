#include "engine/folder_identity.h"

#include "engine/folder_listing.h"

namespace vorlund {

bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const std::optional<FolderState> first = folderState(a);
    const std::optional<FolderState> second = folderState(b);
    return first && second && first->volume == second->volume && first->index == second->index;
}

} // namespace vorlund
