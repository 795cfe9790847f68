#pragma once
// The curtain window's fixed layout: design rectangles in twips.
#include "forms/Form.h"

namespace resources::form1 {

using forms::Kind;

inline constexpr forms::FormTraits kForm{
    .name = "Form1",
    .caption = "Ombry",  // never drawn (no border); what a screen reader announces
    .border = forms::FormBorder::None,
    .clientWidth = 10000,
    .clientHeight = 1200,
    .controlBox = false,
    .showInTaskbar = false,  // a tray utility: no taskbar button
    .programIcon = true,
    // The strip never holds the keyboard: neither showing it nor a click on
    // it takes the focus; the hotkey and the menus ask for it themselves.
    .activates = false,
    .backColor = 0x000000,   // black where no picture covers it
};

inline constexpr forms::ControlTraits kPicTrayIcon{
    .name = "picTrayIcon", .kind = Kind::PictureBox, .index = 0,
    .left = 7020, .top = 300, .width = 315, .height = 345, .tabIndex = 1};
inline constexpr forms::ControlTraits kPicTrayEvent{
    .name = "picTrayEvent", .kind = Kind::PictureBox,
    .left = 6300, .top = 300, .width = 315, .height = 345, .tabIndex = 0};
inline constexpr forms::ControlTraits kTimer1{.name = "Timer1", .kind = Kind::Timer};
inline constexpr forms::ControlTraits kImage2{
    .name = "Image2", .kind = Kind::Image, .left = 4320, .top = 300, .width = 480, .height = 480,
    .programIcon = true};
inline constexpr forms::ControlTraits kImage1{
    .name = "Image1", .kind = Kind::Image, .left = 7200, .top = 180, .width = 2475, .height = 615};
inline constexpr forms::ControlTraits kMenuMy{.name = "MenuMy", .kind = Kind::Menu, .caption = {"メニュー", "Menu"}};
inline constexpr forms::ControlTraits kOmbrySet{.name = "OmbrySet", .kind = Kind::MenuItem, .caption = {"各種設定", "Settings"}};
inline constexpr forms::ControlTraits kMenuEnd{.name = "MenuEnd", .kind = Kind::MenuItem, .caption = {"終了", "Exit"}};

}  // namespace resources::form1
