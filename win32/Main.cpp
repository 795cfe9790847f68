// The entry point: common controls, COM for the audio endpoints, the
// services and platform calls, the program's start procedure, then messages
// for as long as a form is loaded.
// The program is reached through forms::CreateProgram alone, never its headers.
// The portable headers come before <windows.h>: api/Api.h and
// forms/Services.h name constants and calls (WM_HOTKEY, DeleteFile, ...)
// that <windows.h> defines as macros.
#include "forms/Contain.h"
#include "forms/Entry.h"
#include "forms/Services.h"
#include "win32/Api.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "win32/FormWindow.h"
#include "win32/LastResort.h"
#include "win32/Services.h"
#include "win32/SystemLibraries.h"
#include "win32/Trace.h"

namespace {

// COM on the user-interface thread, for the whole life of the program.
// Not for a copy that ends at once: the apartment makes a window of its own.
class ComApartment {
public:
    explicit ComApartment(bool wanted) : hr_(wanted ? CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) : E_ABORT) {
        if (wanted && win32::Tracing())
            win32::Trace(SUCCEEDED(hr_) ? "CoInitializeEx -> 0x0" : "CoInitializeEx failed");
    }
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT hr_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win32::LoadLibrariesFromSystemOnly();
    win32::TraceStoppedFailures();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int exitCode = 0;
    // A failure at start ends the program without a word.
    const bool ran = forms::Contain([&] {
        win32::Win32Services services(instance);
        // Asked here before Main asks: the answer is kept.
        const bool alone = !services.AnotherInstanceRunning();
        ComApartment com(alone);
        win32::Win32Api api;
        const std::unique_ptr<forms::Program> program = forms::CreateProgram(services, api);
        win32::LastResort lastResort({.giveSoundBack = [&program] { return program->GiveSoundBack(); },
                                      .hideWindows = [&program] { program->HideEverywhere(); }},
                                     instance, alone);
        program->Main();
        MSG msg;
        while (program->AnyFormLoaded()) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) break;
            if (!win32::PreTranslateFormMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        // A command line handed over, refused or not understood says so.
        exitCode = program->ExitCode();
    });
    return ran ? exitCode : 1;
}
