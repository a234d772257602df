#include "engine/cached_listing.h"

namespace vorlund {

const std::vector<std::string>& CachedListing::read(const std::filesystem::path& folder,
                                                    const std::vector<std::string>& patterns)
{
    if (patterns == m_patterns && !m_listing.sawLinks && m_watch.unchangedSinceLastLook(folder))
        return m_listing.names;
    const std::shared_ptr<const FolderRead> read = m_reads.read(folder);
    m_listing = read->entries.matchingFiles(patterns);
    m_watch = read->watch;
    m_patterns = patterns;
    return m_listing.names;
}

} // namespace vorlund
