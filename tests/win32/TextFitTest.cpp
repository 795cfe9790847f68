// Every English text, in the font the Win32 layer gives it (the system's
// message font), fits the control that shows it at 96 and at 144 dpi,
// measured by GDI on the real font: a text made longer, or a control left
// too small for it, shows here before a user sees it cut off.
// The portable headers come before <windows.h>.
#include "forms/Text.h"
#include "forms/Twips.h"
#include "resources/Form2Layout.h"
#include "resources/Form4Layout.h"
#include "resources/Form5Layout.h"
#include "resources/Texts.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <span>
#include <string>
#include <vector>

#include "Check.h"
#include "win32/Fonts.h"
#include "win32/Text.h"

namespace {

using forms::Kind;
using forms::Language;
namespace texts = resources::texts;

// What a control keeps for itself beside its text, in pixels at 96 dpi: a
// check box's or an option button's box and the gap after it, a push
// button's edge and focus frame at each side and its edge above and
// below, a frame's caption indent at each side.
constexpr int kBoxAndGap = 18;
constexpr int kButtonSide = 4;
constexpr int kButtonBorder = 2;
constexpr int kFrameIndent = 8;

// One English text, the control it shows in, and that control's font.
struct Shown {
    const char* form;
    const forms::ControlTraits* row;
    const forms::Font* font;
    std::string text;
};

// The tables' captions, and what the settings dialog writes into its two
// labels, with key names as long as usual ones.
std::vector<Shown> EnglishTexts() {
    namespace f2 = resources::form2;
    std::vector<Shown> out;
    const auto captions = [&out](const forms::FormTraits& form, std::span<const forms::ControlTraits* const> rows) {
        for (const forms::ControlTraits* r : rows)
            if (*r->caption.en && r->kind != Kind::TextBox && r->kind != Kind::Image)
                out.push_back({form.name, r, r->font ? r->font : &form.font, r->caption.en});
    };
    captions(f2::kForm, f2::kRows);
    captions(resources::form4::kForm, resources::form4::kRows);
    captions(resources::form5::kForm, resources::form5::kRows);
    const std::string key = forms::Fill(texts::kKeyFrame.en, "Ctrl+Alt+B");
    for (const char* label3 : {texts::kAskForKey.en, texts::kKeySet.en, texts::kNoKeySet.en, texts::kKeyTaken.en})
        out.push_back({"Form2", &f2::kLabel3, f2::kLabel3.font, label3});
    for (const std::string& label1 : {key, forms::Fill(texts::kKeyFrame.en, "BackSpace"),
                                      forms::Fill(texts::kInForce.en, key), std::string(texts::kNoneInForce.en)})
        out.push_back({"Form2", &f2::kLabel1, f2::kLabel1.font, label1});
    out.push_back({"Form5", &resources::form5::kLabel3, &resources::form5::kForm.font, texts::kStartupDisabled.en});
    return out;
}

// The room a text needs in this font: wrapped within `width` or on one
// line. Lines count 4/3 of the font's em at least, as Segoe UI's do: the
// message font of Windows since Vista is taller than most faces of its size.
SIZE Need(HDC dc, HFONT font, const std::wstring& text, int width, bool wraps) {
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT need{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    const long em = tm.tmHeight - tm.tmInternalLeading;
    const long lines = tm.tmHeight > 0 ? (need.bottom + tm.tmHeight - 1) / tm.tmHeight : 1;
    return {need.right, lines * std::max<long>(tm.tmHeight, (em * 4 + 2) / 3)};
}

// Why the text does not fit its control at this dpi; empty when it does.
// Measured in the font the program gives it, and in Tahoma of the same
// size and weight: the message font of Wine here may be a Japanese face
// whose Latin letters are narrower than those of a Latin one.
std::string Misfit(const Shown& s, int dpi, win32::FontCache& fonts, HDC dc) {
    const forms::Place place = s.row->PlaceIn(Language::English);
    const auto at = [dpi](int px96) { return MulDiv(px96, dpi, 96); };
    int width = forms::TwipsToPixels(place.width, dpi), height = forms::TwipsToPixels(place.height, dpi);
    bool wraps = false;  // a label and a push button break their text into lines; the rest show one
    switch (s.row->kind) {
        case Kind::CheckBox: case Kind::OptionButton: width -= at(kBoxAndGap); break;
        case Kind::CommandButton: width -= 2 * at(kButtonSide); height -= 2 * at(kButtonBorder); wraps = true; break;
        case Kind::Frame: width -= 2 * at(kFrameIndent); height = INT_MAX; break;  // the caption lies on the border
        default: wraps = true; break;
    }
    const HFONT shown = fonts.Get(*s.font, Language::English);
    LOGFONTW latin{};
    GetObjectW(shown, sizeof latin, &latin);
    wcscpy(latin.lfFaceName, L"Tahoma");
    latin.lfCharSet = DEFAULT_CHARSET;
    const win32::UniqueFont standIn(CreateFontIndirectW(&latin));
    const std::wstring text = win32::Widen(s.text);
    SIZE need = Need(dc, shown, text, width, wraps);
    if (standIn) {
        const SIZE other = Need(dc, standIn.get(), text, width, wraps);
        need = {std::max(need.cx, other.cx), std::max(need.cy, other.cy)};
    }
    if (need.cx <= width && need.cy <= height) return {};
    char why[256];
    std::snprintf(why, sizeof why, "%s.%s%s at %d dpi: \"%s\" needs %ld x %ld px, has %d x %d", s.form,
                  s.row->name, s.row->index < 0 ? "" : ("(" + std::to_string(s.row->index) + ")").c_str(), dpi,
                  s.text.c_str(), need.cx, need.cy, width, height);
    return why;
}

}  // namespace

void EnglishTextsFit() {
    const LOGFONTW message = win32::SystemMessageFont();
    std::printf("# the message font: %s, %ld px high at the system's dpi\n",
                win32::Narrow(message.lfFaceName).c_str(), message.lfHeight);
    HDC dc = GetDC(nullptr);
    std::vector<std::string> misfits;
    const std::vector<Shown> shown = EnglishTexts();
    for (int dpi : {96, 144}) {
        win32::FontCache fonts(dpi);
        for (const Shown& s : shown)
            if (std::string why = Misfit(s, dpi, fonts, dc); !why.empty()) misfits.push_back(why);
    }
    ReleaseDC(nullptr, dc);
    for (const std::string& why : misfits) std::printf("# %s\n", why.c_str());
    char what[128];
    std::snprintf(what, sizeof what, "each of the %zu English texts fits its control in the message font at 96 and 144 dpi",
                  shown.size());
    Check(misfits.empty(), what);
}
