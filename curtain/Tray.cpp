// The tray icon's mouse messages and the pop-up menu's commands.
#include "app/Program.h"
#include "curtain/Form1.h"

namespace curtain {

namespace {
constexpr int kRightButton = 2;

// Start-up creates the icon object before anything can raise these events.
tray::cTrayIcon& Icon(app::Program& program) {
    if (!program.TrayIcon) throw forms::Failure("no tray icon object");
    return *program.TrayIcon;
}
}  // namespace

void Form1::picTrayIcon_MouseMove(int index, int /*button*/, int /*shift*/, float x, float y) {
    Icon(program_).MouseMove(picTrayIcon(index).hWnd(), x, y);
}

// Only the program's own icon, number 0, counts.
void Form1::picTrayEvent_MouseUp(int button, int /*shift*/, float /*x*/, float /*y*/) {
    if (Icon(program_).EventIndex() != 0) return;
    if (button == kRightButton) PopupMenu(MenuMy);
}

void Form1::picTrayEvent_DblClick() {
    if (Icon(program_).EventIndex() == 0) BringDown(Way::Icon);
}

void Form1::Pop() {
    state_.PopPrimed = 1;
    PopupMenu(MenuMy);
}

void Form1::OmbrySet_Click() {
    // The icon's menu still opens while a dialog is: the dialog comes forward.
    if (program_.ShowOpenDialog()) return;
    Raise();
    // The dialog gives the keyboard back, at its close, where the raise did.
    program_.Form2.SetKeyboardBackTo(keyboardGivenTo_);
    program_.Form2.ShowModal();
}

}  // namespace curtain
