#include "win32/DisplayChanges.h"

#include <atomic>

namespace win32 {

namespace {
// Set and taken on the user-interface thread; atomic all the same, as a
// window of another thread would be heard too.
std::atomic<bool> displayChanged{false};
}  // namespace

// The three are sent to top-level windows, which every form of the program
// is (the curtain, the covers, the dialogs and their hidden owner); a
// message-only window would hear none of them. Any WM_DEVICECHANGE counts:
// a monitor that comes or goes is announced with DBT_DEVNODES_CHANGED, and
// the others are rare.
void HearDisplayMessage(UINT msg, WPARAM wp) noexcept {
    if (msg == WM_DISPLAYCHANGE || msg == WM_DEVICECHANGE || (msg == WM_SETTINGCHANGE && wp == SPI_SETWORKAREA))
        displayChanged.store(true, std::memory_order_relaxed);
}

bool TakeDisplayChanged() noexcept { return displayChanged.exchange(false, std::memory_order_relaxed); }

bool DisplayChangeHeard() noexcept { return displayChanged.load(std::memory_order_relaxed); }

}  // namespace win32
