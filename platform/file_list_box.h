#pragma once

#include "platform/folder_listing.h"

#include <QListView>
#include <QStringList>
#include <QStringListModel>

namespace vorlund {

// The files of one folder whose names match a pattern list ("*.mp3;*.wma"), letter case aside,
// hidden files left out, sorted by name. A folder that provably did not change since it was read
// is not read again.
class FileListBox : public QListView
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr,
                         WallClock clock = std::chrono::system_clock::now);

    QString Path() const { return m_path; }
    // Raises PathNotFound and keeps the old folder when `path` is no folder.
    void setPath(const QString& path);
    void setPattern(const QString& patterns);
    // Re-reads the folder; raises PathNotFound when it is gone.
    void Refresh();

    int ListCount() const { return static_cast<int>(m_entries.size()); }
    int ListIndex() const { return m_listIndex; }
    void setListIndex(int index);
    // The selected entry's name, without its folder; empty when none is selected.
    QString FileName() const;

private:
    void read(const QString& path);

    QString m_path;
    std::vector<std::string> m_patterns;
    CachedListing m_listing;
    QStringList m_entries;
    QStringListModel m_model;
    int m_listIndex = -1;
};

} // namespace vorlund
