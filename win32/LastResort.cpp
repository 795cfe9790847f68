#include "win32/LastResort.h"

#include <objbase.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <string>

#include "win32/Trace.h"
#include "win32/Window.h"

namespace win32 {

namespace {

// Taken by whichever way out comes first, so the sound is given back once.
LastResortCalls g_calls;
std::atomic<bool> g_armed{false};
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
std::terminate_handler g_previousTerminate = nullptr;
DWORD g_uiThread = 0;  // has COM already

// Any thread but the user-interface thread gets COM for the restore.
void GiveSoundBackHere(const char* why) noexcept {
    const HRESULT com =
        GetCurrentThreadId() == g_uiThread ? E_ABORT : CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const bool held = g_calls.giveSoundBack && g_calls.giveSoundBack();
    if (SUCCEEDED(com)) CoUninitialize();
    Trace(std::string(why) + (held ? ": sound given back" : ": nothing held"));
}

void GiveSoundBack(const char* why) noexcept {
    if (g_armed.exchange(false)) GiveSoundBackHere(why);
}

// A crash inside the audio stack may leave a lock held that the restore
// needs: the restore runs on a fresh thread, and the way out waits for it
// only so long.
constexpr DWORD kCrashRestoreMs = 2000;

// Not on the waiting stack: the thread may outlive the wait.
const char* g_restoreWhy = "";

DWORD WINAPI RestoreThread(void*) noexcept {
    GiveSoundBackHere(g_restoreWhy);
    return 0;
}

// The sound's thread starts first: hiding touches the windows and the heap,
// which the crash may have damaged, and a second fault there ends the
// process at once. Then every curtain window is hidden, on every monitor:
// whatever comes next (an error report, a debugger, the wait) must not
// happen behind a topmost black screen. The windows' own thread is not
// waited for; it may be the one that is stuck.
void LeaveAfterCrash(const char* why) noexcept {
    if (!g_armed.exchange(false)) return;
    g_restoreWhy = why;
    const HANDLE restore = CreateThread(nullptr, 0, RestoreThread, nullptr, 0, nullptr);
    if (g_calls.hideWindows) g_calls.hideWindows();
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

// The 32-bit exe on 64-bit Windows runs under WOW64, where the system
// swallows an exception that leaves a window procedure: the program would
// go on with the sound muted and the crash filter never called. Windows 7
// from its first service pack lets a process say otherwise, by a call that
// other builds may lack (Wine's kernel32 has none): looked up, not imported.
void LetCallbackExceptionsThrough() noexcept {
    constexpr DWORD kProcessCallbackFilterEnabled = 0x1;
    using GetPolicy = BOOL(WINAPI*)(LPDWORD);
    using SetPolicy = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return;
    const auto get = reinterpret_cast<GetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GetProcessUserModeExceptionPolicy")));
    const auto set = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetProcessUserModeExceptionPolicy")));
    DWORD flags = 0;
    if (get && set && get(&flags)) set(flags & ~kProcessCallbackFilterEnabled);
}

// After WM_ENDSESSION the system may end the process at any moment. The
// window is nobody's to close: WM_CLOSE is ignored.
class SessionWatcher final : public WindowObject {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ENDSESSION && wp) GiveSoundBack("session end");
        if (msg == WM_CLOSE) return 0;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};

SessionWatcher g_watcher;

}  // namespace

LastResort::LastResort(LastResortCalls calls, HINSTANCE instance, bool watchSession) {
    g_calls = std::move(calls);
    g_armed = true;
    g_uiThread = GetCurrentThreadId();
    g_previousFilter = SetUnhandledExceptionFilter(CrashFilter);
    LetCallbackExceptionsThrough();
    g_previousTerminate = std::set_terminate(OnTerminate);
    if (!watchSession) return;
    const WindowClass cls{.name = L"Ombry.SessionEnd"};
    if (!RegisterWindowClass(instance, cls)) return;
    // Top-level, never shown: message-only windows hear no session end.
    watcher_ = CreateObjectWindow(WS_EX_TOOLWINDOW, cls.name, L"", WS_POPUP, RECT{}, nullptr, nullptr, instance,
                                  &g_watcher);
}

LastResort::~LastResort() {
    GiveSoundBack("exit");
    // The calls may refer to what is about to go.
    g_calls = {};
    if (watcher_) DestroyWindow(watcher_);
    SetUnhandledExceptionFilter(g_previousFilter);
    std::set_terminate(g_previousTerminate);
}

}  // namespace win32

#if defined(__GLIBCXX__) && defined(__MINGW32__)
// The library's default terminate handler names the exception's type
// through a demangler of some 40 KB, on a standard error that a program
// without a console does not have. OnTerminate takes over at start; before
// that, and after, ending the process is all there is to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
