#pragma once
// The curtain window: the program's main window, which is itself the
// curtain. Stored as a thin strip along one screen edge, or spread over the
// whole screen showing the pattern picture in Image1.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "curtain/Covers.h"
#include "curtain/IdleWatch.h"
#include "forms/Form.h"

namespace app {
class Program;
struct Shared;
}  // namespace app

namespace curtain {

class Form1 : public forms::Form {
public:
    explicit Form1(app::Program& program);

    // Public procedures.
    void FormFront();            // topmost, keeping place and size
    // Spread over the whole screen and shown at once; then the keyboard
    // taken if asked, and the sound muted if chosen.
    void FormBig(bool takeKeyboard = false);
    // Put away as the stored strip along that edge (0 top, 1 bottom,
    // 2 right, 3 left), as the monitors lie now (Strip.cpp).
    void LayOutStrip(std::int16_t side);
    // The ways down. They differ only where they must: the hotkey, the
    // command and idleness take the keyboard; the pull leaves it where it
    // is; the ones asked for show an open dialog instead.
    enum class Way { Hotkey, Command, Icon, Pull, Idle };
    void BringDown(Way way);     // the one way down
    void Raise();                // the one way up: the sound back, the strip, the keyboard back
    void SoundOnOff(std::int16_t& mode);  // 0 mute, 1 restore, else nothing
    // The only writers of SoundMuted, with the last resort (Sound.cpp).
    void MuteSound();
    void RestoreSound();
    void Pop();                  // the pop-up menu at the pointer
    // As the curtain comes down: who has the keyboard now gets it back at
    // the raise (Keyboard.cpp).
    void NoteKeyboardOwner();

    // The last resort of every way out (the end of the message loop, the
    // end of the session, a crash): restores the sound if the program still
    // holds it muted, and says whether it did. Safe from any thread: from
    // then on nothing else of the program changes the sound, and a change
    // already at work on the user-interface thread is waited for (a while).
    bool GiveSoundBack() noexcept;
    // At start, before anything mutes: what a run killed while muted left
    // muted gets its own state back; what is away now stays held.
    void TakeOverMuteNote();
    // After a crash, from any thread: every curtain window is hidden,
    // without waiting for the thread that owns them (it may be stuck).
    void HideEverywhere() noexcept;

    // Event procedures.
    void Form_MouseMove(int button, int shift, float x, float y);
    void Image1_DblClick();
    void Timer1_Timer();
    void Form_KeyDown(int keyCode, int shift);
    void Form_ContextMenu();  // the menu key or Shift+F10
    void picTrayIcon_MouseMove(int index, int button, int shift, float x, float y);
    void picTrayEvent_MouseUp(int button, int shift, float x, float y);
    void picTrayEvent_DblClick();
    void OmbrySet_Click();
    void MenuEnd_Click();

    // Controls.
    forms::PictureBox picTrayIcon0;  // picTrayIcon(0): the tray callback's window
    forms::ControlArray<forms::PictureBox> picTrayIcon;
    forms::PictureBox picTrayEvent;  // receives the forwarded tray mouse messages
    forms::Timer Timer1;             // screen-size watch; retries the tray icon's add; the idle watch
    forms::Image Image2;             // the program icon, for the tray
    forms::Image Image1;             // the curtain picture
    forms::MenuItem OmbrySet;        // "各種設定"
    forms::MenuItem MenuEnd;         // "終了"
    forms::Menu MenuMy;              // opened only as a pop-up menu

    // The screen size when loaded or when Timer1 last saw it change. Wider
    // than a 16-bit value so that screens over 32767 twips (a 4K portrait
    // screen is 57600 at 96 dpi) are watched like any other.
    std::int32_t LastScreenHeight = 0;
    std::int32_t LastScreenWidth = 0;
    // The monitors when loaded or last seen: the stored strip lies along an
    // outer edge of the desk, which moves when a monitor comes or goes.
    std::vector<forms::Bounds> LastMonitors;

    // The curtain over the other monitors: follows this one down and up.
    Covers OtherMonitors;
    // Down when the machine is left idle; locked when left long.
    IdleWatch Idle;

protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    forms::Picture ClipboardOrNothing();
    bool MayComeDown(Way way);
    // The spread curtain's layout over the whole screen as it is now.
    void SpreadOverScreen();
    void SwitchSound(std::int16_t mode);
    bool MutingChosen() const;
    // A screen reader runs, which the mute would silence.
    bool ScreenReaderRunning();
    void WatchSound();
    void MuteArrivedEndpoints();
    void GiveBackReturnedEndpoints();
    void GiveKeyboardBack();
    void TakeKeyboard();  // the foreground and the focus; a refusal is asked again at each tick
    void TakeRefusedKeyboard();

    std::string muteNote_;       // the note of the held endpoints last written
    int ticksSinceListing_ = 0;  // Timer1 ticks since the endpoints were last listed
    // An endpoint that is there could not be read or given back at the last
    // listing: listed again at the next look, whatever Core Audio says.
    bool endpointsUnsettled_ = false;
    // The sound belongs to the user-interface thread until the last resort
    // takes it, possibly from another thread.
    std::atomic<bool> soundTaken_{false};
    std::atomic<bool> soundBusy_{false};  // the user-interface thread is at it
    std::intptr_t keyboardOwner_ = 0;  // the foreground window when the curtain came down
    std::intptr_t keyboardGivenTo_ = 0;  // where the last raise handed the keyboard
    bool keyboardRefused_ = false;     // down without the foreground, which Windows refused

    app::Program& program_;
    app::Shared& state_;
};

}  // namespace curtain
