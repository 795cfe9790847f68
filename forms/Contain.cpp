#include "forms/Contain.h"

#include <atomic>
#include <exception>
#include <string>

namespace forms {

namespace {
// Set once at start, read on any thread a failure stops on.
std::atomic<StoppedFailureSink> sink{nullptr};

std::string_view BaseName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
}  // namespace

void TellStoppedFailures(StoppedFailureSink to) noexcept { sink.store(to); }

namespace detail {
void Stopped(const char* file, int line) noexcept {
    const StoppedFailureSink to = sink.load();
    if (!to) return;
    // Telling must not become a failure of its own: the place is already
    // one that has to go on.
    try {
        const std::string where = std::string(BaseName(file ? file : "")) + ":" + std::to_string(line);
        try {
            throw;
        } catch (const std::exception& failure) {
            to(where, failure.what());
        } catch (...) {
            to(where, "a failure that is no std::exception");
        }
    } catch (...) {
    }
}
}  // namespace detail

}  // namespace forms
