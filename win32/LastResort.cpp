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

// Any thread but the user-interface thread gets COM for the restore.
void GiveSoundBackHere(curtain::Form1& curtain, const char* why) noexcept {
    const HRESULT com =
        GetCurrentThreadId() == g_uiThread ? E_ABORT : CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const bool held = curtain.GiveSoundBack();
    if (SUCCEEDED(com)) CoUninitialize();
    Trace(std::string(why) + (held ? ": sound given back" : ": nothing held"));
}

void GiveSoundBack(const char* why) noexcept {
    if (curtain::Form1* curtain = g_curtain.exchange(nullptr)) GiveSoundBackHere(*curtain, why);
}

// Hidden before anything else: whatever comes next (an error report, a
// debugger, a wait) must not happen behind a topmost black screen. The
// window of another thread is asked without waiting for that thread, which
// may be the one that is stuck.
void HideCurtain(curtain::Form1& curtain) noexcept {
    const HWND window = reinterpret_cast<HWND>(curtain.hWnd());
    if (!window) return;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    ShowWindowAsync(window, SW_HIDE);
    for (int i = 0; i < 50 && IsWindowVisible(window); ++i) Sleep(10);
}

// A crash inside the audio stack may leave a lock held that the restore
// needs: the restore runs on a fresh thread, and the way out waits for it
// only so long.
constexpr DWORD kCrashRestoreMs = 2000;

struct Restore {
    curtain::Form1* curtain;
    const char* why;
};
// Not on the waiting stack: the thread may outlive the wait.
Restore g_restore{};

DWORD WINAPI RestoreThread(void* restore) noexcept {
    const Restore& r = *static_cast<const Restore*>(restore);
    GiveSoundBackHere(*r.curtain, r.why);
    return 0;
}

void LeaveAfterCrash(const char* why) noexcept {
    curtain::Form1* curtain = g_curtain.exchange(nullptr);
    if (!curtain) return;
    HideCurtain(*curtain);
    g_restore = {curtain, why};
    const HANDLE restore = CreateThread(nullptr, 0, RestoreThread, &g_restore, 0, nullptr);
    if (!restore) {
        Trace(std::string(why) + ": no thread for the sound");
        return;
    }
    if (WaitForSingleObject(restore, kCrashRestoreMs) != WAIT_OBJECT_0)
        Trace(std::string(why) + ": the sound was not given back in time");
    CloseHandle(restore);
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    LeaveAfterCrash("crash");
    // Then the usual end of a crashed program (error reporting, debugger).
    return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
    LeaveAfterCrash("terminate");
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
