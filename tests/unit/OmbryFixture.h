#pragma once
// One whole program over the recording fakes: a 1024 x 768 screen at 96 dpi.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/Program.h"

// A whole program of its own, started with this settings file: for tests
// that try several files.
struct FreshStart {
    fakes::Log log;
    fakes::FakeServices services{log};
    fakes::FakeApi api{log};
    app::Program program{services, api};
    explicit FreshStart(const std::string& cfg) {
        services.files["ombry.cfg"] = cfg;
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

    // Starts the program with this settings file ("" = no file at all).
    void Start(const std::string& cfg) {
        if (!cfg.empty()) services.files["ombry.cfg"] = cfg;
        program.Main();
    }
    std::intptr_t Hwnd() const { return curtain.hWnd(); }
    struct Rect {
        int left, top, width, height;
        bool operator==(const Rect&) const = default;
    };
    static Rect RectOf(const forms::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
    friend std::ostream& operator<<(std::ostream& o, const Rect& r) {
        return o << "{" << r.left << "," << r.top << "," << r.width << "," << r.height << "}";
    }
};
