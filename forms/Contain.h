#pragma once
// The one place a failure stops. An event, a callback from the platform or
// a step the program can go on without runs inside Contain: a failure ends
// that piece of work there, nothing leaves it, and the caller learns only
// whether it ran to the end. What it stops goes to the trace, where one is
// kept (OMBRY_TRACE), with the place that stopped it.
#include <string_view>
#include <utility>

namespace forms {

// Where stopped failures are told: the place ("Shutdown.cpp:25") and the
// failure's text. None is set unless the program keeps a trace.
using StoppedFailureSink = void (*)(std::string_view where, std::string_view what);
void TellStoppedFailures(StoppedFailureSink sink) noexcept;

namespace detail {
// Called inside the catch: tells the failure being handled.
void Stopped(const char* file, int line) noexcept;
}

// The place comes from the caller's file and line (not std::source_location,
// which would put every calling function's name into the exe).
template <class Fn>
bool Contain(Fn&& fn, const char* file = __builtin_FILE(), int line = __builtin_LINE()) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        detail::Stopped(file, line);
        return false;
    }
}

}  // namespace forms
