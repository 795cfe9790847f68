// The file services on a real Windows file system (run under Wine by the
// test command): the settings file is replaced whole or not at all.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Check.h"
#include "win32/Files.h"

namespace {

std::wstring Fresh() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"ombry-files-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    SetCurrentDirectoryW(dir.c_str());
    return dir;
}

int Leftovers() {  // files the writer may have left behind
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(L"omb*.tmp", &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(h, &found));
    FindClose(h);
    return n;
}

}  // namespace

void FileTests() {
    Fresh();
    using win32::ReadWholeFile;
    using win32::ReplaceWholeFile;

    const std::string first("0,0,0,\"F9\",120,1,0,1\r\n", 22);
    const std::string second = std::string("2,0,1,\"\x83\x65\",65,0,1,1\r\n") + std::string(1, '\0') + "tail";

    Check(!ReadWholeFile("ombry.cfg"), "a missing file reads as nothing");
    Check(ReplaceWholeFile("ombry.cfg", first), "a new file is written");
    Check(ReadWholeFile("ombry.cfg") == first, "it reads back byte for byte");
    Check(ReplaceWholeFile("ombry.cfg", second), "an existing file is replaced");
    Check(ReadWholeFile("ombry.cfg") == second, "the new content, with CR LF, bytes above 0x7f and a NUL, reads back");
    Check(ReplaceWholeFile("ombry.cfg", ""), "an empty content is written too");
    Check(ReadWholeFile("ombry.cfg") == std::string(), "and reads back empty");
    Check(ReplaceWholeFile("ombry.cfg", first), "written again");

    // A write that cannot finish leaves the old file as it was.
    CreateDirectoryW(L"taken", nullptr);
    Check(!ReplaceWholeFile("taken", first), "replacing a folder fails");
    Check(GetFileAttributesW(L"taken") & FILE_ATTRIBUTE_DIRECTORY, "and leaves the folder");
    Check(!ReplaceWholeFile("missing\\ombry.cfg", first), "a name in a missing folder fails");
    Check(GetFileAttributesW(L"missing") == INVALID_FILE_ATTRIBUTES, "and creates nothing");
    Check(ReadWholeFile("ombry.cfg") == first, "the settings file keeps its content through the failures");

    // Held open by another program: replaced whole, or not at all.
    HANDLE held = CreateFileW(L"ombry.cfg", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool replaced = ReplaceWholeFile("ombry.cfg", second);
    CloseHandle(held);
    std::printf("# while held open the file was %s\n", replaced ? "replaced" : "not replaced");
    Check(ReadWholeFile("ombry.cfg") == (replaced ? second : first), "a file held open is replaced whole or not at all");
    Check(Leftovers() == 0, "no temporary file is left behind");

    // What the user gave the file stays: hidden stays hidden; read-only is
    // not replaced at all.
    constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
    Check(ReplaceWholeFile("ombry.cfg", first), "written once more");
    SetFileAttributesW(L"ombry.cfg", kHidden);
    if (!(GetFileAttributesW(L"ombry.cfg") & kHidden)) {
        std::printf("# skipped: this file system under Wine keeps no hidden attribute\n");
    } else {
        Check(ReplaceWholeFile("ombry.cfg", second) && ReadWholeFile("ombry.cfg") == second,
              "a hidden file is replaced");
        const DWORD kept = GetFileAttributesW(L"ombry.cfg");
        Check(kept != INVALID_FILE_ATTRIBUTES && (kept & kHidden), "and stays hidden");
    }
    const std::optional<std::string> before = ReadWholeFile("ombry.cfg");
    SetFileAttributesW(L"ombry.cfg", FILE_ATTRIBUTE_READONLY);
    Check(!ReplaceWholeFile("ombry.cfg", "lost"), "a read-only file is not replaced");
    Check(before && ReadWholeFile("ombry.cfg") == before, "and keeps its content");
    SetFileAttributesW(L"ombry.cfg", FILE_ATTRIBUTE_NORMAL);
    Check(Leftovers() == 0, "no temporary file is left behind by either");

    Check(ReplaceWholeFile("ombry.cfg", first) && ReplaceWholeFile("ombry.cfg", second, "ombry.cfg.bak") &&
              ReadWholeFile("ombry.cfg") == second && ReadWholeFile("ombry.cfg.bak") == first,
          "asked to, the old file is kept beside the new one");
    // Held by a writer that lets no one read: there, but not readable now.
    HANDLE writer = CreateFileW(L"ombry.cfg", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Check(!ReadWholeFile("ombry.cfg") && win32::FileIsThere("ombry.cfg") && !win32::FileIsThere("none.cfg"),
          "a file held open reads as nothing, yet is there; a missing one is not");
    CloseHandle(writer);
    // Held for writing by a sync tool that lets others read, write and delete.
    HANDLE sync = CreateFileW(L"ombry.cfg", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Check(ReadWholeFile("ombry.cfg") == second, "a file held for writing, shared, is read");
    CloseHandle(sync);

    // The system matches "*.bmp" against short 8.3 names too (X~1.BMP).
    for (const wchar_t* name : {L"x.bmpx", L"a.bmp~", L"B.BMP", L"c.bmp"})
        CloseHandle(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<std::string> listed = win32::ListMatchingFiles("*.bmp");
    std::sort(listed.begin(), listed.end());
    Check(listed == std::vector<std::string>{"B.BMP", "c.bmp"}, "\"*.bmp\" lists only names ending in .bmp");
}
