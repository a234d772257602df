#include "engine/utf16_win32.h"
#include "services/registry_store.h"
#include "win32/form1_window.h"

#include <commctrl.h>
#include <exception>
#include <objbase.h>
#include <windows.h>

namespace {

int run(int show)
{
    // For the screen readers' annotations of the window's controls.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vorlund::RegistryStore settings;
    vorlund::win32::Form1Window form(settings);
    form.load(show);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!form.takesInput(message) || ::IsDialogMessageW(form.hwnd(), &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return int(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // An empty card reader or CD drive answers the drive list with an error, not a dialog.
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
    // Loads the common controls of the manifest, which draw the system's controls in its style.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // A program without a console has nowhere else to say why it could not open its window.
    try {
        return run(show);
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, vorlund::toUtf16(error.what()).c_str(), L"vorlund",
                      MB_OK | MB_ICONERROR);
        return 1;
    }
}
