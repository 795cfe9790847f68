// Start, single instance, close, and the start-up time.
#include <algorithm>
#include <cstdlib>

#include "Curtain.h"
#include "Driver.h"

#include <psapi.h>  // after <windows.h>, which Driver.h brings

namespace e2e {
namespace {

// Curtain geometry, in twips: the strip it waits as, and how far it reaches
// past the screen's edges so no frame of desktop shows at the border.
constexpr int kStripTwips = 150;
constexpr int kOverhangTwips = 50;

std::wstring SubDir(const Context& ctx, const wchar_t* name) {
    std::wstring d = ctx.dir + L"\\" + name;
    CreateDirectoryW(d.c_str(), nullptr);
    return d;
}

// Starts a copy of ombry.exe in dir and waits for its curtain.
std::optional<WindowInfo> StartAndWaitForCurtain(App& app, const Context& ctx, const std::wstring& dir,
                                                 DWORD timeoutMs = 10000) {
    const std::wstring exe = CopyExeInto(ctx.exe, dir);
    if (!Check(app.Start(exe, dir), "ombry.exe starts")) return std::nullopt;
    auto curtain = WaitForCurtain(app.pid, timeoutMs);
    if (!Check(curtain.has_value(), Fmt("a curtain window appears within %lu s", timeoutMs / 1000),
               app.Running() ? "no visible borderless popup window"
                             : Fmt("the process ended, exit code %lu",
                                   static_cast<unsigned long>(app.ExitCode().value_or(0))))) {
        NoteWindows(app.pid);
        return std::nullopt;
    }
    Note(Fmt("curtain visible %.0f ms after CreateProcess", NowMs() - app.startedMs));
    return curtain;
}

bool NearlyEqual(long got, long want, long tolerance = 1) { return std::labs(got - want) <= tolerance; }

OMBRY_SCENARIO(StartEmpty, "start-empty") {
    App app;
    auto curtain = StartAndWaitForCurtain(app, ctx, ctx.dir);
    if (!curtain) return;
    // The settings dialog opens during start; let it settle before counting.
    Sleep(1000);
    NoteWindows(app.pid);

    auto candidates = CurtainCandidates(app.pid);
    std::string list;
    for (auto& c : candidates) list += " [" + ToString(c) + "]";
    Check(candidates.size() == 1, "exactly one window of the process is a borderless popup",
          Fmt("%d:%s", static_cast<int>(candidates.size()), list.c_str()));

    const WindowInfo w = Describe(curtain->hwnd);
    Note("curtain " + ToString(w));
    Check(w.visible && (w.style & WS_POPUP) && !(w.style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER)),
          "curtain is a visible popup without caption, sizing frame or border",
          Fmt("style %08lx", static_cast<unsigned long>(w.style)));
    Check(w.Topmost(), "curtain is topmost", Fmt("exstyle %08lx", static_cast<unsigned long>(w.exStyle)));

    // Waiting position: a strip along the top edge, overhanging the screen
    // on the outer side and at both ends.
    const int strip = TwipsToPx(kStripTwips, ctx.dpi);
    const int over = TwipsToPx(kOverhangTwips, ctx.dpi);
    const RECT& r = w.rect;
    Note(Fmt("expected about (%d,%d)-(%d..%d,%d) at %d dpi, 1 px either way; saw %s", -over, -over,
             ctx.screenW + over, ctx.screenW + 2 * over, strip - over, ctx.dpi, ToString(r).c_str()));
    Check(NearlyEqual(r.top, -over) && NearlyEqual(r.bottom - r.top, strip),
          Fmt("curtain waits as a %d px strip over the top edge, %d px above it", strip, over),
          ToString(r));
    Check(NearlyEqual(r.left, -over), "curtain overhangs the left end", ToString(r));
    Check(r.right >= ctx.screenW + over - 1 && r.right <= ctx.screenW + 2 * over + 1,
          "curtain overhangs the right end", ToString(r));

    // Painted black where it is on the screen and not under the settings
    // dialog, which opens over it. Give the first paint a moment.
    RECT open = w.rect;
    for (auto& other : TopLevelWindows(app.pid)) {
        const RECT& o = other.rect;
        if (other.hwnd == w.hwnd || !other.visible || o.bottom <= open.top || o.top >= open.bottom) continue;
        if (o.left <= (open.left + open.right) / 2) open.left = std::max(open.left, o.right);
    }
    Samples s;
    const double end = NowMs() + 3000;
    do {
        s = SampleBlack(open);
        if (s.total > 0 && s.black == s.total) break;
        Sleep(100);
    } while (NowMs() < end);
    Check(s.total > 0 && s.black == s.total, Fmt("screen under the curtain reads black (%d samples)", s.total),
          Fmt("%d of %d black; first other %06lx at (%ld,%ld)", s.black, s.total,
              static_cast<unsigned long>(s.firstOther), s.firstOtherAt.x, s.firstOtherAt.y));

