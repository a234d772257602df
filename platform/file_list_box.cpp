#include "platform/file_list_box.h"

#include "platform/runtime_error.h"

#include <QDir>
#include <QFileInfo>

namespace vorlund {

FileListBox::FileListBox(QWidget* parent) : QListView(parent), m_nameFilters{QStringLiteral("*")}
{
    setModel(&m_model);
}

QStringList FileListBox::readFolder(const QString& path) const
{
    if (!QFileInfo(path).isDir())
        throw RuntimeError(ErrorNumber::PathNotFound,
                           "folder not found: '" + QDir::toNativeSeparators(path).toStdString() +
                               "'");
    // QDir matches name filters without regard to letter case unless told otherwise.
    return QDir(path).entryList(m_nameFilters, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

void FileListBox::setPath(const QString& path)
{
    if (path == m_path)
        return;
    showEntries(readFolder(path));
    m_path = path;
}

void FileListBox::setPattern(const QString& patterns)
{
    m_nameFilters = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!m_path.isEmpty())
        Refresh();
}

void FileListBox::Refresh()
{
    if (m_path.isEmpty())
        return;
    showEntries(readFolder(m_path));
}

void FileListBox::showEntries(QStringList entries)
{
    m_entries = std::move(entries);
    m_model.setStringList(m_entries);
    m_listIndex = -1;
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
