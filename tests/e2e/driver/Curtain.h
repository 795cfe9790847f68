#pragma once
// What the scenarios about the curtain share: its rectangles in twips and
// pixels, and starting it with a settings line.
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "Driver.h"

namespace e2e {

constexpr WORD kHotkey = VK_F9;  // the hotkey the scenarios register

// A rectangle in twips, as the program lays its windows out.
struct TwipsRect {
    int left, top, width, height;
};

int ScreenTwipsW(const Context& ctx);
int ScreenTwipsH(const Context& ctx);
TwipsRect StripTwips(const Context& ctx, int side);  // the strip at side 0 top, 1 bottom, 2 right, 3 left
TwipsRect DownTwips(const Context& ctx);             // spread over the screen
RECT ToPixels(const TwipsRect& t, int dpi);
bool Near(const RECT& a, const RECT& b, long tol = 1);
RECT RectOf(HWND h);
bool WaitForRect(HWND h, const RECT& want, DWORD timeoutMs);

// Starts ombry.exe in the scenario's directory with this settings line (none:
// no settings file, a first start) and returns its curtain window (null,
// with the failed check printed, if not).
HWND StartWith(App& app, const Context& ctx, const std::string& settings);
// A settings line with the curtain at side, and F9 as the hotkey unless hotkey is 0.
std::string Settings(int side, int hotkey);
POINT OnStrip(const RECT& strip);  // where the mouse touches the strip
void CheckStoredAt(HWND h, const Context& ctx, int side, const char* when);
bool CheckDown(HWND h, const Context& ctx, const char* how);
// The hotkey spreads the curtain; then a moment for its picture to be painted.
bool SpreadByHotkey(HWND h, const Context& ctx);

// A picture whose left half is one colour and right half another (0x00RRGGBB),
// as a packed 24-bit bottom-up DIB.
std::vector<std::uint8_t> HalvesDib(std::uint32_t left, std::uint32_t right, int w = 64, int h = 48);
// The same with a top half and a bottom half.
std::vector<std::uint8_t> TopBottomDib(std::uint32_t top, std::uint32_t bottom, int w = 64, int h = 48);
bool PutOnClipboard(const std::vector<std::uint8_t>& dib);  // as CF_DIB, like a screen capture
bool NearColour(COLORREF seen, std::uint32_t rgb);
// The screen shows each colour (0x00RRGGBB) at its point within 2 s.
bool CheckColours(std::initializer_list<std::pair<POINT, std::uint32_t>> want, const std::string& what);
// Spreads the curtain with the hotkey; the picture's halves must fill the screen's halves.
void CheckPatternShown(HWND h, Context& ctx, std::uint32_t left, std::uint32_t right, const char* what);
// The same for a picture of a top and a bottom half: upright, not mirrored.
void CheckTopBottomShown(HWND h, Context& ctx, std::uint32_t top, std::uint32_t bottom, const char* what);
// The notification area of Wine's desktop taskbar draws its icons itself,
// right to left from its right end, one square slot each.
RECT TrayIconSlot(int slot);  // empty when no taskbar is shown
// How many slots from the right show an icon (are not one plain colour).
int ShownTrayIcons();
// Waits until that many icons show; returns the last count seen.
int WaitForTrayIcons(int want, DWORD timeoutMs);
// Checks that that many icons show within timeoutMs (0: now).
bool CheckTrayIcons(int want, const std::string& what, DWORD timeoutMs = 3000);
POINT Middle(const RECT& r);
// Moves the pointer onto the stored strip at on and waits until the curtain
// is spread and shows there the colour shows (0x00RRGGBB: black without a
// pattern); false, with the failed check printed, if not.
bool TouchToSpread(HWND h, const Context& ctx, POINT on, std::uint32_t shows = 0);
// Clicks an item of the program's two-item menu once it shows highlighted:
// 0 "各種設定", 1 "終了".
void ChooseMenuItem(const RECT& menu, int item);
void ChooseEnd(const RECT& menu);
// Opens the icon's menu with a right-click.
std::optional<RECT> OpenIconMenu(const char* when);
// Right-clicks at `at` and waits for a pop-up menu; its rectangle, once painted.
std::optional<RECT> OpenMenuAt(POINT at, const std::string& what);
// 終了 from that menu; true when the program has ended within 5 s.
// Touches the strip at `on`, waits for the spread curtain to show `shows`
// there, then opens its menu with a right-click.
std::optional<RECT> OpenCurtainMenu(HWND h, const Context& ctx, POINT on, const std::string& what,
                                    std::uint32_t shows = 0);
bool EndFromMenu(App& app, const RECT& menu, const std::string& what = "終了 ends the program");
// The scenario folder's ombry.cfg as text, or "(no file)".
std::string SettingsFileText(const Context& ctx, const wchar_t* name = L"ombry.cfg");

// ---- The program's windows and controls -------------------------------------

// The text as WM_GETTEXT gives it, which is what a screen reader reads.
std::wstring TextOf(HWND h);
HWND FocusOf(HWND window);  // the focus in the window's thread
HWND ChildWithText(HWND parent, const std::wstring& text);  // the first child that reads text, or null
// Polls until done() holds, up to ms; input to another program takes its time.
template <class Done>
bool WaitUntil(Done done, DWORD ms = 2000, DWORD pollMs = 20) {
    const double until = NowMs() + ms;
    while (!done()) {
        if (NowMs() >= until) return false;
        PumpFor(pollMs);
    }
    return true;
}
// A visible top-level window of pid with this title (and a caption, if asked).
HWND WaitForTitled(DWORD pid, const std::wstring& title, DWORD timeoutMs = 5000, bool captioned = false);
// Checks that the settings dialog opens at start and gives it a moment more:
// a window just shown is not yet ready for the mouse.
HWND WaitForDialogAtStart(DWORD pid, const wchar_t* title = L"各種設定");

}  // namespace e2e
