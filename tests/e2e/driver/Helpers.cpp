// What the scenarios use: processes, window queries, screen pixels, input,
// popup menus and file parsing.
#include <algorithm>
#include <cstring>

#include "Driver.h"

namespace e2e {

// ---- Time -------------------------------------------------------------------

bool PumpWait(HANDLE handle, DWORD ms) {
    const double end = NowMs() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const double left = end - NowMs();
        if (left <= 0) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        DWORD r = MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE,
                                            static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        if (handle && r == WAIT_OBJECT_0) return true;
    }
}

void PumpFor(DWORD ms) { PumpWait(nullptr, ms); }

// ---- Processes --------------------------------------------------------------

namespace {
CRITICAL_SECTION g_startedLock;
std::vector<HANDLE> g_started;  // duplicates, kept open until exit
struct StartedInit {
    StartedInit() { InitializeCriticalSection(&g_startedLock); }
} g_startedInit;

void Remember(HANDLE process) {
    HANDLE dup = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &dup, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return;
    EnterCriticalSection(&g_startedLock);
    g_started.push_back(dup);
    LeaveCriticalSection(&g_startedLock);
}
}  // namespace

void KillAllStarted() {
    EnterCriticalSection(&g_startedLock);
    for (HANDLE h : g_started) {
        if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
            TerminateProcess(h, 99);
            WaitForSingleObject(h, 2000);
        }
    }
    LeaveCriticalSection(&g_startedLock);
}

bool App::Start(const std::wstring& exe, const std::wstring& dir, DWORD flags, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    startedMs = NowMs();
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        dir.c_str(), &si, &pi)) {
        Note(Fmt("CreateProcessW(%s) failed: error %lu", U8(exe).c_str(), GetLastError()));
        return false;
    }
    process = pi.hProcess;
    thread_ = pi.hThread;
    pid = pi.dwProcessId;
    Remember(process);
    return true;
}

void App::Resume() {
    if (thread_) ResumeThread(thread_);
}

bool App::Running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool App::WaitExit(DWORD ms, bool pump) const {
    if (!process) return true;
    if (pump) return PumpWait(process, ms);
    return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
}

std::optional<DWORD> App::ExitCode() const {
    DWORD code = 0;
    if (!process || Running() || !GetExitCodeProcess(process, &code)) return std::nullopt;
    return code;
}

void App::End(DWORD graceMs) {
    if (!process) return;
    if (Running()) {
        for (const auto& w : TopLevelWindows(pid)) PostMessageW(w.hwnd, WM_CLOSE, 0, 0);
        if (!WaitExit(graceMs)) {
            Note(Fmt("pid %lu still running %lu ms after WM_CLOSE; terminating",
                     static_cast<unsigned long>(pid), static_cast<unsigned long>(graceMs)));
            TerminateProcess(process, 98);
            WaitExit(3000);
        }
    }
    CloseHandle(process);
    if (thread_) CloseHandle(thread_);
    process = thread_ = nullptr;
}

std::wstring CopyExeInto(const std::wstring& exe, const std::wstring& dir) {
    std::wstring target = dir + L"\\ombry.exe";
    if (!CopyFileW(exe.c_str(), target.c_str(), FALSE))
        Note(Fmt("CopyFileW to %s failed: error %lu", U8(target).c_str(), GetLastError()));
    return target;
}

