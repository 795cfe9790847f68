#pragma once
// The Win32 service tests' one reporting line per check, as the e2e runner reads it.
#include <cstdio>

inline int g_failed = 0;
inline int g_passed = 0;

inline bool Check(bool ok, const char* what) {
    std::printf("%s - %s\n", ok ? "ok" : "not ok", what);
    ok ? ++g_passed : ++g_failed;
    return ok;
}

void FileTests();
void PictureTests();
void EnglishTextsFit();
