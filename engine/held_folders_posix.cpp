#include "engine/held_folders_posix.h"

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace vorlund {
namespace {

struct HeldFolder
{
    std::string path;
    int fd;
};

thread_local std::vector<HeldFolder> heldFolders;

// "/a/b//" and "/a/b" name one folder, and so do "/" and "//".
std::string_view withoutTrailingSeparators(std::string_view path)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

} // namespace

FolderHold holdFoldersOnThisThread(const std::vector<std::filesystem::path>& folders)
{
    std::vector<int> opened;
    for (const std::filesystem::path& folder : folders) {
        // A folder that cannot be opened is simply reached by its path.
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        heldFolders.push_back({std::string(withoutTrailingSeparators(folder.native())), fd});
        opened.push_back(fd);
    }
    return FolderHold([opened] {
        for (const int fd : opened) {
            std::erase_if(heldFolders, [fd](const HeldFolder& held) { return held.fd == fd; });
            ::close(fd);
        }
    });
}

FileAt locate(const std::filesystem::path& file)
{
    const std::string& path = file.native();
    const std::size_t nameStart = path.rfind('/') + 1; // 0 when there is no separator
    if (nameStart == 0 || nameStart == path.size() || heldFolders.empty())
        return {AT_FDCWD, path.c_str()};
    const std::string_view folder =
        withoutTrailingSeparators(std::string_view(path).substr(0, nameStart));
    const auto held = std::find_if(heldFolders.begin(), heldFolders.end(),
                                   [folder](const HeldFolder& h) { return h.path == folder; });
    if (held == heldFolders.end())
        return {AT_FDCWD, path.c_str()};
    return {held->fd, path.c_str() + nameStart};
}

} // namespace vorlund