bool WriteSettingsFile(const std::wstring& dir, std::string_view bytes, const wchar_t* name) {
    std::wstring path = dir + L"\\" + name;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

std::string SettingsLine(int side, int spare, int sound, std::string_view hotkeyName, int hotkeyCode,
                         int showSettings, int keepPattern, int patternState) {
    std::string name;
    for (char c : hotkeyName) {
        if (c == '"') name += '"';
        name += c;
    }
    return Fmt("%d,%d,%d,\"%s\",%d,%d,%d,%d\r\n", side, spare, sound, name.c_str(), hotkeyCode,
               showSettings, keepPattern, patternState);
}

// ---- Windows ----------------------------------------------------------------

bool WindowInfo::Borderless() const {
    return visible && (style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
}

WindowInfo Describe(HWND hwnd) {
    WindowInfo w;
    w.hwnd = hwnd;
    GetWindowThreadProcessId(hwnd, &w.pid);
    wchar_t buf[512];
    int n = GetClassNameW(hwnd, buf, 512);
    w.cls.assign(buf, n > 0 ? n : 0);
    n = GetWindowTextW(hwnd, buf, 512);
    w.title.assign(buf, n > 0 ? n : 0);
    GetWindowRect(hwnd, &w.rect);
    w.style = GetWindowLongW(hwnd, GWL_STYLE);
    w.exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    w.visible = IsWindowVisible(hwnd) != FALSE;
    return w;
}

std::string ToString(const RECT& r) {
    return Fmt("(%ld,%ld)-(%ld,%ld) %ldx%ld", r.left, r.top, r.right, r.bottom, r.right - r.left,
               r.bottom - r.top);
}

std::string ToString(const WindowInfo& w) {
    return Fmt("hwnd %p class \"%s\" title \"%s\" rect %s style %08lx exstyle %08lx%s%s",
               static_cast<void*>(w.hwnd), U8(w.cls).c_str(), U8(w.title).c_str(),
               ToString(w.rect).c_str(), static_cast<unsigned long>(w.style),
               static_cast<unsigned long>(w.exStyle), w.visible ? " visible" : " hidden",
               w.Topmost() ? " topmost" : "");
}

namespace {
struct EnumState {
    DWORD pid;
    std::vector<HWND>* out;
    bool anyProcess = false;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) noexcept {
    auto* st = reinterpret_cast<EnumState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (st->anyProcess || pid == st->pid) {
        try {
            st->out->push_back(hwnd);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}
}  // namespace

std::vector<WindowInfo> TopLevelWindows(DWORD pid) {
    std::vector<HWND> hwnds;
    EnumState st{pid, &hwnds};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&st));
    std::vector<WindowInfo> out;
    for (HWND h : hwnds) out.push_back(Describe(h));
    return out;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    EnumState st{0, &all, true};
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&st));
    return all;
}

void NoteWindows(DWORD pid) {
    auto windows = TopLevelWindows(pid);
    if (windows.empty()) Note(Fmt("pid %lu has no top-level window", static_cast<unsigned long>(pid)));
    for (const auto& w : windows) Note("window " + ToString(w));
}

std::vector<WindowInfo> CurtainCandidates(DWORD pid) {
    std::vector<WindowInfo> out;
    for (auto& w : TopLevelWindows(pid))
        if (w.Borderless()) out.push_back(w);
    return out;
}

std::optional<WindowInfo> WaitForCurtain(DWORD pid, DWORD timeoutMs, DWORD pollMs) {
    const double end = NowMs() + timeoutMs;
    for (;;) {
        auto c = CurtainCandidates(pid);
        if (!c.empty()) return c.front();
        if (NowMs() >= end) return std::nullopt;
        Sleep(pollMs);
    }
}

int TwipsToPx(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// ---- Screen -----------------------------------------------------------------

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

bool IsBlack(COLORREF c) {
    return c != CLR_INVALID && GetRValue(c) <= 16 && GetGValue(c) <= 16 && GetBValue(c) <= 16;
}

RECT VisiblePart(const RECT& r) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT out{};
    IntersectRect(&out, &r, &screen);
    return out;
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR m, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(m, &info)) {
        auto& v = *reinterpret_cast<std::vector<RECT>*>(list);
        const bool primary = info.dwFlags & MONITORINFOF_PRIMARY;
        v.insert(primary ? v.begin() : v.end(), info.rcMonitor);
    }
    return TRUE;
}

}  // namespace

std::vector<RECT> MonitorRects() {
    std::vector<RECT> all;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&all));
    return all;
}

Samples SampleBlack(const RECT& r, int cols, int rows) { return SampleBlackIn(VisiblePart(r), cols, rows); }

Samples SampleBlackIn(const RECT& v, int cols, int rows) {
    Samples s;
    if (IsRectEmpty(&v)) return s;
    // One pixel in from each edge: edges are where anti-aliasing and frames live.
    const int x0 = v.left + 1, x1 = v.right - 2, y0 = v.top + 1, y1 = v.bottom - 2;
    if (x1 < x0 || y1 < y0) return s;
    cols = std::max(1, std::min(cols, x1 - x0 + 1));
    rows = std::max(1, std::min(rows, y1 - y0 + 1));
    HDC dc = GetDC(nullptr);
    for (int j = 0; j < rows; ++j) {
        const int y = rows == 1 ? (y0 + y1) / 2 : y0 + (y1 - y0) * j / (rows - 1);
        for (int i = 0; i < cols; ++i) {
            const int x = cols == 1 ? (x0 + x1) / 2 : x0 + (x1 - x0) * i / (cols - 1);
            COLORREF c = GetPixel(dc, x, y);
            ++s.total;
            if (IsBlack(c)) {
                ++s.black;
            } else if (s.firstOther == CLR_INVALID) {
                s.firstOther = c;
                s.firstOtherAt = {x, y};
            }
        }
    }
    ReleaseDC(nullptr, dc);
    return s;
}

