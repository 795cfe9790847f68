#pragma once
// The sound is never left muted by the program: while a LastResort lives,
// the end of the Windows session, a crash (an unhandled exception, or
// std::terminate) and leaving its scope by any path that skipped the
// program's own restore all give the sound back before the process dies.
#include <windows.h>

#include <functional>

namespace win32 {

// What the program gives the last resort to do. Each may be called on any
// thread, and neither may throw.
struct LastResortCalls {
    // Gives the sound back if the program still holds it; says whether it
    // did. The caller has COM on its thread.
    std::function<bool()> giveSoundBack;
    // Hides every curtain window at once, never waiting for the windows'
    // own thread.
    std::function<void()> hideWindows;
};

class LastResort {
public:
    // With watchSession, a hidden window of its own hears the end of the
    // session, whatever the forms do with it. A copy that is about to end
    // at once because another runs creates no window.
    LastResort(LastResortCalls calls, HINSTANCE instance, bool watchSession);
    ~LastResort();
    LastResort(const LastResort&) = delete;
    LastResort& operator=(const LastResort&) = delete;

private:
    HWND watcher_ = nullptr;
};

}  // namespace win32
