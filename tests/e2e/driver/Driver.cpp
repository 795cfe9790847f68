// Entry point, reporting, the scenario table and the watchdog.
#include "Driver.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace e2e {
namespace {

int g_failed = 0;
int g_checks = 0;
std::wstring g_shotPath;  // where the first failure's screen goes, if anywhere

std::map<std::string, ScenarioFn>& Table() {
    static std::map<std::string, ScenarioFn> table;
    return table;
}

void Out(std::string_view line) {
    // Bytes straight to stdout: the lines are UTF-8 whatever the code page.
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Lines and the watchdog may race; keep whole lines whole.
CRITICAL_SECTION g_outLock;
struct OutLockInit {
    OutLockInit() { InitializeCriticalSection(&g_outLock); }
} g_outLockInit;

void OutLocked(std::string_view line) {
    EnterCriticalSection(&g_outLock);
    Out(line);
    LeaveCriticalSection(&g_outLock);
}

DWORD g_watchdogSeconds = 45;

DWORD WINAPI Watchdog(void*) {
    Sleep(g_watchdogSeconds * 1000);
    if (g_failed == 0 && !g_shotPath.empty()) SaveScreenshot(g_shotPath);
    OutLocked(Fmt("not ok - watchdog: scenario still running after %lu s; ending it",
                  static_cast<unsigned long>(g_watchdogSeconds)));
    KillAllStarted();
    ExitProcess(3);
}

std::wstring ToWindowsPath(std::wstring p) {
    // run.sh hands over Unix paths; drive Z: is the Unix root in a Wine prefix.
    if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
    for (auto& c : p)
        if (c == L'/') c = L'\\';
    while (p.size() > 3 && p.back() == L'\\') p.pop_back();
    return p;
}

int Usage() {
    Out("usage: driver.exe <scenario> <path-to-ombry.exe> <working-dir>");
    std::string names;
    for (auto& [name, fn] : Table()) names += " " + name;
    Out("scenarios:" + names);
    return 2;
}

}  // namespace

bool Check(bool cond, std::string_view what, std::string_view details) {
    ++g_checks;
    if (!cond && g_failed == 0 && !g_shotPath.empty()) {
        // The screen as it is at the first failure, before the clean-up changes it.
        if (!SaveScreenshot(g_shotPath)) OutLocked("# could not save the screenshot");
    }
    std::string line = cond ? "ok - " : "not ok - ";
    line += what;
    if (!cond) {
        ++g_failed;
        if (!details.empty()) {
            line += ": ";
            line += details;
        }
    }
    OutLocked(line);
    return cond;
}

void Note(std::string_view text) { OutLocked(std::string("# ") + std::string(text)); }

int g_skips = 0;
void Skip(std::string_view why) {
    ++g_skips;
    OutLocked(std::string("skip - ") + std::string(why));
}

int FailedChecks() { return g_failed; }

std::string Fmt(const char* format, ...) {
    char buf[2048];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(buf, std::min<size_t>(n, sizeof buf - 1));
}

std::string U8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

ScenarioRegistration::ScenarioRegistration(const char* name, ScenarioFn fn) { Table()[name] = fn; }

double NowMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    using namespace e2e;
    if (argc != 4) return Usage();
    const std::string name = U8(argv[1]);
    auto it = Table().find(name);
    if (it == Table().end()) {
        Out("not ok - unknown scenario " + name);
        Usage();
        return 2;
    }

    // Real pixels: without this Wine and Windows scale what we read.
    SetProcessDPIAware();

    if (const char* s = std::getenv("OMBRY_E2E_WATCHDOG"); s && std::atoi(s) > 0)
        g_watchdogSeconds = static_cast<DWORD>(std::atoi(s));
    HANDLE dog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    if (dog) CloseHandle(dog);

    Context ctx;
    if (const wchar_t* shot = _wgetenv(L"OMBRY_E2E_SHOT"); shot && *shot) g_shotPath = ToWindowsPath(shot);
    ctx.exe = ToWindowsPath(argv[2]);
    ctx.dir = ToWindowsPath(argv[3]);
    HDC screen = GetDC(nullptr);
    ctx.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ctx.screenW = GetSystemMetrics(SM_CXSCREEN);
    ctx.screenH = GetSystemMetrics(SM_CYSCREEN);
    Note(Fmt("scenario %s, screen %dx%d at %d dpi", name.c_str(), ctx.screenW, ctx.screenH, ctx.dpi));

    it->second(ctx);

    KillAllStarted();  // anything a scenario left behind
    if (g_checks == 0 && g_skips == 0) {
        Out("not ok - scenario made no checks");
        return 1;
    }
    return FailedChecks() == 0 ? 0 : 1;
}
