// win32_tests.exe: the Win32 services on a real Windows file system and
// GDI, under Wine. The malformed pictures come from make_bad_bitmaps.py,
// in the folder "corpus" of the working directory.
#include <windows.h>

#include "Check.h"

int wmain() {
    wchar_t start[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, start);
    FileTests();
    SetCurrentDirectoryW(start);
    PictureTests();
    std::printf("win32 services: %d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
