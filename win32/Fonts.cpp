#include "win32/Fonts.h"

#include <algorithm>

#include "win32/Text.h"

namespace win32 {

HFONT FontCache::Get(const forms::Font& font) {
    const std::string face = font.face ? font.face : "";
    if (face.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto key = std::make_tuple(face, font.points, font.bold, font.charset);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();

    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(font.points, dpiY_, 72);  // points at the screen's DPI
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = static_cast<BYTE>(font.charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wstring wide = Widen(face);
    std::copy_n(wide.begin(), std::min<std::size_t>(wide.size(), LF_FACESIZE - 1), lf.lfFaceName);

    HFONT created = CreateFontIndirectW(&lf);
    if (!created) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return fonts_.emplace(key, UniqueFont(created)).first->second.get();
}

}  // namespace win32
