#pragma once
// The end-to-end driver: a second Win32 program that starts ombry.exe, looks
// at its real windows and the real screen, and sends real input.
//
//   driver.exe <scenario> <path-to-ombry.exe> <working-dir>
//
// Each scenario is a function registered with OMBRY_SCENARIO. It prints one
// line per check, "ok - <what>" or "not ok - <what>: <details>", "skip - <why>"
// when its point cannot be checked here, and lines starting with "# " for
// what it saw. The exit code is 0 only when every
// check passed.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// ---- Reporting --------------------------------------------------------------

// Prints the check's line; returns cond so callers can stop early.
bool Check(bool cond, std::string_view what, std::string_view details = {});
void Note(std::string_view text);  // "# text"
// "skip - why": what the scenario is for cannot be checked here. A scenario
// that skips and fails nothing counts as skipped, not passed.
void Skip(std::string_view why);
int FailedChecks();

#if defined(__GNUC__)
#define OMBRY_PRINTF_LIKE __attribute__((format(printf, 1, 2)))
#else
#define OMBRY_PRINTF_LIKE
#endif
std::string Fmt(const char* format, ...) OMBRY_PRINTF_LIKE;
std::string U8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);

// ---- Scenarios --------------------------------------------------------------

struct Context {
    std::wstring exe;        // ombry.exe as given (Windows form)
    std::wstring dir;        // the scenario's own working directory
    int dpi = 96;            // the system DPI the driver measured
    int screenW = 0, screenH = 0;
};

using ScenarioFn = void (*)(Context&);

struct ScenarioRegistration {
    ScenarioRegistration(const char* name, ScenarioFn fn);
};

#define OMBRY_SCENARIO(ident, name)                                       \
    static void ident(::e2e::Context&);                                  \
    static ::e2e::ScenarioRegistration ident##_registration{name, ident}; \
    static void ident(::e2e::Context& ctx)

// ---- Time -------------------------------------------------------------------

double NowMs();  // QueryPerformanceCounter, in milliseconds

// Waits up to ms while dispatching this thread's messages (needed for WinEvent
// hooks). Returns true when handle was signalled; handle may be null.
bool PumpWait(HANDLE handle, DWORD ms);
void PumpFor(DWORD ms);

// ---- Processes --------------------------------------------------------------

// A process the driver started. Ended by End() or the destructor: WM_CLOSE to
// its windows, then TerminateProcess if it is still there after a few seconds.
// The watchdog also knows every process started, and kills them when a
// scenario hangs.
class App {
public:
    App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App() { End(); }

    // Starts exe with dir as its working directory and args after its name.
    // flags go to CreateProcessW (CREATE_SUSPENDED to hook it before it runs).
    bool Start(const std::wstring& exe, const std::wstring& dir, DWORD flags = 0, const std::wstring& args = {});
    void Resume();
    bool Running() const;
    bool WaitExit(DWORD ms, bool pump = false) const;
    std::optional<DWORD> ExitCode() const;  // empty while running
    void End(DWORD graceMs = 3000);

    DWORD pid = 0;
    HANDLE process = nullptr;
    double startedMs = 0;  // NowMs() just before CreateProcessW

private:
    HANDLE thread_ = nullptr;
};

// Ends every process the driver started, at once (the watchdog and exit).
void KillAllStarted();

// The working directory gets its own copy of ombry.exe, so the program's
// folder and its working directory are the same fresh place.
std::wstring CopyExeInto(const std::wstring& exe, const std::wstring& dir);

// Writes ombry.cfg into dir (bytes as given, ANSI code page for the hotkey
// name), or the options file of that name.
bool WriteSettingsFile(const std::wstring& dir, std::string_view bytes, const wchar_t* name = L"ombry.cfg");
// The eight fields in the file's order.
std::string SettingsLine(int side, int spare, int sound, std::string_view hotkeyName, int hotkeyCode,
                         int showSettings, int keepPattern, int patternState);

// ---- Windows ----------------------------------------------------------------

struct WindowInfo {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    std::wstring cls, title;
    RECT rect{};
    LONG style = 0, exStyle = 0;
    bool visible = false;

