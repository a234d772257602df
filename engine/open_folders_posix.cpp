#include "engine/open_folders_posix.h"

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace vorlund {
namespace {

struct OpenFolder
{
    std::string path;
    int fd;
};

thread_local std::vector<OpenFolder> thisThreadsFolders;

// "/a/b//" and "/a/b" name one folder, and so do "/" and "//".
std::string_view withoutTrailingSeparators(std::string_view path)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

} // namespace

OpenFolders openFoldersOnThisThread(const std::vector<std::filesystem::path>& folders)
{
    std::vector<int> opened;
    for (const std::filesystem::path& folder : folders) {
        // A folder that cannot be opened is simply reached by its path.
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        thisThreadsFolders.push_back({std::string(withoutTrailingSeparators(folder.native())), fd});
        opened.push_back(fd);
    }
    return OpenFolders([opened] {
        for (const int fd : opened) {
            std::erase_if(thisThreadsFolders,
                          [fd](const OpenFolder& open) { return open.fd == fd; });
            ::close(fd);
        }
    });
}

FileAt locate(const std::filesystem::path& file)
{
    const std::string& path = file.native();
    const std::size_t nameStart = path.rfind('/') + 1; // 0 when there is no separator
    if (nameStart == 0 || nameStart == path.size() || thisThreadsFolders.empty())
        return {AT_FDCWD, path.c_str()};
    const std::string_view folder =
        withoutTrailingSeparators(std::string_view(path).substr(0, nameStart));
    const auto open = std::find_if(thisThreadsFolders.begin(), thisThreadsFolders.end(),
                                   [folder](const OpenFolder& f) { return f.path == folder; });
    if (open == thisThreadsFolders.end())
        return {AT_FDCWD, path.c_str()};
    return {open->fd, path.c_str() + nameStart};
}

} // namespace vorlund