    // No settings file: the settings dialog opens too, and it is no curtain.
    bool dialog = false;
    for (auto& other : TopLevelWindows(app.pid))
        if (other.visible && other.HasCaption()) dialog = true;
    Check(dialog, "with no settings file a captioned settings window is open as well");
}

// The WinEvent hook sees windows of the second copy even if they live only
// for a moment between two polls.
std::vector<std::pair<DWORD, HWND>> g_events;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD,
                         DWORD) noexcept {
    if (idObject != OBJID_WINDOW || idChild != CHILDID_SELF || !hwnd) return;
    try {
        g_events.emplace_back(event, hwnd);
    } catch (...) {
    }
}

OMBRY_SCENARIO(SecondCopy, "second-copy") {
    App first;
    auto curtain = StartAndWaitForCurtain(first, ctx, ctx.dir);
    if (!curtain) return;
    Sleep(1000);  // past the start: the settings dialog is up by now
    const WindowInfo before = Describe(curtain->hwnd);
    Note("first copy's curtain " + ToString(before));

    App second;
    const std::wstring exe = ctx.dir + L"\\ombry.exe";
    if (!Check(second.Start(exe, ctx.dir, CREATE_SUSPENDED), "a second ombry.exe starts")) return;
    g_events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnWinEvent,
                                         second.pid, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) Note(Fmt("SetWinEventHook failed (%lu); polling only", GetLastError()));
    second.Resume();

    std::vector<WindowInfo> seen;
    const double end = second.startedMs + 5000;
    while (second.Running() && NowMs() < end) {
        for (auto& w : TopLevelWindows(second.pid)) {
            if (std::none_of(seen.begin(), seen.end(), [&](auto& s) { return s.hwnd == w.hwnd; }))
                seen.push_back(w);
        }
        PumpWait(second.process, 5);
    }
    PumpFor(100);  // late hook events
    if (hook) UnhookWinEvent(hook);

    const bool exited = !second.Running();
    Check(exited, "the second copy exits within 5 s");
    if (exited)
        Note(Fmt("second copy exit code %lu after %.0f ms",
                 static_cast<unsigned long>(second.ExitCode().value_or(0)), NowMs() - second.startedMs));

    std::string windows;
    for (auto& w : seen) windows += " [" + ToString(w) + "]";
    for (auto& [event, hwnd] : g_events)
        windows += Fmt(" [event %lx on hwnd %p]", static_cast<unsigned long>(event), static_cast<void*>(hwnd));
    Check(seen.empty() && g_events.empty(), "the second copy created no window", windows);

    const WindowInfo after = Describe(curtain->hwnd);
    Check(IsWindow(curtain->hwnd) && after.pid == first.pid, "the first copy's curtain is the same window",
          ToString(after));
    Check(EqualRect(&after.rect, &before.rect) && after.style == before.style &&
              after.exStyle == before.exStyle && after.visible == before.visible,
          "the first copy's curtain kept its place and style",
          "before " + ToString(before) + " after " + ToString(after));
    Check(first.Running(), "the first copy still runs");
}

// A switch from a second process, as a script or a shortcut gives it: its
// exit code, and what the copy that runs does with it.
OMBRY_SCENARIO(CommandLine, "command-line") {
    const std::wstring exe = CopyExeInto(ctx.exe, ctx.dir);
    auto run = [&](const wchar_t* args) -> long {
        App command;
        if (!command.Start(exe, ctx.dir, 0, args) || !command.WaitExit(15000)) {
            Check(false, Fmt("ombry.exe %s ends within 15 s", U8(args).c_str()), "still running");
            return -1;
        }
        return static_cast<long>(command.ExitCode().value_or(99));
    };
    long code = run(L"/up");
    Check(code == 1 && !FileExists(ctx.dir + L"\\ombry.cfg"), "/up with no copy running exits 1, writes nothing",
          Fmt("exit %ld, %s", code, SettingsFileText(ctx).c_str()));
    App first;
    HWND h = StartWith(first, ctx, Settings(0, kHotkey));
    if (!h) return;
    PumpFor(500);
    DeleteFileW((ctx.dir + L"\\ombry.cfg").c_str());  // read already: /exit must write it again
    code = run(L"/bogus");
    Check(code == 2, "/bogus exits 2", Fmt("exit %ld", code));
    CheckStoredAt(h, ctx, 0, "after /bogus");
    code = run(L"/DOWN");
    Check(code == 0, "/DOWN exits 0", Fmt("exit %ld", code));
    CheckDown(h, ctx, "/DOWN from a second process");
    code = run(L"/toggle");
    Check(code == 0, "/toggle exits 0", Fmt("exit %ld", code));
    CheckStoredAt(h, ctx, 0, "after /toggle");
    code = run(L"-exit");
    Check(code == 0 && first.WaitExit(5000), "-exit exits 0 and ends the copy that runs", Fmt("exit %ld", code));
    const std::string written = SettingsFileText(ctx);
    Check(written == Settings(0, kHotkey), "the ended copy wrote ombry.cfg", written);
}

