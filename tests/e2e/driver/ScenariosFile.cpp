// What the .exe file carries (version info, icon, manifest, imports), and a
// check of the test environment itself.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "Driver.h"
#include "resources/Version.h"

namespace e2e {
namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The version in the shapes the exe has always shown it (4.0.0.0, "4.00",
// "Version 4.0.0"), made here from the project's numbers.
const std::string kFixed = Fmt("%d.%d.%d.0", OMBRY_VERSION_MAJOR, OMBRY_VERSION_MINOR, OMBRY_VERSION_PATCH);
const std::string kShort = Fmt("%d.%02d", OMBRY_VERSION_MAJOR, OMBRY_VERSION_MINOR);
const std::string kDescription =
    Fmt("Version %d.%d.%d", OMBRY_VERSION_MAJOR, OMBRY_VERSION_MINOR, OMBRY_VERSION_PATCH);

void CheckVersionInfo(const Context& ctx) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ctx.exe.c_str(), &ignored);
    if (!Check(size > 0, "the exe has version info", Fmt("error %lu", GetLastError()))) return;
    std::vector<std::uint8_t> block(size);
    if (!Check(GetFileVersionInfoW(ctx.exe.c_str(), 0, size, block.data()) != FALSE,
               "GetFileVersionInfoW reads it"))
        return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (Check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed &&
                  len >= sizeof *fixed && fixed->dwSignature == 0xFEEF04BD,
              "fixed version info present")) {
        auto v = [](DWORD ms, DWORD ls) {
            return Fmt("%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(ms)),
                       static_cast<unsigned long>(LOWORD(ms)), static_cast<unsigned long>(HIWORD(ls)),
                       static_cast<unsigned long>(LOWORD(ls)));
        };
        const std::string file = v(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        const std::string product = v(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        Check(file == kFixed, "file version " + kFixed, file);
        Check(product == kFixed, "product version " + kFixed, product);
    }

    const std::pair<const wchar_t*, const char*> strings[] = {
        {L"FileVersion", kShort.c_str()},
        {L"ProductVersion", kShort.c_str()},
        {L"FileDescription", kDescription.c_str()},
        {L"Comments", "デスクトップを隠す"},
        {L"InternalName", "ombry"},
        {L"OriginalFilename", "ombry.exe"},
        {L"ProductName", "Ombry"},
    };
    for (auto& [key, want] : strings) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + key;
        wchar_t* value = nullptr;
        UINT chars = 0;
        std::string got = "(missing)";
        if (VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) && value)
            got = U8(value);
        Check(got == want, Fmt("%s is \"%s\"", U8(key).c_str(), want), Fmt("\"%s\"", got.c_str()));
    }

    WORD* translation = nullptr;
    if (Check(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &len) &&
                  translation && len >= 4,
              "translation table present")) {
        Check(translation[0] == 0x0411 && translation[1] == 1200, "translation is 0x0411 / 1200",
              Fmt("%04x / %u", translation[0], translation[1]));
    }
}

struct GroupEntry {
    int width, height, bitCount, colours;
    unsigned bytes, id;
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) noexcept {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
    try {
        names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                              : std::wstring(name));
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

const void* Resource(HMODULE m, LPCWSTR type, LPCWSTR name, DWORD& size) {
    HRSRC r = FindResourceW(m, name, type);
    if (!r) return nullptr;
    size = SizeofResource(m, r);
    HGLOBAL g = LoadResource(m, r);
    return g ? LockResource(g) : nullptr;
}

void CheckResources(const Context& ctx) {
    HMODULE m = LoadLibraryExW(ctx.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!Check(m != nullptr, "the exe loads as a data file", Fmt("error %lu", GetLastError()))) return;

    std::vector<std::wstring> groups;
    EnumResourceNamesW(m, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
    std::string names;
    for (auto& g : groups) names += " " + U8(g);
    Check(groups.size() == 1 && groups[0] == L"#1", "one icon group, id 1", names);

    DWORD size = 0;
    auto* group = static_cast<const std::uint8_t*>(Resource(m, RT_GROUP_ICON, MAKEINTRESOURCEW(1), size));
    if (Check(group && size >= 6, "icon group 1 readable")) {
        auto u16 = [&](size_t at) { return static_cast<unsigned>(group[at] | group[at + 1] << 8); };
        auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
        const unsigned count = u16(4);
        std::vector<GroupEntry> entries;
        for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= size; ++i) {
            const size_t e = 6 + 14 * i;
            entries.push_back({group[e] ? group[e] : 256, group[e + 1] ? group[e + 1] : 256,
                               static_cast<int>(u16(e + 6)), group[e + 2], u32(e + 8), u16(e + 12)});
        }
        std::string seen;
        for (auto& e : entries)
            seen += Fmt(" %dx%d %dbpp (%d colours, %u bytes, id %u)", e.width, e.height, e.bitCount,
                        e.colours, e.bytes, e.id);
        Check(entries.size() == 2 && entries[0].width == 32 && entries[0].height == 32 &&
                  entries[0].bitCount == 4 && entries[1].width == 64 && entries[1].height == 64 &&
                  entries[1].bitCount == 1,
              "icon group holds 32x32 4bpp and 64x64 1bpp", seen);
        for (auto& e : entries) {
            DWORD iconSize = 0;
            const void* icon = Resource(m, RT_ICON, MAKEINTRESOURCEW(e.id), iconSize);
            Check(icon && iconSize == e.bytes, Fmt("icon image %u is there with its %u bytes", e.id, e.bytes),
                  Fmt("%lu bytes", static_cast<unsigned long>(iconSize)));
        }
    }

    DWORD manifestSize = 0;
    auto* manifest = static_cast<const char*>(
        Resource(m, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1), manifestSize));  // RT_MANIFEST
    if (Check(manifest && manifestSize > 0, "manifest resource 1 present")) {
        const std::string text(manifest, manifestSize);
        Check(text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                  text.find("6.0.0.0") != std::string::npos,
              "manifest asks for common controls 6");
        Check(text.find("name=\"Ombry\" version=\"" + kFixed + "\"") != std::string::npos,
              "manifest names Ombry " + kFixed);
        Check(text.find("asInvoker") != std::string::npos, "manifest runs as invoker");
        Check(text.find("<dpiAware") != std::string::npos, "manifest declares DPI awareness");
        Check(text.find("activeCodePage") == std::string::npos,
              "manifest leaves the ANSI code page to the system");
    }
    FreeLibrary(m);
}

