#include "qt/dir_list_box.h"

#include "engine/folder_listing.h"
#include "qt/native_path.h"
#include "engine/runtime_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace vorlund {
namespace {

constexpr int pathRole = Qt::UserRole;

QString indent(int depth)
{
    return QString(depth * 2, QLatin1Char(' '));
}

// The folder and each of its ancestors, root first.
QStringList foldersDownTo(const QString& path)
{
    QStringList chain;
    for (QDir dir(path);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    return chain;
}

// A download folder may hold many thousands of files; the C library's listing passes them over
// far faster than QDir, which makes each entry an object. An unreadable folder shows none.
std::vector<std::string> subfoldersOf(const QString& folder)
{
    try {
        return listSubfolders(toFsPath(folder));
    } catch (const RuntimeError&) {
        return {};
    }
}

QString folderLabel(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

} // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &DirListBox::open);
    m_path = QDir::toNativeSeparators(QDir::currentPath());
    fill();
}

void DirListBox::setPath(const QString& path)
{
    const QFileInfo target(path.isEmpty() ? QDir::currentPath() : path);
    if (!target.isDir())
        throw RuntimeError(ErrorNumber::PathNotFound,
                           "folder not found: '" + QDir::toNativeSeparators(path).toStdString() +
                               "'");
    const QString full = QDir::toNativeSeparators(QDir::cleanPath(target.absoluteFilePath()));
    if (full == m_path)
        return;
    m_path = full;
    fill();
    emit Change();
}

void DirListBox::fill()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    const QStringList chain = foldersDownTo(QDir::fromNativeSeparators(m_path));
    for (int depth = 0; depth < chain.size(); ++depth) {
        auto* item = new QListWidgetItem(openIcon, indent(depth) + folderLabel(chain[depth]), this);
        item->setData(pathRole, chain[depth]);
    }
    setCurrentRow(static_cast<int>(chain.size()) - 1);

    const QDir open(chain.last());
    for (const std::string& fsName : subfoldersOf(chain.last())) {
        const QString name = fromFsName(fsName);
        auto* item =
            new QListWidgetItem(closedIcon, indent(static_cast<int>(chain.size())) + name, this);
        item->setData(pathRole, open.filePath(name));
    }
}

void DirListBox::open(QListWidgetItem* item)
{
    try {
        setPath(item->data(pathRole).toString());
    } catch (const RuntimeError&) {
        // The folder went away since the list was read: show what is there now.
        fill();
    }
}

} // namespace vorlund
