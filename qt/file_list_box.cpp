#include "qt/file_list_box.h"

#include "qt/native_path.h"
#include "engine/runtime_error.h"

namespace vorlund {

void FileNamesModel::show(const std::vector<std::string>* names)
{
    beginResetModel();
    m_names = names;
    endResetModel();
}

QString FileNamesModel::name(std::size_t row) const
{
    return fromFsName(m_names->at(row));
}

int FileNamesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(size());
}

QVariant FileNamesModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return name(static_cast<std::size_t>(index.row()));
}

FileListBox::FileListBox(QWidget* parent) : QListView(parent), m_patterns{"*"}
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
    m_model.show(&names);
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
    // The view's selection machinery costs more than the move of a small file; a hidden list,
    // which the window's lists are, shows its selection when it is shown.
    if (isVisible())
        setCurrentIndex(m_model.index(index));
}

void FileListBox::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    setCurrentIndex(m_model.index(m_listIndex));
}

const std::string& FileListBox::fsFileName() const
{
    if (m_listIndex < 0)
        throw RuntimeError(ErrorNumber::InvalidPropertyValue, "no file is selected");
    return m_model.fsName(static_cast<std::size_t>(m_listIndex));
}

QString FileListBox::FileName() const
{
    return m_listIndex < 0 ? QString() : m_model.name(static_cast<std::size_t>(m_listIndex));
}

} // namespace vorlund
