#include "win32/LastResort.h"

#include "curtain/Form1.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <string>

#include "win32/Trace.h"

namespace win32 {

namespace {

// Taken by whichever way out comes first, so the sound is given back once.
std::atomic<curtain::Form1*> g_curtain{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
std::terminate_handler g_previousTerminate = nullptr;

void GiveSoundBack(const char* why) noexcept {
    curtain::Form1* curtain = g_curtain.exchange(nullptr);
    if (!curtain) return;
    // The crash may be on a thread without COM; on the user-interface
    // thread this only counts up the apartment it already has.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool held = curtain->GiveSoundBack();
    if (SUCCEEDED(com)) CoUninitialize();
    Trace(std::string(why) + (held ? ": sound given back" : ": nothing held"));
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    GiveSoundBack("crash");
    // Then the usual end of a crashed program (error reporting, debugger).
    return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
    GiveSoundBack("terminate");
    if (g_previousTerminate) g_previousTerminate();
    std::abort();
}

}  // namespace

LastResort::LastResort(curtain::Form1& curtain) {
    g_curtain = &curtain;
    g_previousFilter = SetUnhandledExceptionFilter(CrashFilter);
    g_previousTerminate = std::set_terminate(OnTerminate);
}

LastResort::~LastResort() {
    GiveSoundBack("exit");
    SetUnhandledExceptionFilter(g_previousFilter);
    std::set_terminate(g_previousTerminate);
}

}  // namespace win32
