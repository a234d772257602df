#include "win32/dir_list_box.h"

#include "engine/folder_reads.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "engine/utf16_win32.h"

#include <commctrl.h>
#include <utility>

namespace vorlund::win32 {
namespace {

// What the list posts itself as a WM_COMMAND code to open the parent folder.
constexpr WORD openParentCode = 0x7FFF;

} // namespace

DirListBox::DirListBox(HWND parent, int id)
    : ChildWindow(parent, WC_TREEVIEWW,
                  TVS_FULLROWSELECT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP, id,
                  WS_EX_CLIENTEDGE),
      m_path(folderToOpen(""))
{
    // As narrow as the system allows: a deep folder's name stays in sight.
    TreeView_SetIndent(hwnd(), 0);
    fill();
}

void DirListBox::setPath(const std::string& path)
{
    const std::filesystem::path folder = folderToOpen(path);
    if (folder == std::exchange(m_path, folder))
        return;
    fill();
    Change.raise();
}

LRESULT DirListBox::notify(const NMHDR& header)
{
    if (header.code == NM_DBLCLK || header.code == NM_RETURN) {
        openSelected();
        return TRUE;
    }
    // Backspace goes up, as in the system's file dialogs: once the tree has handled the key,
    // which it goes on doing with the rows that a refill now would free.
    if (header.code == TVN_KEYDOWN && reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_BACK)
        ::PostMessageW(::GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id(), openParentCode),
                       reinterpret_cast<LPARAM>(hwnd()));
    return 0;
}

void DirListBox::notified(WORD code)
{
    if (code == openParentCode)
        openParent();
}

void DirListBox::openSelected()
{
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = TreeView_GetSelection(hwnd());
    if (item.hItem && TreeView_GetItem(hwnd(), &item) && std::size_t(item.lParam) < m_rows.size())
        open(m_rows[std::size_t(item.lParam)].path);
}

void DirListBox::openParent()
{
    open(m_path.parent_path());
}

void DirListBox::open(const std::filesystem::path& folder)
{
    try {
        setPath(pathText(folder));
    } catch (const RuntimeError&) {
        // The folder went away since the list was read: show what is there now.
        folderReads().forget(m_path);
        fill();
    }
}

// Each folder under the one above it, all open: a screen reader tells a row's depth in the tree.
void DirListBox::fill()
{
    m_rows = folderRows(m_path);
    ::SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(hwnd());
    std::vector<HTREEITEM> above{TVI_ROOT};
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        const FolderRow& row = m_rows[index];
        std::wstring text = toUtf16(row.label);
        TVINSERTSTRUCTW insert{};
        insert.hParent = above[std::size_t(row.depth)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
        insert.item.pszText = text.data();
        insert.item.lParam = LPARAM(index);
        above.resize(std::size_t(row.depth) + 1);
        above.push_back(TreeView_InsertItem(hwnd(), &insert));
        if (row.path == m_path)
            TreeView_SelectItem(hwnd(), above.back());
    }
    ::SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    TreeView_EnsureVisible(hwnd(), TreeView_GetSelection(hwnd()));
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

} // namespace vorlund::win32
