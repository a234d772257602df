#include "services/registry_store.h"
#include "win32/form1_window.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // An empty card reader or CD drive answers the drive list with an error, not a dialog.
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
    // Loads the common controls of the manifest, which draw the system's controls in its style.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

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
