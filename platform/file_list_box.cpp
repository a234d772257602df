#include "platform/file_list_box.h"

#include "platform/native_path.h"
#include "platform/runtime_error.h"

namespace vorlund {

FileListBox::FileListBox(QWidget* parent, WallClock clock)
    : QListView(parent), m_patterns{"*"}, m_listing(std::move(clock))
{
    setModel(&m_model);
}

void FileListBox::read(const QString& path)
{
    const int readsBefore = m_listing.folderReads();
    const std::vector<std::string>& names = m_listing.read(toFsPath(path), m_patterns);
    m_listIndex = -1;
    if (m_listing.folderReads() == readsBefore)
        return;
    m_entries.clear();
    m_entries.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        m_entries << fromFsName(name);
    m_model.setStringList(m_entries);
}

void FileListBox::setPath(const QString& path)
{
    if (path == m_path)
        return;
    read(path);
    m_path = path;
}

void FileListBox::setPattern(const QString& patterns)
{
    m_patterns.clear();
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        m_patterns.push_back(toFsName(pattern));
    Refresh();
}

void FileListBox::Refresh()
{
    if (!m_path.isEmpty())
        read(m_path);
}

void FileListBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw RuntimeError(ErrorNumber::InvalidPropertyValue,
                           "list index " + std::to_string(index) + " out of range");
    m_listIndex = index;
    setCurrentIndex(m_model.index(index));
}

QString FileListBox::FileName() const
{
    return m_listIndex < 0 ? QString() : m_entries.at(m_listIndex);
}

} // namespace vorlund
