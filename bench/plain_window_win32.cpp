// The floor of vorlund.exe's costs: a plain window of the system's own, whose one-second timer
// sets its caption to the time, and nothing else.
#include <cwchar>
#include <windows.h>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        wchar_t caption[64];
        std::swprintf(caption, 64, L"Plain %02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
        ::SetWindowTextW(window, caption);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"PlainWindow";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(L"PlainWindow", L"Plain", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    ::SetTimer(window, 1, 1000, nullptr);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
