#pragma once
// Events run portable code, which may fail: a failure ends that event and
// the program goes on. Nothing may leave a window procedure.
#include <utility>

#include "forms/Contain.h"

namespace win32 {

// Raises an event, if it has a handler.
template <class Handler, class... Args>
void Raise(const Handler& handler, Args&&... args) noexcept {
    if (!handler) return;
    forms::Contain([&] {
        Handler copy = handler;  // the event may replace its own handler
        copy(std::forward<Args>(args)...);
    });
}

}  // namespace win32
