#include "win32/Trace.h"

#include "forms/Contain.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace win32 {

namespace {
HANDLE TraceFile() {
    static const HANDLE file = [] {
        const wchar_t* path = _wgetenv(L"OMBRY_TRACE");
        if (!path || !*path) return INVALID_HANDLE_VALUE;
        // Kept open for the whole process; the system closes it at the end.
        return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }();
    return file;
}
}  // namespace

bool Tracing() { return TraceFile() != INVALID_HANDLE_VALUE; }

void Trace(std::string_view line) {
    const HANDLE file = TraceFile();
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text(line);
    text += '\n';
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void TraceStoppedFailures() {
    if (!Tracing()) return;
    forms::TellStoppedFailures([](std::string_view where, std::string_view what) {
        Trace("stopped at " + std::string(where) + ": " + std::string(what));
    });
}

}  // namespace win32
