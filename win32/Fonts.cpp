#include "win32/Fonts.h"

#include <algorithm>
#include <cstddef>

#include "win32/Dpi.h"
#include "win32/Text.h"

namespace win32 {

namespace {
// The size the tables give their usual texts, which the message font is
// sized for: a 12-point row gets the message font a third larger.
constexpr int kTablePoints = 9;
}  // namespace

LOGFONTW SystemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return metrics.lfMessageFont;
    // Before Vista the structure ends before iPaddedBorderWidth, and the full size is refused.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW dialog{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof dialog, &dialog);
    return dialog;
}

HFONT FontCache::Get(const forms::Font& font, forms::Language language) {
    if (language == forms::Language::English) return MessageFont(font);
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

// The message font's face, character set and size (scaled from the system's
// DPI to ours, and by the row's size against the usual one); the row's weight.
HFONT FontCache::MessageFont(const forms::Font& font) {
    const auto key = std::make_pair(font.points, font.bold);
    auto found = messageFonts_.find(key);
    if (found != messageFonts_.end()) return found->second.get();

    LOGFONTW lf = SystemMessageFont();
    lf.lfHeight = MulDiv(lf.lfHeight, dpiY_ * font.points, Dpi::OfScreen().y * kTablePoints);
    lf.lfWidth = 0;
    if (font.bold) lf.lfWeight = FW_BOLD;
    HFONT created = CreateFontIndirectW(&lf);
    if (!created) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return messageFonts_.emplace(key, UniqueFont(created)).first->second.get();
}

}  // namespace win32
