#pragma once
// The sound is never left muted by the program: while a LastResort lives,
// the end of the Windows session, a crash (an unhandled exception, or
// std::terminate) and leaving its scope by any path that skipped the
// curtain's own restore all give the sound back before the process dies.
#include <windows.h>

namespace curtain {
class Form1;
}

namespace win32 {

class LastResort {
public:
    // With watchSession, a hidden window of its own hears the end of the
    // session, whatever the forms do with it. A copy that is about to end
    // at once because another runs creates no window.
    LastResort(curtain::Form1& curtain, HINSTANCE instance, bool watchSession);
    ~LastResort();
    LastResort(const LastResort&) = delete;
    LastResort& operator=(const LastResort&) = delete;

private:
    HWND watcher_ = nullptr;
};

}  // namespace win32
