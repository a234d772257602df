#pragma once

#include "engine/folder_listing.h"

#include <QAbstractListModel>
#include <QListView>

namespace vorlund {

// The names of a listing as a list's rows, each made text only when asked for: a folder of
// 100,000 files is not held twice.
class FileNamesModel : public QAbstractListModel
{
public:
    void show(const std::vector<std::string>* names);
    std::size_t size() const { return m_names ? m_names->size() : 0; }
    QString name(std::size_t row) const;
    const std::string& fsName(std::size_t row) const { return m_names->at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const std::vector<std::string>* m_names = nullptr;
};

// The files of one folder whose names match a pattern list ("*.mp3;*.wma"), letter case aside,
// hidden files left out, sorted by name. A folder that provably did not change since it was read
// is not read again.
class FileListBox : public QListView
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Raises PathNotFound and keeps the old folder when `path` is no folder.
    void setPath(const QString& path);
    void setPattern(const QString& patterns);
    // Re-reads the folder; raises PathNotFound when it is gone.
    void Refresh();

    int ListCount() const { return static_cast<int>(m_model.size()); }
    int ListIndex() const { return m_listIndex; }
    void setListIndex(int index);
    // The selected entry's name, without its folder; empty when none is selected.
    QString FileName() const;
    // The same name as the file code takes it; raises InvalidPropertyValue when none is selected.
    const std::string& fsFileName() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void read(const QString& path);

    QString m_path;
    std::vector<std::string> m_patterns;
    CachedListing m_listing;
    FileNamesModel m_model;
    int m_listIndex = -1;
};

} // namespace vorlund
