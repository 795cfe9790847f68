#pragma once
// One GDI font per distinct face, size, weight and character set, for the
// life of the process: windows of every form share them.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "forms/Control.h"
#include "win32/Handles.h"

namespace win32 {

class FontCache {
public:
    explicit FontCache(int dpiY) : dpiY_(dpiY) {}
    // The font a text of the table's font shows in. An empty face means the
    // system's own dialog font, which is not ours to free. In English every
    // text takes the system's message font instead, with its own character
    // set: the table's faces are Japanese ones, whose Latin letters are
    // not what an English Windows shows.
    HFONT Get(const forms::Font& font, forms::Language language = forms::Language::Japanese);

private:
    HFONT MessageFont(const forms::Font& font);

    int dpiY_;
    std::map<std::tuple<std::string, int, bool, int>, UniqueFont> fonts_;
    std::map<std::pair<int, bool>, UniqueFont> messageFonts_;
};

// The message font as the system has it (SPI_GETNONCLIENTMETRICS), at the
// system's DPI; the dialog font where the system will not say.
LOGFONTW SystemMessageFont();

}  // namespace win32
