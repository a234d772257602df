#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

namespace vorlund {

// Which file an entry names, and what tells whether it changed between two looks at it.
struct FileStamp
{
    std::uint64_t volume = 0; // device; volume serial number on Windows
    std::uint64_t index = 0;  // inode; file index on Windows
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
    bool sameFileAs(const FileStamp& other) const
    {
        return volume == other.volume && index == other.index;
    }
};

// Told after each piece of a copy: bytes copied so far, and the file's size.
using CopyProgress = std::function<void(std::uintmax_t copied, std::uintmax_t total)>;

// Folders kept open for as long as it lives; see FileOps::holdFolders.
class FolderHold
{
public:
    FolderHold() = default;
    explicit FolderHold(std::function<void()> release) : m_release(std::move(release)) {}
    FolderHold(FolderHold&& other) noexcept : m_release(std::exchange(other.m_release, {})) {}
    FolderHold& operator=(FolderHold&& other) noexcept
    {
        if (this != &other) {
            release();
            m_release = std::exchange(other.m_release, {});
        }
        return *this;
    }
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;
    ~FolderHold() { release(); }

private:
    void release()
    {
        if (m_release)
            std::exchange(m_release, {})();
    }

    std::function<void()> m_release;
};

// The file system as the mover uses it. One implementation per OS; tests derive from it to
// inject faults. Failures are thrown as std::system_error carrying the OS's own error.
class FileOps
{
public:
    virtual ~FileOps() = default;

    // The file itself, not what a link points to.
    virtual FileStamp stamp(const std::filesystem::path& file) = 0;

    // One atomic rename that never replaces `to`; errc::file_exists when `to` is taken,
    // errc::cross_device_link when the two lie on different volumes.
    virtual std::error_code renameNoReplace(const std::filesystem::path& from,
                                            const std::filesystem::path& to) = 0;

    // Keeps `folders` open while the hold lives, so that renames of the files right inside them
    // on this thread reach them through the open folders, as `mv` does, instead of looking each
    // path up again. A folder replaced meanwhile is still the one held. Ends on the thread that
    // took it. Where the system has no such thing, nothing is held.
    virtual FolderHold holdFolders(const std::vector<std::filesystem::path>& /*folders*/)
    {
        return {};
    }

    // Creates `to`, which must not exist, with the contents of `from` (a link as a link), and
    // flushes it to disk before returning. `progress`, when set, hears of each piece copied.
    virtual void copyToNew(const std::filesystem::path& from, const std::filesystem::path& to,
                           const CopyProgress& progress) = 0;

    virtual void remove(const std::filesystem::path& file) = 0;

    // Removes a temporary file unless a running copy still writes it; true when removed.
    virtual bool removeIfAbandoned(const std::filesystem::path& file) = 0;

    // Makes the folder's entries (new names, removed names) durable.
    virtual void flushFolder(const std::filesystem::path& folder) = 0;
};

FileOps& systemFileOps();

} // namespace vorlund
