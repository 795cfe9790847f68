#pragma once
// The notification-area icon: shows the program's icon through the shell
// and turns the shell's mouse notifications into mouse messages on a
// picture box of the application's choosing.
#include <cstdint>
#include <string>

#include "forms/Control.h"

namespace api {
class Api;
}

namespace tray {

class cTrayIcon {
public:
    explicit cTrayIcon(api::Api& api);

    std::int32_t Index() const { return index_; }
    void SetIndex(std::int32_t index);
    void SetEventPicture(forms::PictureBox& box);
    void SetDummyPicture(forms::PictureBox& box);
    void SetPicture(forms::Image& image);
    void SetTip(std::string utf8);
    void SetVisible(bool visible);
    std::int32_t EventIndex() const { return eventIndex_; }
    void AllHide();
    void MouseMove(std::intptr_t hwnd, float x, float y);

private:
    api::Api& api_;
    std::int32_t index_ = 0;
    std::int32_t eventIndex_ = 0;
    forms::PictureBox* eventPicture_ = nullptr;
    forms::PictureBox* dummyPicture_ = nullptr;
    forms::Image* picture_ = nullptr;
    std::string tip_;
    bool visible_ = false;
};

}  // namespace tray
