#pragma once

#include "engine/folder_listing.h"
#include "engine/folder_notifications.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace vorlund {

// A folder as one read found it.
struct FolderRead
{
    // The folder as it was just before the read: a change during or after it shows against this.
    FolderWatch watch;
    FolderEntries entries;
};

// A read, and what the system tells of the folder's changes since just before it.
struct FollowedRead
{
    std::shared_ptr<const FolderRead> read;
    std::unique_ptr<FolderNotifications> notifications;
};

// The program's reads of folders, shared: a folder's list, its file lists and the count of its
// files take one read of it, made by whichever asks first, and a read serves while the folder
// stays as it found it, until forget(). The window forgets at the end of each pass: a read made
// at start-up or at a change of folder serves everything until the pass after it, and no read of
// a folder nobody shows is kept longer. Safe from any thread.
class FolderReads
{
public:
    explicit FolderReads(WallClock clock = std::chrono::system_clock::now)
        : m_clock(std::move(clock))
    {}

    // The folder as read since the last forget(), unless it changed since; else as read now.
    // Raises PathNotFound when `folder` is no folder.
    std::shared_ptr<const FolderRead> read(const std::filesystem::path& folder);
    // The read that read() keeps of `folder`, with what the system tells from then on, which the
    // caller alone is told; none when no read is kept or another caller follows it.
    std::optional<FollowedRead> followKept(const std::filesystem::path& folder);
    // A new read of `folder`, kept for read(), and followed by the caller alone.
    FollowedRead readToFollow(const std::filesystem::path& folder);
    void forget();
    void forget(const std::filesystem::path& folder);
    // How often a folder was read.
    int reads() const;

private:
    struct Kept
    {
        std::shared_ptr<const FolderRead> read;
        std::unique_ptr<FolderNotifications> notifications;
    };

    static bool unchanged(Kept& kept, const std::filesystem::path& folder);
    Kept& readNow(const std::filesystem::path& folder);

    WallClock m_clock;
    mutable std::mutex m_mutex;
    std::map<std::filesystem::path, Kept> m_kept;
    int m_reads = 0;
};

// The reads that everything in this program shares.
FolderReads& folderReads();

} // namespace vorlund
