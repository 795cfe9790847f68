// libFuzzer entry: the reader must not crash, and anything it accepts must
// read back to the same values after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto first = app::ParseSettingsFile(bytes);
    if (!first) return 0;
    const std::string written = app::FormatSettingsFile(*first);
    auto again = app::ParseSettingsFile(written);
    if (!again || !(*again == *first) || app::FormatSettingsFile(*again) != written) {
        std::fprintf(stderr, "settings changed on write and read back\n");
        std::abort();
    }
    return 0;
}
