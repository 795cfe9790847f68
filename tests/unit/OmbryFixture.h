#pragma once
// One whole program over the recording fakes: a 1024 x 768 screen at 96 dpi.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/Program.h"

// A whole program of its own, started with this settings file: for tests
// that try several files. `before` sets the fakes up before the start.
struct FreshStart {
    fakes::Log log;
    fakes::FakeServices services{log};
    fakes::FakeApi api{log};
    app::Program program{services, api};
    explicit FreshStart(const std::string& cfg, const std::function<void(fakes::FakeServices&)>& before = {}) {
        services.files["ombry.cfg"] = cfg;
        if (before) before(services);
        program.Main();
    }
};

class OmbryTest : public testing::Test {
protected:
    fakes::Log log;
    fakes::FakeServices services{log};
    fakes::FakeApi api{log};
    app::Program program{services, api};
    app::Shared& state = program.state;
    curtain::Form1& curtain = program.Form1;

    OmbryTest() {
        api.onSendMessage = [this](std::intptr_t hwnd, unsigned msg) { ToWindow(hwnd, msg); };
    }

    // The shell's callback for the tray icon: a mouse move on picTrayIcon(0),
    // in pixels, whose X is the mouse message that happened over the icon.
    void TrayCallback(unsigned mouseMessage) {
        forms::MouseEvent e;
        e.x = static_cast<float>(mouseMessage);
        curtain.picTrayIcon(0).MouseMove(e);
    }
    // Chooses the menu item with this caption when the next menu opens.
    void ChooseFromMenu(const std::string& caption) {
        services.onPopupMenu = [caption](forms::Menu& m) {
            for (forms::MenuItem* item : m.Items())
                if (item->Caption() == caption && item->Click) item->Click();
        };
    }

    // Starts the program with this settings file ("" = no file at all).
    void Start(const std::string& cfg) {
        if (!cfg.empty()) services.files["ombry.cfg"] = cfg;
        program.Main();
    }
    std::intptr_t Hwnd() const { return curtain.hWnd(); }

    // A mouse message sent to a control's window raises its events, as the
    // Win32 layer does.
    void ToWindow(std::intptr_t hwnd, unsigned msg) {
        for (forms::Form* form : program.Forms())
            for (forms::Control* c : form->Controls()) {
                if (c->hWnd() != hwnd) continue;
                forms::MouseEvent e;
                e.button = msg >= 0x204 && msg <= 0x206 ? 2 : 1;
                switch (msg) {
                    case 0x200: e.button = 0; if (c->MouseMove) c->MouseMove(e); break;
                    case 0x201: case 0x204: case 0x206: if (c->MouseDown) c->MouseDown(e); break;
                    case 0x202: case 0x205: if (c->MouseUp) c->MouseUp(e); break;
                    case 0x203: if (c->DblClick) c->DblClick(); break;
                    default: break;
                }
                return;
            }
    }
    struct Rect {
        int left, top, width, height;
        bool operator==(const Rect&) const = default;
    };
    static Rect RectOf(const forms::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
    friend std::ostream& operator<<(std::ostream& o, const Rect& r) {
        return o << "{" << r.left << "," << r.top << "," << r.width << "," << r.height << "}";
    }
};