BITMAPINFOHEADER Rgb24Header(int w, int h) {
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    return bi;
}

bool SaveScreenshot(const std::wstring& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER bi = Rgb24Header(w, h);
    const DWORD stride = (w * 3 + 3) & ~3u;
    std::vector<std::uint8_t> bits(static_cast<size_t>(stride) * h);
    const int rows = GetDIBits(mem, bmp, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (rows != h) return false;

    bi.biSizeImage = static_cast<DWORD>(bits.size());
    std::vector<std::uint8_t> dib(sizeof bi);
    std::memcpy(dib.data(), &bi, sizeof bi);
    dib.insert(dib.end(), bits.begin(), bits.end());
    return WriteBmpFile(path, dib);
}

bool WriteBmpFile(const std::wstring& path, const std::vector<std::uint8_t>& dib) {
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = static_cast<DWORD>(sizeof fh + dib.size());
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) &&
                    WriteFile(f, dib.data(), static_cast<DWORD>(dib.size()), &n, nullptr);
    CloseHandle(f);
    return ok;
}

// ---- Input ------------------------------------------------------------------

namespace {
void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    switch (vk) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU:
        case VK_DIVIDE: case VK_APPS:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    if (up) in.ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

DWORD ButtonFlag(Button b, bool up) {
    switch (b) {
        case Button::Left: return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
        case Button::Right: return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
        case Button::Middle: return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    }
    return 0;
}
}  // namespace

void KeyDown(WORD vk) { SendKey(vk, false); }
void KeyUp(WORD vk) { SendKey(vk, true); }
void KeyPress(WORD vk) {
    KeyDown(vk);
    Sleep(30);
    KeyUp(vk);
}

void KeyChord(std::initializer_list<WORD> keys) {
    for (WORD k : keys) {
        KeyDown(k);
        Sleep(20);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        KeyUp(*it);
        Sleep(20);
    }
}

// Starts a program of the host (Wine runs ELF files as they are). Its
// process handle cannot be waited on, so the caller gives it a moment.
bool RunHost(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Note(Fmt("cannot start %s: error %lu", U8(commandLine).c_str(), GetLastError()));
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    PumpFor(300);
    return true;
}

// Wine takes the modifiers of each pointer event from the X server, so a
// Shift sent only with SendInput is forgotten at the next X motion event.
// The X server is told as well, as a real keyboard would.
bool HoldShift(bool down) {
    SendKey(VK_SHIFT, !down);
    return RunHost(down ? L"Z:\\usr\\bin\\xdotool keydown shift" : L"Z:\\usr\\bin\\xdotool keyup shift");
}

void MouseMove(int x, int y) {
    // Absolute coordinates span the virtual screen as 0..65535.
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = std::max(2, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int vh = std::max(2, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const LONG nx = static_cast<LONG>((static_cast<long long>(x - vx) * 65535 + (vw - 1) / 2) / (vw - 1));
    const LONG ny = static_cast<LONG>((static_cast<long long>(y - vy) * 65535 + (vh - 1) / 2) / (vh - 1));
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, nx, ny);
}

void MouseDown(Button b) { SendMouse(ButtonFlag(b, false)); }
void MouseUp(Button b) { SendMouse(ButtonFlag(b, true)); }

void Click(int x, int y, Button b) {
    // Under Wine the X server may put the pointer back where it was just
    // after a jump, and the press lands there: move, settle, move again.
    MouseMove(x, y);
    Sleep(60);
    MouseMove(x, y);
    Sleep(60);
    MouseDown(b);
    Sleep(30);
    MouseUp(b);
}

void DoubleClick(int x, int y, Button b) {
    Click(x, y, b);
    Sleep(std::min<UINT>(80, GetDoubleClickTime() / 4));
    MouseDown(b);
    Sleep(30);
    MouseUp(b);
}

// ---- Popup menus ------------------------------------------------------------

namespace {
BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM param) noexcept {
    wchar_t cls[32];
    if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 32) && std::wcscmp(cls, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND WaitForPopupMenu(DWORD timeoutMs) {
    const double end = NowMs() + timeoutMs;
    for (;;) {
        HWND found = nullptr;
        EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&found));
        if (found || NowMs() >= end) return found;
        Sleep(20);
    }
}

