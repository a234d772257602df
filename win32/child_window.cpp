#include "win32/child_window.h"

#include "engine/utf16_win32.h"

#include <stdexcept>

namespace vorlund::win32 {

ChildWindow::ChildWindow(HWND parent, const wchar_t* className, DWORD style, int id, DWORD exStyle)
    : m_hwnd(::CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ::GetModuleHandleW(nullptr), nullptr)),
      m_id(id)
{
    if (!m_hwnd)
        throw std::runtime_error("cannot create a control of the window");
}

// The same text set again still redraws the control: each idle pass would draw.
void ChildWindow::setWindowText(const std::string& text)
{
    const std::wstring wide = toUtf16(text);
    std::wstring shown(static_cast<std::size_t>(::GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hwnd, shown.data(), static_cast<int>(shown.size()))));
    if (shown != wide)
        ::SetWindowTextW(m_hwnd, wide.c_str());
}

void ChildWindow::setFont(HFONT font)
{
    ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ChildWindow::place(const RECT& rect)
{
    ::MoveWindow(m_hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

} // namespace vorlund::win32
