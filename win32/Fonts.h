#pragma once
// One GDI font per distinct face, size, weight and character set, for the
// life of the process: windows of every form share them.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "forms/Control.h"
#include "win32/Handles.h"

namespace win32 {

class FontCache {
public:
    explicit FontCache(int dpiY) : dpiY_(dpiY) {}
    // An empty face means the system's own dialog font, which is not ours to free.
    HFONT Get(const forms::Font& font);

private:
    int dpiY_;
    std::map<std::tuple<std::string, int, bool, int>, UniqueFont> fonts_;
};

}  // namespace win32
