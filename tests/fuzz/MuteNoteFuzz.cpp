// libFuzzer entry: the mute note's reader must not crash, and a note it
// accepts must read back to the same note after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "curtain/MuteNote.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto first = curtain::ParseMuteNote(bytes);
    if (!first) return 0;
    const std::string written = curtain::FormatMuteNote(*first);
    auto again = curtain::ParseMuteNote(written);
    if (!again || !(*again == *first) || curtain::FormatMuteNote(*again) != written) {
        std::fprintf(stderr, "mute note changed on write and read back\n");
        std::abort();
    }
    return 0;
}
