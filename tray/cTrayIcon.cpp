#include "tray/cTrayIcon.h"

#include "api/Api.h"

namespace tray {

namespace {
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

void cTrayIcon::SetIndex(std::int32_t index) { index_ = index; }

void cTrayIcon::SetEventPicture(forms::PictureBox& box) {
    eventPicture_ = &box;
    PrepareBox(box);
}

void cTrayIcon::SetDummyPicture(forms::PictureBox& box) {
    dummyPicture_ = &box;
    PrepareBox(box);
}

void cTrayIcon::SetPicture(forms::Image& image) { picture_ = &image; }

void cTrayIcon::SetTip(std::string utf8) { tip_ = std::move(utf8); }

// Not yet handed to the shell: the icon itself is not shown so far.
void cTrayIcon::SetVisible(bool visible) { visible_ = visible; }

void cTrayIcon::AllHide() { visible_ = false; }

void cTrayIcon::MouseMove(std::intptr_t /*hwnd*/, float /*x*/, float /*y*/) {}

}  // namespace tray
