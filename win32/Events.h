#pragma once
// Events run portable code, which may fail: a failure ends that event and
// the program goes on. Nothing may leave a window procedure.
#include <utility>

namespace win32 {

template <class Handler, class... Args>
void Raise(const Handler& handler, Args&&... args) noexcept {
    if (!handler) return;
    try {
        Handler copy = handler;  // the event may replace its own handler
        copy(std::forward<Args>(args)...);
    } catch (...) {
    }
}

template <class Fn>
void Protect(Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
    } catch (...) {
    }
}

}  // namespace win32
