#include "qt/dir_list_box.h"

#include "engine/folder_reads.h"
#include "engine/runtime_error.h"
#include "qt/native_path.h"
#include "window/folder_tree.h"

#include <QKeyEvent>
#include <QStyle>

namespace vorlund::qt {
namespace {

constexpr int pathRole = Qt::UserRole;

} // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent), m_path(folderToOpen(""))
{
    connect(this, &QListWidget::itemActivated, this, [this](const QListWidgetItem* item) {
        open(item->data(pathRole).toByteArray().toStdString());
    });
    fill();
}

void DirListBox::setPath(const std::string& path)
{
    const std::filesystem::path folder = folderToOpen(path);
    if (folder == m_path)
        return;
    m_path = folder;
    fill();
    Change.raise();
}

void DirListBox::fill()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const FolderRow& row : folderRows(m_path)) {
        auto* item = new QListWidgetItem(
            row.isOpenOrAbove ? openIcon : closedIcon,
            QString(row.depth * 2, QLatin1Char(' ')) + fromFsName(row.label), this);
        item->setData(pathRole, QByteArray::fromStdString(row.path.native()));
        // A screen reader tells the depth, not the blanks that show it.
        item->setData(Qt::AccessibleTextRole, fromFsName(row.label));
        item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("level %1").arg(row.depth + 1));
        if (row.path == m_path)
            setCurrentItem(item);
    }
}

// Backspace goes up, as in the system's file dialogs.
void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace)
        open(m_path.parent_path().native());
    else
        QListWidget::keyPressEvent(event);
}

void DirListBox::open(const std::string& folder)
{
    try {
        setPath(folder);
    } catch (const RuntimeError&) {
        // The folder went away since the list was read: show what is there now.
        folderReads().forget(m_path);
        fill();
    }
}

} // namespace vorlund::qt
