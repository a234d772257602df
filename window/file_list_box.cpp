#include "window/file_list_box.h"

#include "engine/runtime_error.h"

#include <algorithm>

namespace vorlund {

void FileListBox::read(const std::filesystem::path& path)
{
    if (m_keeps == Keeps::CountOnly) {
        m_count = m_matching.count(path, m_patterns);
    } else {
        m_names = &m_listing.read(path, m_patterns);
        m_count = static_cast<int>(m_names->size());
    }
    m_listIndex = -1;
}

void FileListBox::setPath(const std::filesystem::path& path)
{
    read(path);
    m_path = path;
}

void FileListBox::setPattern(const std::string& patterns)
{
    m_patterns.clear();
    for (std::size_t start = 0; start <= patterns.size();) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        if (end > start)
            m_patterns.push_back(patterns.substr(start, end - start));
        start = end + 1;
    }
    Refresh();
}

void FileListBox::Refresh()
{
    if (!m_path.empty())
        read(m_path);
}

void FileListBox::setListIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(m_names->size()))
        throw RuntimeError(ErrorNumber::InvalidPropertyValue,
                           "list index " + std::to_string(index) + " out of range");
    m_listIndex = index;
}

const std::string& FileListBox::FileName() const
{
    if (m_listIndex < 0)
        throw RuntimeError(ErrorNumber::InvalidPropertyValue, "no file is selected");
    return (*m_names)[static_cast<std::size_t>(m_listIndex)];
}

} // namespace vorlund
