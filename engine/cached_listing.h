#pragma once

#include "engine/folder_reads.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vorlund {

// A folder's matching files, read again only when the folder may have changed.
class CachedListing
{
public:
    explicit CachedListing(FolderReads& reads) : m_reads(reads) {}

    // Raises PathNotFound when `folder` is no folder.
    const std::vector<std::string>& read(const std::filesystem::path& folder,
                                         const std::vector<std::string>& patterns);

private:
    FolderReads& m_reads;
    FolderWatch m_watch;
    std::vector<std::string> m_patterns;
    Listing m_listing;
};

} // namespace vorlund
