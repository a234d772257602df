#include "engine/file_time_posix.h"
#include "engine/folder_listing.h"
#include "engine/huge_pages.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <functional>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace vorlund {
namespace {

struct CloseDir
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

char foldedCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isPlainAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c > 0 && static_cast<unsigned char>(c) < 0x80 && c != '*' && c != '?' && c != '[' &&
               c != '\\';
    });
}

bool matchesAny(const char* name, const std::vector<std::string>& patterns)
{
    const std::string_view whole(name);
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        // "*.mp3", the common pattern, is matched by its ASCII letters: fnmatch would turn every
        // name of a large folder into wide characters first.
        const std::string_view end = std::string_view(pattern).substr(pattern.empty() ? 0 : 1);
        if (pattern.starts_with('*') && isPlainAscii(end)) {
            if (whole.size() < end.size())
                return false;
            const std::string_view tail = whole.substr(whole.size() - end.size());
            if (isPlainAscii(tail))
                return std::equal(tail.begin(), tail.end(), end.begin(), end.end(),
                                  [](char x, char y) { return foldedCase(x) == foldedCase(y); });
        }
        return ::fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0;
    });
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

// What `name` in the folder `at` is (S_IFREG, S_IFDIR, ...), a link counting as what it leads to,
// a dangling link as nothing (0); `isLink` tells whether it was a link.
mode_t typeOf(int at, const char* name, unsigned char direntType, bool& isLink)
{
    isLink = false;
    if (direntType == DT_REG || direntType == DT_DIR)
        return direntType == DT_REG ? S_IFREG : S_IFDIR;
    struct stat info
    {
    };
    if ((direntType != DT_LNK && direntType != DT_UNKNOWN) ||
        ::fstatat(at, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    isLink = S_ISLNK(info.st_mode);
    if (isLink && ::fstatat(at, name, &info, 0) != 0)
        return 0;
    return info.st_mode & S_IFMT;
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

FolderEntries::FolderEntries(const std::filesystem::path& folder)
{
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir)
        throw RuntimeError(ErrorNumber::PathNotFound,
                           "cannot read the folder '" + pathText(folder) +
                               "': " + std::error_code(errno, std::system_category()).message());
    // A folder's size in bytes is about what its names take (tmpfs counts 20 bytes an entry):
    // reserved at once, the block of a million names is not copied each time it grows. Pages
    // never written cost nothing.
    struct stat info
    {
    };
    if (::fstat(::dirfd(dir.get()), &info) == 0) {
        m_files.reserve(static_cast<std::size_t>(std::clamp<off_t>(info.st_size, 0, 1 << 28)));
        preferHugePages(m_files.data(), m_files.capacity());
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        bool isLink = false;
        const mode_t type = typeOf(::dirfd(dir.get()), entry->d_name, entry->d_type, isLink);
        if (type == S_IFDIR)
            m_subfolders.emplace_back(entry->d_name);
        if (type == S_IFREG || isLink) {
            m_files += isLink ? (type == S_IFREG ? linkToFile : otherLink) : file;
            m_files.append(entry->d_name).push_back('\0');
            ++m_fileCount;
        }
    }
    sortIgnoringCase(m_subfolders);
}

Listing FolderEntries::matchingFiles(const std::vector<std::string>& patterns) const
{
    Listing listing;
    listing.sawLinks = visitMatchingFiles(
        patterns, [&](std::string_view name) { listing.names.emplace_back(name); });
    sortIgnoringCase(listing.names);
    return listing;
}

bool FolderEntries::visitMatchingFiles(const std::vector<std::string>& patterns,
                                       const std::function<void(std::string_view)>& visit) const
{
    return visitFiles([&patterns](const char* name) { return matchesAny(name, patterns); }, visit);
}

bool listsAsMatchingFile(const std::filesystem::path& folder, const std::string& name,
                         const std::vector<std::string>& patterns)
{
    bool isLink = false;
    return name[0] != '.' && matchesAny(name.c_str(), patterns) &&
           typeOf(AT_FDCWD, (folder / name).c_str(), DT_UNKNOWN, isLink) == S_IFREG;
}

std::uint64_t nameKeyHash(std::string_view name)
{
    return std::hash<std::string_view>{}(name);
}

} // namespace vorlund
