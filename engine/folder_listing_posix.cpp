#include "engine/file_time_posix.h"
#include "engine/folder_listing.h"
#include "engine/path_text.h"
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

// Whether `name` in the folder `at` is of `type` (S_IFREG, S_IFDIR), a link counting as what it
// leads to; `isLink` tells whether it was a link. A dangling link is neither file nor folder.
bool isOfType(int at, const char* name, unsigned char direntType, mode_t type, bool& isLink)
{
    isLink = false;
    if (direntType != DT_LNK && direntType != DT_UNKNOWN)
        return direntType == (type == S_IFDIR ? DT_DIR : DT_REG);
    struct stat info
    {
    };
    if (::fstatat(at, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    isLink = S_ISLNK(info.st_mode);
    return (info.st_mode & S_IFMT) == type ||
           (isLink && ::fstatat(at, name, &info, 0) == 0 && (info.st_mode & S_IFMT) == type);
}

// Calls `visit` with each entry of `folder` that `wanted` picks by name and that is of `type`;
// hidden ones left out. True when some entry was a link.
bool visitEntries(const std::filesystem::path& folder, mode_t type,
                  const std::function<bool(const char*)>& wanted,
                  const std::function<void(std::string_view)>& visit)
{
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir)
        throw RuntimeError(ErrorNumber::PathNotFound,
                           "cannot read the folder '" + pathText(folder) +
                               "': " + std::error_code(errno, std::system_category()).message());
    bool sawLinks = false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.' || !wanted(entry->d_name))
            continue;
        bool isLink = false;
        if (isOfType(::dirfd(dir.get()), entry->d_name, entry->d_type, type, isLink))
            visit(entry->d_name);
        sawLinks |= isLink;
    }
    return sawLinks;
}

Listing readEntries(const std::filesystem::path& folder, mode_t type,
                    const std::function<bool(const char*)>& wanted)
{
    Listing listing;
    listing.sawLinks = visitEntries(
        folder, type, wanted, [&](std::string_view name) { listing.names.emplace_back(name); });
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

bool visitMatchingFiles(const std::filesystem::path& folder,
                        const std::vector<std::string>& patterns,
                        const std::function<void(std::string_view)>& visit)
{
    return visitEntries(
        folder, S_IFREG, [&patterns](const char* name) { return matchesAny(name, patterns); },
        visit);
}

bool listsAsMatchingFile(const std::filesystem::path& folder, const std::string& name,
                         const std::vector<std::string>& patterns)
{
    bool isLink = false;
    return name[0] != '.' && matchesAny(name.c_str(), patterns) &&
           isOfType(AT_FDCWD, (folder / name).c_str(), DT_UNKNOWN, S_IFREG, isLink);
}

std::string nameKey(std::string_view name)
{
    return std::string(name);
}

std::vector<std::string> listSubfolders(const std::filesystem::path& folder)
{
    return readEntries(folder, S_IFDIR, [](const char*) { return true; }).names;
}

} // namespace vorlund
