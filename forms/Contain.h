#pragma once
// The one place a failure stops. An event, a callback from the platform or
// a step the program can go on without runs inside Contain: a failure ends
// that piece of work there, nothing leaves it, and the caller learns only
// whether it ran to the end.
#include <utility>

namespace forms {

template <class Fn>
bool Contain(Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace forms
