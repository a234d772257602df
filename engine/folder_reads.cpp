#include "engine/folder_reads.h"

namespace vorlund {

// Nothing was told of the folder since the read; where nothing can be told (the count follows
// the read, a network share), its times did not change.
bool FolderReads::unchanged(Kept& kept, const std::filesystem::path& folder)
{
    if (kept.notifications) {
        if (const std::optional<std::vector<std::string>> told = kept.notifications->take())
            return told->empty();
    }
    return kept.read->watch.unchangedSinceLastLook(folder);
}

std::shared_ptr<const FolderRead> FolderReads::read(const std::filesystem::path& folder)
{
    const std::lock_guard lock(m_mutex);
    const auto kept = m_kept.find(folder);
    return kept != m_kept.end() && unchanged(kept->second, folder) ? kept->second.read
                                                                   : readNow(folder).read;
}

std::optional<FollowedRead> FolderReads::followKept(const std::filesystem::path& folder)
{
    const std::lock_guard lock(m_mutex);
    const auto kept = m_kept.find(folder);
    if (kept == m_kept.end() || !kept->second.notifications)
        return std::nullopt;
    return FollowedRead{kept->second.read, std::move(kept->second.notifications)};
}

FollowedRead FolderReads::readToFollow(const std::filesystem::path& folder)
{
    const std::lock_guard lock(m_mutex);
    m_kept.erase(folder);
    Kept& kept = readNow(folder);
    return {kept.read, std::move(kept.notifications)};
}

// The lock is held through the read: whoever asks meanwhile waits for it rather than reading too.
FolderReads::Kept& FolderReads::readNow(const std::filesystem::path& folder)
{
    // Listening and looking before the read: a change during it is told, and shows.
    auto notifications = std::make_unique<FolderNotifications>(folder);
    FolderWatch watch(m_clock);
    watch.look(folder);
    auto read =
        std::make_shared<const FolderRead>(FolderRead{std::move(watch), FolderEntries(folder)});
    ++m_reads;
    return m_kept[folder] = Kept{std::move(read), std::move(notifications)};
}

void FolderReads::forget()
{
    const std::lock_guard lock(m_mutex);
    m_kept.clear();
}

void FolderReads::forget(const std::filesystem::path& folder)
{
    const std::lock_guard lock(m_mutex);
    m_kept.erase(folder);
}

int FolderReads::reads() const
{
    const std::lock_guard lock(m_mutex);
    return m_reads;
}

FolderReads& folderReads()
{
    static FolderReads reads;
    return reads;
}

} // namespace vorlund