std::vector<std::uint32_t> GrabScreen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<std::uint32_t> pixels;
    if (w <= 0 || h <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = -h;  // top row first
    bi.biPlanes = 1;
    bi.biBitCount = 32;
    bi.biCompression = BI_RGB;
    pixels.resize(static_cast<size_t>(w) * h);
    if (GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != h)
        pixels.clear();
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {
struct MenuShot {
    RECT rect{};
    std::vector<std::uint32_t> pixels;
};
MenuShot g_shot;

void CALLBACK GrabOwnMenu(HWND owner, UINT, UINT_PTR id, DWORD) noexcept {
    KillTimer(owner, id);
    if (HWND menu = WaitForPopupMenu(0)) {
        GetWindowRect(menu, &g_shot.rect);
        g_shot.pixels = GrabScreen(g_shot.rect);
    }
    EndMenu();
}
}  // namespace

MenuPicture DrawReferenceMenu(POINT at, std::initializer_list<const wchar_t*> items) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst,
                                 nullptr);
    HMENU menu = CreatePopupMenu();
    UINT id = 1;
    for (const wchar_t* text : items) AppendMenuW(menu, MF_STRING, id++, text);
    g_shot = {};
    SetForegroundWindow(owner);
    SetTimer(owner, 1, 300, GrabOwnMenu);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return {g_shot.rect, std::move(g_shot.pixels)};
}

int DifferentPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += (a[i] & 0xffffff) != (b[i] & 0xffffff);
    return n;
}

// ---- Files ------------------------------------------------------------------

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    std::vector<std::uint8_t> data;
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart < (64 << 20);
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) &&
             got == data.size();
    }
    CloseHandle(f);
    if (!ok) return std::nullopt;
    return data;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
struct Reader {
    const std::vector<std::uint8_t>& b;
    bool bad = false;
    std::uint32_t U(size_t at, int bytes) {
        if (at + bytes > b.size()) {
            bad = true;
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
        return v;
    }
    std::string Str(size_t at) {
        std::string s;
        while (at < b.size() && b[at] && s.size() < 256) s += static_cast<char>(b[at++]);
        if (at >= b.size()) bad = true;
        return s;
    }
};
}  // namespace

std::optional<PeInfo> ReadPe(const std::vector<std::uint8_t>& file, std::string& why) {
    Reader r{file};
    if (r.U(0, 2) != 0x5A4D) {
        why = "no MZ header";
        return std::nullopt;
    }
    const size_t pe = r.U(0x3C, 4);
    if (r.U(pe, 4) != 0x00004550) {
        why = "no PE signature";
        return std::nullopt;
    }
    PeInfo info;
    const size_t coff = pe + 4;
    info.machine = static_cast<WORD>(r.U(coff, 2));
    const unsigned sections = r.U(coff + 2, 2);
    const unsigned optSize = r.U(coff + 16, 2);
    const size_t opt = coff + 20;
    const unsigned magic = r.U(opt, 2);
    if (magic != 0x10B && magic != 0x20B) {
        why = Fmt("optional header magic %x", magic);
        return std::nullopt;
    }
    info.pe32plus = magic == 0x20B;
    info.subsystem = static_cast<WORD>(r.U(opt + 68, 2));
    const size_t dirs = opt + (info.pe32plus ? 112 : 96);
    const size_t sectionTable = opt + optSize;

    auto toOffset = [&](std::uint32_t rva) -> std::optional<size_t> {
        for (unsigned i = 0; i < sections; ++i) {
            const size_t s = sectionTable + 40 * i;
            const std::uint32_t va = r.U(s + 12, 4), vsize = r.U(s + 8, 4);
            const std::uint32_t raw = r.U(s + 20, 4), rawSize = r.U(s + 16, 4);
            if (rva >= va && rva < va + std::max(vsize, rawSize)) return raw + (rva - va);
        }
        return std::nullopt;
    };

    // Import directory (1): 20-byte descriptors, name RVA at +12. Delay
    // imports (13): 32-byte descriptors, name RVA at +4.
    auto readTable = [&](int dir, size_t entrySize, size_t nameAt, std::vector<std::string>& out) {
        const std::uint32_t rva = r.U(dirs + 8 * dir, 4);
        if (!rva) return true;
        auto off = toOffset(rva);
        if (!off) return false;
        for (size_t e = *off; !r.bad; e += entrySize) {
            const std::uint32_t nameRva = r.U(e + nameAt, 4);
            if (!nameRva) break;
            auto nameOff = toOffset(nameRva);
            if (!nameOff) return false;
            out.push_back(r.Str(*nameOff));
            if (out.size() > 500) return false;
        }
        return !r.bad;
    };
    if (!readTable(1, 20, 12, info.imports) || !readTable(13, 32, 4, info.delayImports) || r.bad) {
        why = "import table unreadable";
        return std::nullopt;
    }
    return info;
}

}  // namespace e2e
