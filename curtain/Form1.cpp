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
      MenuBar1(*this, layout::kMenuBar1),
      MenuOptions(*this, layout::kMenuOptions),
      MenuMy(*this, layout::kMenuMy, {&OmbrySet, &MenuEnd, &MenuBar1, &MenuOptions}),
      OtherMonitors(program),
      program_(program),
      state_(program.state) {
    picTrayIcon.Add(picTrayIcon0);
    MouseMove = [this](const forms::MouseEvent& e) { Form_MouseMove(e.button, e.shift, e.x, e.y); };
    Image1.DblClick = [this] { Image1_DblClick(); };
    // The timer also brings back an icon that the shell refused.
    Timer1.Tick = [this] {
        if (program_.TrayIcon) program_.TrayIcon->RetryAdd();
        Timer1_Timer();
    };
    for (forms::PictureBox* box : picTrayIcon)
        box->MouseMove = [this, box](const forms::MouseEvent& e) {
            picTrayIcon_MouseMove(box->Index(), e.button, e.shift, e.x, e.y);
        };
    picTrayEvent.MouseUp = [this](const forms::MouseEvent& e) { picTrayEvent_MouseUp(e.button, e.shift, e.x, e.y); };
    picTrayEvent.DblClick = [this] { picTrayEvent_DblClick(); };
    OmbrySet.Click = [this] { OmbrySet_Click(); };
    MenuEnd.Click = [this] { MenuEnd_Click(); };
    MenuOptions.Click = [this] { MenuOptions_Click(); };
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
    LastScreenWidth = screen.ScreenWidth();
    LastMonitors = screen.Monitors();
    Timer1.SetEnabled(false);
    Timer1.SetInterval(0);
    Image1.SetVisible(false);
    state_.HotkeySuspended = 0;
    state_.PopPrimed = 1;
    Timer1.SetEnabled(true);
    Timer1.SetInterval(100);
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

}  // namespace curtain