OMBRY_SCENARIO(CloseEnds, "close-ends") {
    // Once as a first start (settings dialog open), once with a settings file
    // that keeps the dialog closed.
    struct Case {
        const wchar_t* dir;
        const char* what;
        bool settings;
    };
    for (const Case& c : {Case{L"first-start", "first start", false},
                          Case{L"with-settings", "settings file, no dialog", true}}) {
        Note(c.what);
        const std::wstring dir = SubDir(ctx, c.dir);
        if (c.settings) WriteSettingsFile(dir, SettingsLine(0, 0, 0, "", 0, 0, 0, 0));
        App app;
        auto curtain = StartAndWaitForCurtain(app, ctx, dir);
        if (!curtain) continue;
        Sleep(1000);
        NoteWindows(app.pid);
        PostMessageW(curtain->hwnd, WM_CLOSE, 0, 0);
        const double posted = NowMs();
        const bool ended = app.WaitExit(5000);
        Check(ended, Fmt("%s: WM_CLOSE to the curtain ends the process within 5 s", c.what),
              "still running");
        if (ended)
            Note(Fmt("ended %.0f ms after WM_CLOSE, exit code %lu", NowMs() - posted,
                     static_cast<unsigned long>(app.ExitCode().value_or(0))));
        else
            NoteWindows(app.pid);
    }
}

// A benchmark rather than a test: CreateProcess until the curtain is
// visible, polled every millisecond, OMBRY_E2E_RUNS times (10).
OMBRY_SCENARIO(StartupTime, "startup-time") {
    int runs = 10;
    if (const char* s = std::getenv("OMBRY_E2E_RUNS"); s && std::atoi(s) > 0) runs = std::atoi(s);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        // A fresh folder each time: the first start is what is measured.
        const std::wstring dir = SubDir(ctx, (L"run" + std::to_wstring(i)).c_str());
        const std::wstring exe = CopyExeInto(ctx.exe, dir);
        App app;
        if (!app.Start(exe, dir)) break;
        std::optional<WindowInfo> w;
        while (!(w = WaitForCurtain(app.pid, 0)) && NowMs() - app.startedMs < 10000 && app.Running())
            Sleep(1);
        const double ms = NowMs() - app.startedMs;
        if (!w) {
            Note(Fmt("run %d: no curtain after %.0f ms", i, ms));
            break;
        }
        times.push_back(ms);
        Note(Fmt("startup-ms %.1f", ms));
        app.End();
    }
    if (!Check(static_cast<int>(times.size()) == runs, Fmt("curtain appeared in all %d runs", runs),
               Fmt("%d of %d", static_cast<int>(times.size()), runs)))
        return;
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    Note(Fmt("startup median %.1f ms, min %.1f ms, max %.1f ms over %d runs", median, sorted.front(),
             sorted.back(), static_cast<int>(n)));
}

// A benchmark: what the waiting curtain costs, in processor time over ten
// idle seconds and in memory. Without OMBRY_E2E_IDLE, at the first start
// (the settings dialog open); with OMBRY_E2E_IDLE=stored at its edge, with
// OMBRY_E2E_IDLE=down spread by the hotkey.
OMBRY_SCENARIO(IdleCost, "idle-cost") {
    const char* idle = std::getenv("OMBRY_E2E_IDLE");
    const bool down = idle && std::string(idle) == "down";
    if (idle && !Check(WriteSettingsFile(ctx.dir, Settings(0, kHotkey)), "settings file written")) return;
    App app;
    if (!StartAndWaitForCurtain(app, ctx, ctx.dir)) return;
    PumpFor(1000);
    if (down) {
        KeyPress(kHotkey);
        PumpFor(1000);
    }
    auto cpuMs = [&] {
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(app.process, &created, &exited, &kernel, &user)) return -1.0;
        auto ms = [](FILETIME t) { return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
        return ms(kernel) + ms(user);
    };
    const double before = cpuMs();
    PumpFor(10000);
    const double after = cpuMs();
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    const bool haveMem = K32GetProcessMemoryInfo(app.process, &mem, sizeof mem);
    if (!Check(before >= 0 && after >= 0 && haveMem, "process times and memory read")) return;
    Note(Fmt("idle-cpu-ms %.1f", after - before));
    Note(Fmt("working-set-kb %lu", static_cast<unsigned long>(mem.WorkingSetSize / 1024)));
    Note(Fmt("private-kb %lu", static_cast<unsigned long>(mem.PagefileUsage / 1024)));
}

}  // namespace
}  // namespace e2e
