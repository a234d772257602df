#include "engine/file_time_posix.h"
#include "engine/folder_listing.h"
#include "engine/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace vorlund {
namespace {

struct CloseDir
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool matchesAny(const char* name, const std::vector<std::string>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(), [name](const std::string& pattern) {
        return ::fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0;
    });
}

char foldedCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// In place: a large folder's names are not copied once more for the sake of their order.
void sortIgnoringCase(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto [one, two] =
            std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                          [](char x, char y) { return foldedCase(x) == foldedCase(y); });
        if (one == a.end() || two == b.end())
            return two != b.end() || (one == a.end() && a < b);
        return foldedCase(*one) < foldedCase(*two);
    });
}

// The entries of `folder` that `wanted` picks by name and that are of `type` (S_IFREG, S_IFDIR),
// a link counting as what it leads to; hidden ones left out.
Listing readEntries(const std::filesystem::path& folder, mode_t type,
                    const std::function<bool(const char*)>& wanted)
{
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir)
        throw RuntimeError(ErrorNumber::PathNotFound,
                           "cannot read the folder '" + displayPath(folder) +
                               "': " + std::error_code(errno, std::system_category()).message());
    Listing listing;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.' || !wanted(entry->d_name))
            continue;
        bool isWanted = entry->d_type == (type == S_IFDIR ? DT_DIR : DT_REG);
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info
            {
            };
            if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            listing.sawLinks |= S_ISLNK(info.st_mode);
            // A dangling link is neither file nor folder.
            isWanted = (info.st_mode & S_IFMT) == type ||
                       (S_ISLNK(info.st_mode) &&
                        ::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) == 0 &&
                        (info.st_mode & S_IFMT) == type);
        }
        if (isWanted)
            listing.names.emplace_back(entry->d_name);
    }
    sortIgnoringCase(listing.names);
    return listing;
}

} // namespace

std::optional<FolderState> folderState(const std::filesystem::path& folder)
{
    struct stat info
    {
    };
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderState{static_cast<std::uint64_t>(info.st_dev),
                       static_cast<std::uint64_t>(info.st_ino), nanoseconds(info.st_mtim),
                       nanoseconds(info.st_ctim)};
}

Listing listMatchingFiles(const std::filesystem::path& folder,
                          const std::vector<std::string>& patterns)
{
    return readEntries(folder, S_IFREG,
                       [&patterns](const char* name) { return matchesAny(name, patterns); });
}

std::vector<std::string> listSubfolders(const std::filesystem::path& folder)
{
    return readEntries(folder, S_IFDIR, [](const char*) { return true; }).names;
}

} // namespace vorlund
