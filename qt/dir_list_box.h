#pragma once

#include <QListWidget>

namespace vorlund {

// A classic directory list: the open folder's ancestors from the root down, then its
// sub-folders. Double-click or Enter opens a folder.
class DirListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The open folder's full path, in the system's spelling.
    QString Path() const { return m_path; }
    // Opens `path`, the current folder for the empty text. Raises PathNotFound and stays where
    // it was when that is no folder. Raises Change, before returning, when the folder changes.
    void setPath(const QString& path);

signals:
    void Change();

private:
    void fill();
    void open(QListWidgetItem* item);

    QString m_path;
};

} // namespace vorlund
