#include "win32/FormSite.h"

#include <algorithm>

#include "win32/Text.h"

namespace win32 {

namespace {
constexpr std::uint32_t kSystemColour = 0x80000000u;
constexpr int kDeepestNesting = 16;  // a container naming itself must not hang us
}  // namespace

COLORREF Colour(std::uint32_t value) {
    return value & kSystemColour ? GetSysColor(static_cast<int>(value & 0xFF)) : value & 0xFFFFFF;
}

FormSite::FormSite(forms::Form& f, Backend& b) : form(f), backend(b) {
    const std::uint32_t back = form.Traits().backColor;
    if (back & kSystemColour) {
        background = GetSysColorBrush(static_cast<int>(back & 0xFF));
    } else {
        ownBrush.reset(CreateSolidBrush(back & 0xFFFFFF));
        background = ownBrush.get();
    }
}

COLORREF FormSite::BackColor() const { return Colour(form.Traits().backColor); }

namespace {
bool HasTip(const forms::Control& c) { return c.ToolTip() && *c.ToolTip(); }
}  // namespace

// An image's area is told apart from the windows' tools by its id.
void FormSite::AddTip(const forms::Control& c, HWND tool) {
    if (HasTip(c))
        tips.Add(hwnd, backend.instance, backend.dpi.PxX(6000), Widen(c.ToolTip()), tool, 0x1000 + IndexOf(c));
}

void FormSite::MoveTip(const forms::Control& image, const RECT& area) {
    if (HasTip(image)) tips.MoveArea(hwnd, 0x1000 + IndexOf(image), area);
}

std::size_t FormSite::IndexOf(const forms::Control& c) const {
    const auto& all = form.Controls();
    return static_cast<std::size_t>(std::find(all.begin(), all.end(), &c) - all.begin());
}

const forms::Control* FormSite::ContainerOf(const forms::Control& c) const {
    if (!c.Container()) return nullptr;
    for (const forms::Control* other : form.Controls())
        if (other->GetKind() == forms::Kind::Frame && other->FullName() == c.Container()) return other;
    return nullptr;
}

int FormSite::Depth(const forms::Control& c) const {
    int depth = 0;
    for (const forms::Control* f = ContainerOf(c); f && depth < kDeepestNesting; f = ContainerOf(*f)) ++depth;
    return depth;
}

RECT FormSite::PlaceOf(const forms::Control& c) const {
    const Dpi& dpi = backend.dpi;
    int x = dpi.PxX(c.Left());
    int y = dpi.PxY(c.Top());
    const forms::Control* frame = ContainerOf(c);
    for (int depth = 0; frame && depth < kDeepestNesting; ++depth, frame = ContainerOf(*frame)) {
        x += dpi.PxX(frame->Left());
        y += dpi.PxY(frame->Top());
    }
    return RECT{x, y, x + dpi.PxX(c.Width()), y + dpi.PxY(c.Height())};
}

bool FormSite::ShownInContainer(const forms::Control& c) const {
    const forms::Control* at = &c;
    for (int depth = 0; at && depth <= kDeepestNesting; ++depth, at = ContainerOf(*at))
        if (!at->Visible()) return false;
    return true;
}

bool FormSite::EnabledInContainer(const forms::Control& c) const {
    const forms::Control* at = &c;
    for (int depth = 0; at && depth <= kDeepestNesting; ++depth, at = ContainerOf(*at))
        if (!at->Enabled()) return false;
    return true;
}

}  // namespace win32
