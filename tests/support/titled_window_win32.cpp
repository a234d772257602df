#include "engine/utf16_win32.h"
#include "titled_window.h"

#include <system_error>
#include <windows.h>

namespace vorlund::test {

TitledWindow::TitledWindow(const std::string& title)
    : m_native(::CreateWindowExW(0, L"STATIC", toUtf16(title).c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                 100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr))
{
    if (!m_native)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "cannot create a test window (Wine needs an X display)");
}

TitledWindow::~TitledWindow()
{
    ::DestroyWindow(static_cast<HWND>(m_native));
}

} // namespace vorlund::test