    bool Topmost() const { return (exStyle & WS_EX_TOPMOST) != 0; }
    bool HasCaption() const { return (style & WS_CAPTION) == WS_CAPTION; }
    // Visible, WS_POPUP, no caption, sizing frame or border.
    bool Borderless() const;
};

WindowInfo Describe(HWND hwnd);
std::string ToString(const WindowInfo& w);
std::string ToString(const RECT& r);
std::vector<WindowInfo> TopLevelWindows(DWORD pid);  // visible or not
std::vector<HWND> Children(HWND parent);              // its child windows, at any depth
void NoteWindows(DWORD pid);                          // "# window ..." per window

// The visible borderless popups of pid: the candidates for the curtain.
std::vector<WindowInfo> CurtainCandidates(DWORD pid);
// Waits until pid shows a curtain candidate; polls every pollMs.
std::optional<WindowInfo> WaitForCurtain(DWORD pid, DWORD timeoutMs, DWORD pollMs = 20);

// Twips to pixels at dpi, rounding to nearest (1440 twips an inch).
int TwipsToPx(int twips, int dpi);

// ---- Screen -----------------------------------------------------------------

COLORREF ScreenPixel(int x, int y);
bool IsBlack(COLORREF c);  // allows a little noise
// Samples an up to cols x rows grid inside r clipped to the screen; returns
// how many of the samples are black, and how many were taken.
struct Samples {
    int black = 0, total = 0;
    COLORREF firstOther = CLR_INVALID;
    POINT firstOtherAt{};
};
Samples SampleBlack(const RECT& r, int cols = 9, int rows = 9);
RECT VisiblePart(const RECT& r);  // r clipped to the primary screen
std::vector<RECT> MonitorRects();  // every monitor's rectangle, the primary first
Samples SampleBlackIn(const RECT& r, int cols = 9, int rows = 9);  // r as it is: any monitor
// A bottom-up 24-bit uncompressed header of w x h (biSizeImage left 0).
BITMAPINFOHEADER Rgb24Header(int w, int h);
// Writes the whole screen as a 24-bit .bmp.
bool SaveScreenshot(const std::wstring& path);
// Writes a packed DIB (BITMAPINFOHEADER, then the rows; no palette) as a .bmp file.
bool WriteBmpFile(const std::wstring& path, const std::vector<std::uint8_t>& dib);

// ---- Input (SendInput) ------------------------------------------------------

void KeyDown(WORD vk);
void KeyUp(WORD vk);
void KeyPress(WORD vk);
void KeyChord(std::initializer_list<WORD> keys);
// Shift down or up, in Windows' and in the X server's key state alike.
bool HoldShift(bool down);  // all down in order, then up in reverse
// Starts a program of the host (Linux) by its Z: path, and does not wait for it.
bool RunHost(std::wstring commandLine);
void MouseMove(int x, int y);                      // absolute, screen pixels
enum class Button { Left, Right, Middle };
void MouseDown(Button b);
void MouseUp(Button b);
void Click(int x, int y, Button b = Button::Left);
void DoubleClick(int x, int y, Button b = Button::Left);

// ---- Popup menus ------------------------------------------------------------

// A visible menu window (class "#32768") on the screen, any process.
HWND WaitForPopupMenu(DWORD timeoutMs);
// Pop-up menus of another process cannot be read through their HMENU under
// Wine, so a menu is checked by its picture: the driver opens a menu of its
// own with the expected items at the same place, and the two must match
// pixel for pixel (same font, same theme, same machine).
struct MenuPicture {
    RECT rect{};
    std::vector<std::uint32_t> pixels;  // top row first, 0x00RRGGBB
};
std::vector<std::uint32_t> GrabScreen(const RECT& r);
MenuPicture DrawReferenceMenu(POINT at, std::initializer_list<const wchar_t*> items);
// Pixels that differ; -1 when the sizes differ.
int DifferentPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

// ---- Files ------------------------------------------------------------------

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

struct PeInfo {
    WORD machine = 0;
    WORD subsystem = 0;
    bool pe32plus = false;
    std::vector<std::string> imports;       // DLL names as written
    std::vector<std::string> delayImports;
};
// Parses the headers and the import tables; std::nullopt with why on failure.
std::optional<PeInfo> ReadPe(const std::vector<std::uint8_t>& file, std::string& why);

}  // namespace e2e
