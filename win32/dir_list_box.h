#pragma once

#include "win32/child_window.h"
#include "window/controls.h"
#include "window/folder_tree.h"

#include <commctrl.h>
#include <vector>

namespace vorlund::win32 {

// A classic folder list, drawn as a tree: the open folder's ancestors from the root down, then its
// sub-folders. A double click or Enter opens a folder, Backspace its parent.
class DirListBox : public ChildWindow, public vorlund::DirListBox
{
public:
    DirListBox(HWND parent, int id);

    std::filesystem::path Path() const override { return m_path; }
    void setPath(const std::string& path) override;
    // A notification the tree sent its parent (WM_NOTIFY's); its answer.
    LRESULT notify(const NMHDR& header);
    // Opens the folder of the selected row.
    void openSelected();
    void notified(WORD code) override;

private:
    void openParent();
    void open(const std::filesystem::path& folder);
    void fill();

    std::filesystem::path m_path;
    std::vector<FolderRow> m_rows;
};

} // namespace vorlund::win32
