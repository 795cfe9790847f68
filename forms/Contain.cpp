#include "forms/Contain.h"

#include <atomic>
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
void Stopped(const std::source_location& where, const char* what) noexcept {
    const StoppedFailureSink to = sink.load();
    if (!to) return;
    // Telling must not become a failure of its own: the place is already
    // one that has to go on.
    try {
        to(std::string(BaseName(where.file_name())) + ":" + std::to_string(where.line()), what ? what : "");
    } catch (...) {
    }
}
}  // namespace detail

}  // namespace forms
