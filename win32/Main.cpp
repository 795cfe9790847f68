// The entry point: common controls, the services and platform calls, the
// program's start procedure, then messages for as long as a form is loaded.
// The portable headers come before <windows.h>: api/Api.h names constants
// (WM_HOTKEY, HWND_TOPMOST, ...) that <windows.h> defines as macros.
#include "app/Program.h"
#include "win32/Api.h"

#include <windows.h>
#include <commctrl.h>

#include "win32/FormWindow.h"
#include "win32/Services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        win32::Win32Services services(instance);
        win32::Win32Api api;
        app::Program program(services, api);
        program.Main();
        MSG msg;
        while (program.AnyFormLoaded()) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) break;
            if (!win32::PreTranslateFormMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    } catch (...) {
        // A failure at start ends the program without a word.
        return 1;
    }
    return 0;
}
