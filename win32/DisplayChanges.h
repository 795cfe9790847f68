#pragma once
// What Windows announces about the monitors, heard by every window of the
// program's own classes: the stored curtain reads the monitors again only
// after such a message (Services.cpp).
#include <windows.h>

namespace win32 {

// Notes that the monitors may have changed when msg says so: the display's
// mode or layout (WM_DISPLAYCHANGE), the work area (WM_SETTINGCHANGE with
// SPI_SETWORKAREA) or a device that came or went (WM_DEVICECHANGE).
void HearDisplayMessage(UINT msg, WPARAM wp) noexcept;

// Whether such a message came since the last call.
bool TakeDisplayChanged() noexcept;
// Whether one came since TakeDisplayChanged last took it, leaving it there.
bool DisplayChangeHeard() noexcept;

}  // namespace win32
