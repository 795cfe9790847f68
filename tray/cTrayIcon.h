#pragma once
// The notification-area icon: shows icons through the shell and turns the
// shell's mouse notifications into mouse messages on a picture box of the
// application's choosing. Several icons, told apart by Index; every per-icon
// property acts on the slot of the current Index.
#include <cstdint>
#include <string>
#include <vector>

#include "forms/Control.h"

namespace api {
class Api;
struct NotifyIconData;
}  // namespace api

namespace tray {

class cTrayIcon {
public:
    explicit cTrayIcon(api::Api& api);

    std::int32_t Index() const { return index_; }
    void SetIndex(std::int32_t index);  // grows the slots to reach it

    forms::PictureBox* DummyPicture() const { return slots_[index_].dummy; }
    void SetDummyPicture(forms::PictureBox& box);
    forms::PictureBox* EventPicture() const { return eventPicture_; }
    void SetEventPicture(forms::PictureBox& box);
    std::int32_t EventIndex() const { return eventIndex_; }

    forms::Image* Picture() const { return slots_[index_].picture; }
    void SetPicture(forms::Image& image);  // shows the new icon at once when added
    const std::string& Tip() const { return slots_[index_].tip; }
    void SetTip(std::string utf8);         // reaches the shell at the next update
    // Shown: added to the shell, or changed there once added. An add the
    // shell refuses (at logon it may not be ready yet) leaves the icon not
    // added, and RetryAdd tries it again.
    void SetVisible(bool visible);

    void AllHide();
    // The shell's callback arrived at the picture box whose window is hwnd;
    // x is the number of the mouse message that happened over the icon.
    void MouseMove(std::intptr_t hwnd, float x, float y);
    // The shell restarted and forgot every icon: add the shown ones again.
    void ShellRestarted();
    // Called on every tick of a 100 ms timer: adds again the shown icons
    // whose add the shell refused, after 1 s, then 2, 4, 8 and every 16 s,
    // so a shell that does not answer is not asked ten times a second.
    // A record that cannot be made stops the retries of its icon.
    void RetryAdd() noexcept;

    // The upper bound of the per-icon slots.
    std::int32_t UpperBound() const { return static_cast<std::int32_t>(slots_.size()) - 1; }

private:
    struct Slot {
        forms::PictureBox* dummy = nullptr;
        forms::Image* picture = nullptr;
        std::string tip;
        bool visible = false;
        bool added = false;
        int retryIn = 0;     // timer ticks until the next add; 0: none due
        int retryEvery = 0;  // the ticks between the last two tries
    };
    void UpdateIcon();
    void AddIcon(Slot& slot, const api::NotifyIconData& nid);
    void GrowArrays();

    api::Api& api_;
    std::int32_t index_ = 0;
    std::int32_t eventIndex_ = 0;
    forms::PictureBox* eventPicture_ = nullptr;
    std::vector<Slot> slots_ = std::vector<Slot>(1);  // the five per-icon arrays, side by side
};

}  // namespace tray