void CheckImports(const Context& ctx) {
    auto file = ReadWholeFile(ctx.exe);
    if (!Check(file.has_value(), "the exe can be read")) return;
    std::string why;
    auto pe = ReadPe(*file, why);
    if (!Check(pe.has_value(), "the exe's PE headers parse", why)) return;
    Note(Fmt("machine %04x (%s), %s", pe->machine,
             pe->machine == 0x14C ? "i386" : pe->machine == 0x8664 ? "x86-64" : "other",
             pe->pe32plus ? "PE32+" : "PE32"));
    Check(pe->subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "the exe is a GUI program (no console)",
          Fmt("subsystem %u", pe->subsystem));

    // Windows' KnownDLLs, which never come from the exe's own folder, and
    // comctl32, which the manifest binds to the system's side-by-side copy.
    // Any other library (winmm) is loaded from the system folder at run time.
    static const char* const allowed[] = {"kernel32.dll", "user32.dll", "gdi32.dll",    "shell32.dll",
                                          "advapi32.dll", "msvcrt.dll", "ole32.dll",    "oleaut32.dll",
                                          "imm32.dll",    "shlwapi.dll", "comctl32.dll"};
    std::string all, bad;
    auto judge = [&](const std::vector<std::string>& dlls, const char* kind) {
        for (const auto& d : dlls) {
            all += " " + d + kind;
            const std::string l = Lower(d);
            if (std::none_of(std::begin(allowed), std::end(allowed),
                             [&](const char* a) { return l == a; }))
                bad += " " + d + kind;
        }
    };
    judge(pe->imports, "");
    judge(pe->delayImports, " (delay)");
    Note("imports:" + all);
    Check(!pe->imports.empty(), "the exe has an import table");
    Check(bad.empty(), "the exe imports only KnownDLLs and comctl32: nothing comes from its folder", "also" + bad);
}

OMBRY_SCENARIO(VersionInfo, "version-info") {
    Note("file " + U8(ctx.exe));
    if (!Check(FileExists(ctx.exe), "ombry.exe exists")) return;
    CheckVersionInfo(ctx);
    CheckResources(ctx);
    CheckImports(ctx);
}

// The harness's own ground: screen size, DPI, desktop and taskbar. A failure
// here means the prefix or Xvfb set-up is wrong, not the program.
OMBRY_SCENARIO(Environment, "environment") {
    Check(ctx.screenW == 1024 && ctx.screenH == 768, "the screen is 1024x768",
          Fmt("%dx%d", ctx.screenW, ctx.screenH));
    int want = 96;
    if (const char* s = std::getenv("OMBRY_E2E_DPI"); s && std::atoi(s) > 0) want = std::atoi(s);
    Check(ctx.dpi == want, Fmt("GetDeviceCaps(LOGPIXELSY) is %d", want), Fmt("%d", ctx.dpi));
    Check(FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr, "there is a taskbar");
    // A white root: nothing on the empty desktop reads black by accident.
    Samples s = SampleBlack(RECT{0, 0, ctx.screenW, 40});
    Check(s.total > 0 && s.black == 0, "the empty desktop's top edge is not black",
          Fmt("%d of %d black", s.black, s.total));
    const DWORD attrs = GetFileAttributesW(ctx.dir.c_str());
    Check(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY), "the working directory exists",
          U8(ctx.dir));
}

}  // namespace
}  // namespace e2e
