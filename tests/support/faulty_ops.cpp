#include "faulty_ops.h"

namespace vorlund::test {

namespace fs = std::filesystem;

FileStamp FaultyOps::stamp(const fs::path& file)
{
    return systemFileOps().stamp(file);
}

std::error_code FaultyOps::renameNoReplace(const fs::path& from, const fs::path& to)
{
    if (beforeRename) {
        if (const std::error_code fault = beforeRename(from, to))
            return fault;
    }
    // Renames inside one folder (a temporary copy taking its name) stay real.
    if (pretendOtherVolume && from.parent_path() != to.parent_path())
        return std::make_error_code(std::errc::cross_device_link);
    return systemFileOps().renameNoReplace(from, to);
}

FolderHold FaultyOps::holdFolders(const std::vector<fs::path>& folders)
{
    return systemFileOps().holdFolders(folders);
}

void FaultyOps::copyToNew(const fs::path& from, const fs::path& to, const CopyProgress& progress)
{
    systemFileOps().copyToNew(from, to, [&](std::uintmax_t copied, std::uintmax_t total) {
        if (duringCopy)
            duringCopy(copied);
        if (progress)
            progress(copied, total);
    });
    if (afterCopy)
        afterCopy(from, to);
}

void FaultyOps::remove(const fs::path& file)
{
    if (beforeRemove)
        beforeRemove(file);
    systemFileOps().remove(file);
}

bool FaultyOps::removeIfAbandoned(const fs::path& file)
{
    return systemFileOps().removeIfAbandoned(file);
}

void FaultyOps::flushFolder(const fs::path& folder)
{
    systemFileOps().flushFolder(folder);
}

} // namespace vorlund::test
