// A stand-in for the download client as a Windows program, for the start through Wine: each run
// adds a line to "starts" beside itself and shows a window titled "Kazaa Lite" until it is
// closed, or for two minutes at most, so that a test that loses it leaves nothing running.
#include <fstream>
#include <string>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    char self[MAX_PATH];
    std::string folder(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    folder.erase(folder.find_last_of('\\') + 1);
    std::ofstream(folder + "starts", std::ios::app) << "started\n";

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_DESTROY)
            ::PostQuitMessage(0);
        return ::DefWindowProcA(window, message, w, l);
    };
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "fake client";
    ::RegisterClassA(&windowClass);
    const HWND window = ::CreateWindowExA(0, "fake client", "Kazaa Lite", WS_OVERLAPPEDWINDOW, 0, 0,
                                          200, 100, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, show);
    ::SetTimer(window, 1, 120000, [](HWND w, UINT, UINT_PTR, DWORD) { ::DestroyWindow(w); });
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return 0;
}
