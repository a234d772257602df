#include "engine/folder_listing.h"

namespace vorlund {
namespace {

// Older than this, a folder's times can be trusted to show every later change.
constexpr std::chrono::seconds coarsestClock{2};

std::int64_t nanosecondsOf(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

} // namespace

bool FolderWatch::unchangedSinceLastLook(const std::filesystem::path& folder) const
{
    if (!m_seen || folder != m_folder)
        return false;
    const std::int64_t trustedBefore = nanosecondsOf(m_lookedAt - coarsestClock);
    // Some folders keep no times at all (a FAT drive's root on Windows reads as 1601; FAT keeps
    // no change time for any folder): their state never shows a change.
    const bool keepsTimes = m_seen->modifiedNs > 0 && m_seen->changedNs > 0;
    return keepsTimes && m_seen->modifiedNs < trustedBefore && m_seen->changedNs < trustedBefore &&
           folderState(folder) == m_seen;
}

void FolderWatch::look(const std::filesystem::path& folder)
{
    m_folder = folder;
    m_lookedAt = m_clock();
    m_seen = folderState(folder);
}

const std::vector<std::string>& CachedListing::read(const std::filesystem::path& folder,
                                                    const std::vector<std::string>& patterns)
{
    if (patterns == m_patterns && !m_listing.sawLinks && m_watch.unchangedSinceLastLook(folder))
        return m_listing.names;
    m_watch.look(folder);
    try {
        m_listing = listMatchingFiles(folder, patterns);
    } catch (...) {
        m_watch.forget();
        throw;
    }
    m_patterns = patterns;
    ++m_folderReads;
    return m_listing.names;
}

} // namespace vorlund
