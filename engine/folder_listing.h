#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlund {

// What changes when a folder's entries change: its identity and its change times.
struct FolderState
{
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::int64_t modifiedNs = 0; // since the Unix epoch
    std::int64_t changedNs = 0;

    bool operator==(const FolderState&) const = default;
    // The same folder, whatever happened in it meanwhile.
    bool sameFolderAs(const FolderState& other) const
    {
        return volume == other.volume && index == other.index;
    }
};

// Empty when `folder` is no folder.
std::optional<FolderState> folderState(const std::filesystem::path& folder);

struct Listing
{
    // File names (links to files included, hidden files left out) that match any of the
    // wildcard patterns regardless of letter case, sorted by name regardless of letter case.
    std::vector<std::string> names;
    // Some entry that matched was a link: its target may change with no trace on the folder.
    bool sawLinks = false;
};

// Everything that a folder list and a file list show of a folder, as one read of it found it:
// hidden entries left out, names UTF-8 on Windows, bytes elsewhere.
class FolderEntries
{
public:
    // Reads `folder`; raises PathNotFound when it is no folder.
    explicit FolderEntries(const std::filesystem::path& folder);

    // The folders in it (links to folders included), sorted by name regardless of letter case.
    const std::vector<std::string>& subfolders() const { return m_subfolders; }
    Listing matchingFiles(const std::vector<std::string>& patterns) const;
    // How many files (and links to anything but folders) it holds: at least as many as
    // visitMatchingFiles visits.
    std::size_t files() const { return m_fileCount; }
    // Calls `visit` with each name that matchingFiles lists, in no order; true when some entry
    // that matched was a link.
    bool visitMatchingFiles(const std::vector<std::string>& patterns,
                            const std::function<void(std::string_view name)>& visit) const;

private:
    using Text = std::filesystem::path::string_type;
    // What an entry of m_files is: a file, a link to one, or a link to something else.
    static constexpr Text::value_type file = 'f', linkToFile = 'l', otherLink = 'x';

    // Calls `visit` with the system's own spelling of each file name that `matches` picks; true
    // when one of those was a link.
    template <typename Matches, typename Visit>
    bool visitFiles(const Matches& matches, const Visit& visit) const
    {
        bool sawLinks = false;
        for (std::size_t at = 0; at < m_files.size();) {
            const Text::value_type* entry = m_files.c_str() + at;
            at += std::char_traits<Text::value_type>::length(entry) + 1;
            if (!matches(entry + 1))
                continue;
            sawLinks |= entry[0] != file;
            if (entry[0] != otherLink)
                visit(entry + 1);
        }
        return sawLinks;
    }

    std::vector<std::string> m_subfolders;
    // Each file's kind and name, ended by a zero: a folder of a million files costs one block the
    // size of its names, not a million strings.
    Text m_files;
    std::size_t m_fileCount = 0;
};

// True when matchingFiles would list `name` (UTF-8 on Windows) of `folder` now.
bool listsAsMatchingFile(const std::filesystem::path& folder, const std::string& name,
                         const std::vector<std::string>& patterns);

// A hash of what tells two names of one folder apart: the name itself, or on Windows, where a
// name's letter case does not count, its letters in one case.
std::uint64_t nameKeyHash(std::string_view name);

using WallClock = std::function<std::chrono::system_clock::time_point()>;

// Tells whether a folder may have changed since a moment it was looked at. A folder counts as
// unchanged only when its state is the same and was already old at that moment: a change in
// the same tick of the file system's clock leaves the times as they were, so a state younger
// than the coarsest clock (two seconds on FAT) proves nothing.
class FolderWatch
{
public:
    explicit FolderWatch(WallClock clock = std::chrono::system_clock::now)
        : m_clock(std::move(clock))
    {}

    bool unchangedSinceLastLook(const std::filesystem::path& folder) const;
    // Records the folder's state; call before reading the folder, so that a change during the
    // read counts as a change.
    void look(const std::filesystem::path& folder);
    // The folder's state at the last look.
    const std::optional<FolderState>& seen() const { return m_seen; }

private:
    WallClock m_clock;
    std::filesystem::path m_folder;
    std::optional<FolderState> m_seen;
    std::chrono::system_clock::time_point m_lookedAt;
};

} // namespace vorlund
