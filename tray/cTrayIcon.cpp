#include "tray/cTrayIcon.h"

#include <algorithm>
#include <cmath>

#include "api/Api.h"
#include "forms/Contain.h"
#include "forms/Failure.h"
#include "forms/Form.h"

namespace tray {

namespace {

constexpr std::uint32_t kFlagsShown = api::NIF_MESSAGE | api::NIF_ICON | api::NIF_TIP;
// RetryAdd's back-off, in ticks of the 100 ms timer: 1 s, doubling up to 16 s.
constexpr int kRetryFirst = 10;
constexpr int kRetryMost = 160;

// The UTF-16 units of a UTF-8 text: one for each character, two for one
// beyond U+FFFF (a lead byte of four).
std::size_t Utf16Units(const std::string& utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++units;
        if (c >= 0xF0) ++units;
    }
    return units;
}

// A picture box handed to the class works in pixels, without border and
// out of sight: the shell's callback arrives as a mouse move whose X is the
// mouse message number.
void PrepareBox(forms::PictureBox& box) {
    box.SetScaleMode(forms::ScaleMode::Pixels);
    box.SetBorderStyle(forms::BorderStyle::None);
    box.SetVisible(false);
}

}  // namespace

cTrayIcon::cTrayIcon(api::Api& api) : api_(api) {}

void cTrayIcon::SetIndex(std::int32_t index) {
    if (index < 0) throw forms::Failure("icon index out of range");
    index_ = index;
    GrowArrays();
}

void cTrayIcon::GrowArrays() {
    if (UpperBound() >= index_) return;
    slots_.resize(static_cast<std::size_t>(index_) + 1);
}

void cTrayIcon::SetDummyPicture(forms::PictureBox& box) {
    slots_[index_].dummy = &box;
    PrepareBox(box);
}

void cTrayIcon::SetEventPicture(forms::PictureBox& box) {
    eventPicture_ = &box;
    PrepareBox(box);
}

void cTrayIcon::SetPicture(forms::Image& image) {
    slots_[index_].picture = &image;
    if (slots_[index_].added) UpdateIcon();
}

void cTrayIcon::SetTip(std::string utf8) { slots_[index_].tip = std::move(utf8); }

void cTrayIcon::SetVisible(bool visible) {
    slots_[index_].visible = visible;
    UpdateIcon();
}

void cTrayIcon::UpdateIcon() {
    Slot& slot = slots_[index_];
    // The owner window identifies the icon to the shell, also when deleting.
    if (!slot.dummy) throw forms::Failure("icon has no callback window");
    api::NotifyIconData nid{};  // zero-filled for every request
    nid.hWnd = slot.dummy->hWnd();
    nid.uID = static_cast<std::uint32_t>(index_);
    if (!slot.visible) {
        api_.Shell_NotifyIconW(api::NIM_DELETE, nid);
        slot.added = false;
        slot.retryIn = slot.retryEvery = 0;
        return;
    }
    if (!slot.picture) throw forms::Failure("icon has no picture");
    nid.uFlags = kFlagsShown;
    nid.uCallbackMessage = api::WM_MOUSEMOVE;
    nid.hIcon = slot.picture->Picture().GetHandle();
    // The tip goes to the shell in UTF-16, whatever the code page: it and
    // its ending zero must fit the record's field. A longer tip fails
    // before the shell hears of it.
    if (Utf16Units(slot.tip) + 1 > api::kNotifyTipUnits) throw forms::Failure("subscript out of range: tip too long");
    nid.szTip = slot.tip;
    if (slot.added)
        api_.Shell_NotifyIconW(api::NIM_MODIFY, nid);
    else
        AddIcon(slot, nid);
}

void cTrayIcon::AddIcon(Slot& slot, const api::NotifyIconData& nid) {
    // An add that timed out may have reached the shell all the same; it then
    // refuses the same icon again but takes a change to it.
    const bool retry = slot.retryEvery != 0;
    slot.added = api_.Shell_NotifyIconW(api::NIM_ADD, nid) != 0 ||
                 (retry && api_.Shell_NotifyIconW(api::NIM_MODIFY, nid) != 0);
    if (slot.added)
        slot.retryEvery = 0;
    else
        slot.retryEvery = retry ? std::min(slot.retryEvery * 2, kRetryMost) : kRetryFirst;
    slot.retryIn = slot.retryEvery;
}

void cTrayIcon::RetryAdd() noexcept {
    const std::int32_t current = index_;
    for (std::int32_t i = 0; i <= UpperBound(); ++i) {
        Slot& slot = slots_[i];
        if (!slot.visible || slot.added || slot.retryIn == 0 || --slot.retryIn > 0) continue;
        index_ = i;
        if (!forms::Contain([this] { UpdateIcon(); }))
            slot.retryIn = slot.retryEvery = 0;  // the next SetVisible tries again
    }
    index_ = current;
}

void cTrayIcon::AllHide() {
    for (std::int32_t i = 0; i <= UpperBound(); ++i) {
        index_ = i;
        if (slots_[i].visible) {
            slots_[i].visible = false;
            UpdateIcon();
        }
    }
}

void cTrayIcon::ShellRestarted() {
    const std::int32_t current = index_;
    for (std::int32_t i = 0; i <= UpperBound(); ++i) {
        if (!slots_[i].visible) continue;
        index_ = i;
        slots_[i].added = false;
        slots_[i].retryEvery = 0;  // a new shell: the back-off starts again
        try {
            UpdateIcon();
        } catch (...) {
            index_ = current;  // the caller's slot stays selected
            throw;
        }
    }
    index_ = current;
}

void cTrayIcon::MouseMove(std::intptr_t hwnd, float x, float /*y*/) {
    eventIndex_ = -1;
    for (std::int32_t i = 0; i <= UpperBound(); ++i) {
        if (slots_[i].dummy && slots_[i].dummy->hWnd() == hwnd) {
            eventIndex_ = i;
            break;
        }
    }
    if (!eventPicture_) throw forms::Failure("no event picture box");
    const auto message = static_cast<std::int32_t>(std::lround(x));
    // Only what brings a window of ours forward takes the foreground: the
    // menu, and the double-click. A hover or a single click taking it would
    // move the user's keyboard focus, and close the shell's overflow panel
    // before a double-click there could complete.
    if (message == static_cast<std::int32_t>(api::WM_RBUTTONUP) ||
        message == static_cast<std::int32_t>(api::WM_LBUTTONDBLCLK))
        api_.SetForegroundWindow(eventPicture_->Parent().hWnd());
    api_.SendMessageA(eventPicture_->hWnd(), static_cast<unsigned>(message), 0, 0);
}

}  // namespace tray
