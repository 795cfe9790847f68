#include "curtain/Form1.h"

#include "api/Api.h"
#include "app/Program.h"
#include "resources/Form1Layout.h"

namespace curtain {

namespace layout = resources::form1;

Form1::Form1(app::Program& program)
    : Form(program.services, layout::kForm),
      picTrayIcon0(*this, layout::kPicTrayIcon),
      picTrayEvent(*this, layout::kPicTrayEvent),
      Timer1(*this, layout::kTimer1),
      Image2(*this, layout::kImage2, false),
      Image1(*this, layout::kImage1, true),
      OmbrySet(*this, layout::kOmbrySet),
      MenuEnd(*this, layout::kMenuEnd),
      MenuMy(*this, layout::kMenuMy, {&OmbrySet, &MenuEnd}),
      program_(program),
      state_(program.state) {
    picTrayIcon.Add(picTrayIcon0);
    MouseMove = [this](const forms::MouseEvent& e) { Form_MouseMove(e.button, e.shift, e.x, e.y); };
    Image1.DblClick = [this] { Image1_DblClick(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
}

void Form1::Form_Load() {
    forms::Services& screen = GetServices();
    state_.CurtainDown = 0;
    FormFront();
    Image1.SetHeight(screen.ScreenHeight() + 100);
    Image1.SetWidth(screen.ScreenWidth() + 100);
    Image1.SetTop(5);
    Image1.SetLeft(5);
    Image1.SetPicture(ClipboardOrNothing());
    LastScreenHeight = screen.ScreenHeight();
    Timer1.SetEnabled(false);
    Timer1.SetInterval(0);
    Image1.SetVisible(false);
    state_.HotkeySuspended = 0;
    state_.PopPrimed = 1;
    Timer1.SetEnabled(true);
    Timer1.SetInterval(100);
}

void Form1::Form_Unload(int& /*cancel*/) {
    // The curtain is the main window: no other form outlives it.
    program_.Form2.Unload();
    program_.Form4.Unload();
}

// At load a clipboard that another program holds counts as one without a
// picture; start-up sets the pattern again anyway.
forms::Picture Form1::ClipboardOrNothing() {
    try {
        return GetServices().ClipboardPicture();
    } catch (const forms::Failure&) {
        return {};
    }
}

void Form1::Pop() {
    state_.PopPrimed = 1;
    PopupMenu(MenuMy);
}

}  // namespace curtain
