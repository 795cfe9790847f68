#pragma once
// The one place a failure stops. An event, a callback from the platform or
// a step the program can go on without runs inside Contain: a failure ends
// that piece of work there, nothing leaves it, and the caller learns only
// whether it ran to the end. What it stops goes to the trace, where one is
// kept (OMBRY_TRACE), with the place that stopped it.
#include <exception>
#include <source_location>
#include <string_view>
#include <utility>

namespace forms {

// Where stopped failures are told: the place ("Shutdown.cpp:25") and the
// failure's text. None is set unless the program keeps a trace.
using StoppedFailureSink = void (*)(std::string_view where, std::string_view what);
void TellStoppedFailures(StoppedFailureSink sink) noexcept;

namespace detail {
void Stopped(const std::source_location& where, const char* what) noexcept;
}

template <class Fn>
bool Contain(Fn&& fn, std::source_location where = std::source_location::current()) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (const std::exception& failure) {
        detail::Stopped(where, failure.what());
    } catch (...) {
        detail::Stopped(where, "a failure that is no std::exception");
    }
    return false;
}

}  // namespace forms
