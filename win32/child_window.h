#pragma once

#include <string>
#include <windows.h>

namespace vorlund::win32 {

// A child window of a system control class, made with its parent and owned by it: Windows
// destroys it with the parent.
class ChildWindow
{
public:
    ChildWindow(HWND parent, const wchar_t* className, DWORD style, int id, DWORD exStyle = 0);
    ChildWindow(const ChildWindow&) = delete;
    ChildWindow& operator=(const ChildWindow&) = delete;
    virtual ~ChildWindow() = default;

    HWND hwnd() const { return m_hwnd; }
    int id() const { return m_id; }
    void setWindowText(const std::string& text);
    void setFont(HFONT font);
    void place(const RECT& rect);
    // A notification the control sent its parent (WM_COMMAND's code).
    virtual void notified(WORD /*code*/) {}

private:
    HWND m_hwnd;
    int m_id;
};

} // namespace vorlund::win32
