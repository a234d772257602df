#include "win32/dir_list_box.h"

#include "engine/runtime_error.h"
#include "engine/utf16.h"

#include <utility>

namespace vorlund::win32 {

DirListBox::DirListBox(HWND parent, int id)
    : ChildWindow(parent, L"LISTBOX",
                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | WS_VSCROLL |
                      WS_TABSTOP,
                  id, WS_EX_CLIENTEDGE),
      m_path(folderToOpen(""))
{
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

void DirListBox::notified(WORD code)
{
    if (code == LBN_DBLCLK)
        openSelected();
}

void DirListBox::openSelected()
{
    const auto index = ::SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
    if (index != LB_ERR && std::size_t(index) < m_rows.size())
        open(m_rows[std::size_t(index)].path);
}

void DirListBox::openParent()
{
    open(m_path.parent_path());
}

void DirListBox::open(const std::filesystem::path& folder)
{
    try {
        setPath(displayPath(folder));
    } catch (const RuntimeError&) {
        // The folder went away since the list was read: show what is there now.
        fill();
    }
}

void DirListBox::fill()
{
    m_rows = folderRows(m_path);
    ::SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        const FolderRow& row = m_rows[index];
        const std::wstring text =
            std::wstring(std::size_t(row.depth) * 3, L' ') + toUtf16(row.label);
        ::SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (row.path == m_path)
            ::SendMessageW(hwnd(), LB_SETCURSEL, WPARAM(index), 0);
    }
    ::SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

} // namespace vorlund::win32
