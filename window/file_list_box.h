#pragma once

#include "engine/cached_listing.h"
#include "engine/matching_count.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vorlund {

// The files of one folder whose names match a pattern list ("*.mp3;*.wma"), letter case aside,
// hidden files left out, sorted by name. Never shown: it only lists. A folder that provably did
// not change since it was read is not read again, and a folder that the program read since the
// last pass (its folder list did) is listed from that read.
class FileListBox
{
public:
    // A list kept only for its count holds no names, and follows its folder's changes as the
    // system tells them: a destination of a million files costs little to hold or to count.
    enum class Keeps { Names, CountOnly };

    explicit FileListBox(Keeps keeps = Keeps::Names) : m_keeps(keeps) {}

    // Reads `path`, also when it is the folder already shown. Raises PathNotFound and keeps the
    // old folder when `path` is no folder.
    void setPath(const std::filesystem::path& path);
    void setPattern(const std::string& patterns);
    // Re-reads the folder; raises PathNotFound when it is gone.
    void Refresh();

    int ListCount() const { return m_count; }
    void setListIndex(int index);
    // The selected entry's name, without its folder (UTF-8 on Windows, bytes elsewhere); raises
    // InvalidPropertyValue when none is selected.
    const std::string& FileName() const;

private:
    void read(const std::filesystem::path& path);

    Keeps m_keeps;
    std::filesystem::path m_path;
    std::vector<std::string> m_patterns{"*"};
    CachedListing m_listing{folderReads()};
    MatchingCount m_matching{folderReads()};
    int m_count = 0;
    const std::vector<std::string> m_none;
    const std::vector<std::string>* m_names = &m_none;
    int m_listIndex = -1;
};

} // namespace vorlund
