#include "tray/cTrayIcon.h"

#include <cmath>

#include "api/Api.h"
#include "forms/Failure.h"
#include "forms/Services.h"

namespace tray {

namespace {

constexpr std::uint32_t kFlagsShown = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP

// A picture box handed to the class works in pixels, without border and
// out of sight: the shell's callback arrives as a mouse move whose X is the
// mouse message number.
void PrepareBox(forms::PictureBox& box) {
    box.SetScaleMode(forms::ScaleMode::Pixels);
    box.SetBorderStyle(forms::BorderStyle::None);
    box.SetVisible(false);
}

}  // namespace

cTrayIcon::cTrayIcon(api::Api& api, forms::Services& services) : api_(api), services_(services) {}

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
        api_.Shell_NotifyIconA(api::NIM_DELETE, nid);
        slot.added = false;
        return;
    }
    if (!slot.picture) throw forms::Failure("icon has no picture");
    nid.uFlags = kFlagsShown;
    nid.uCallbackMessage = api::WM_MOUSEMOVE;
    nid.hIcon = slot.picture->Picture().GetHandle();
    // The tip and its ending zero byte must fit the record; a longer tip
    // fails before the shell hears of it.
    const std::string ansi = services_.ToAnsi(slot.tip);
    if (ansi.size() + 1 > nid.szTip.size()) throw forms::Failure("subscript out of range: tip too long");
    std::copy(ansi.begin(), ansi.end(), nid.szTip.begin());
    if (!slot.added) {
        slot.added = true;
        api_.Shell_NotifyIconA(api::NIM_ADD, nid);
    } else {
        api_.Shell_NotifyIconA(api::NIM_MODIFY, nid);
    }
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
