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
    // Some entry was a link: its target may change with no trace on the folder.
    bool sawLinks = false;
};

// Raises PathNotFound when `folder` is no folder.
Listing listMatchingFiles(const std::filesystem::path& folder,
                          const std::vector<std::string>& patterns);

// What listMatchingFiles lists, one name at a time and in no order, none of them kept: a folder
// of a million files costs no memory. True when some entry was a link. Raises PathNotFound when
// `folder` is no folder.
bool visitMatchingFiles(const std::filesystem::path& folder,
                        const std::vector<std::string>& patterns,
                        const std::function<void(std::string_view name)>& visit);

// True when listMatchingFiles would list `name` (UTF-8 on Windows) of `folder` now.
bool listsAsMatchingFile(const std::filesystem::path& folder, const std::string& name,
                         const std::vector<std::string>& patterns);

// What tells two names of one folder apart: the name itself, or on Windows, where a name's
// letter case does not count, its letters in one case.
std::string nameKey(std::string_view name);

// The folders right inside `folder` (links to folders included, hidden ones left out), sorted
// by name regardless of letter case. Raises PathNotFound when `folder` is no folder.
std::vector<std::string> listSubfolders(const std::filesystem::path& folder);

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
    void forget() { m_seen.reset(); }

private:
    WallClock m_clock;
    std::filesystem::path m_folder;
    std::optional<FolderState> m_seen;
    std::chrono::system_clock::time_point m_lookedAt;
};

// A folder's matching files, read again only when the folder may have changed.
class CachedListing
{
public:
    explicit CachedListing(WallClock clock = std::chrono::system_clock::now)
        : m_watch(std::move(clock))
    {}

    // Raises PathNotFound when `folder` is no folder.
    const std::vector<std::string>& read(const std::filesystem::path& folder,
                                         const std::vector<std::string>& patterns);
    // How often the folder itself was read.
    int folderReads() const { return m_folderReads; }

private:
    FolderWatch m_watch;
    std::vector<std::string> m_patterns;
    Listing m_listing;
    int m_folderReads = 0;
};

} // namespace vorlund
