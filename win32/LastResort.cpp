#include "win32/LastResort.h"

#include "curtain/Form1.h"

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
DWORD g_uiThread = 0;  // has COM already

void GiveSoundBack(const char* why) noexcept {
    curtain::Form1* curtain = g_curtain.exchange(nullptr);
    if (!curtain) return;
    // A crash may be on a thread without COM.
    const HRESULT com =
        GetCurrentThreadId() == g_uiThread ? E_ABORT : CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
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

// After WM_ENDSESSION the system may end the process at any moment. The
// window is nobody's to close: WM_CLOSE is ignored.
LRESULT CALLBACK WatcherProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_ENDSESSION && wParam) GiveSoundBack("session end");
    if (msg == WM_CLOSE) return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

constexpr const wchar_t* kWatcherClass = L"Ombry.SessionEnd";

}  // namespace

LastResort::LastResort(curtain::Form1& curtain, HINSTANCE instance, bool watchSession) {
    g_curtain = &curtain;
    g_uiThread = GetCurrentThreadId();
    g_previousFilter = SetUnhandledExceptionFilter(CrashFilter);
    g_previousTerminate = std::set_terminate(OnTerminate);
    if (!watchSession) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = WatcherProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWatcherClass;
    RegisterClassW(&wc);
    // Top-level, never shown: message-only windows hear no session end.
    watcher_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWatcherClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               instance, nullptr);
}

LastResort::~LastResort() {
    GiveSoundBack("exit");
    if (watcher_) DestroyWindow(watcher_);
    SetUnhandledExceptionFilter(g_previousFilter);
    std::set_terminate(g_previousTerminate);
}

}  // namespace win32
