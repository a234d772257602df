#include "engine/utf16.h"
#include "titled_window.h"

#include <stdexcept>
#include <system_error>
#include <windows.h>

namespace vorlund::test {
namespace {

const wchar_t* windowClass()
{
    static const wchar_t* const name = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"vorlund test window";
        if (!::RegisterClassW(&windowClass))
            throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                    "cannot register the test window class");
        return windowClass.lpszClassName;
    }();
    return name;
}

} // namespace

TitledWindow::TitledWindow(const std::string& title)
    : m_native(::CreateWindowExW(0, windowClass(), toUtf16(title).c_str(), WS_OVERLAPPEDWINDOW, 0,
                                 0, 100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                 nullptr))
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
