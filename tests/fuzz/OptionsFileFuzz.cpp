// libFuzzer entry: the options file's reader must not crash, and what it
// reads must read back the same after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/OptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const app::Options first = app::ParseOptionsFile(bytes);
    const std::string written = app::FormatOptionsFile(first);
    const app::Options again = app::ParseOptionsFile(written);
    if (!(again == first) || app::FormatOptionsFile(again) != written) {
        std::fprintf(stderr, "options changed on write and read back\n");
        std::abort();
    }
    return 0;
}
