#pragma once
// The pattern picker's fixed layout: twips, relative to the client area.
#include "forms/Form.h"
#include "resources/Fonts.h"

namespace resources::form4 {

using forms::Kind;

inline constexpr forms::FormTraits kForm{
    .name = "Form4",
    .caption = "Form4",
    .border = forms::FormBorder::FixedSingle,
    .clientWidth = 6360,
    .clientHeight = 3630,
    .controlBox = true,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = false,
    .programIcon = true,
    .font = kGothic9,
};

inline constexpr const char* kBitmapFiles = "*.bmp";

inline constexpr forms::ControlTraits kFile1{.name = "File1", .kind = Kind::FileListBox,
    .left = 225, .top = 270, .width = 2265, .height = 1530, .tabIndex = 0};
inline constexpr forms::ControlTraits kText1{.name = "Text1", .kind = Kind::TextBox,
    .left = 225, .top = 1935, .width = 2265, .height = 285, .caption = "Text1", .tabIndex = 1};
inline constexpr forms::ControlTraits kCommand1_0{.name = "Command1", .kind = Kind::CommandButton, .index = 0,
    .left = 225, .top = 2430, .width = 1095, .height = 465, .caption = "OK", .tabIndex = 2, .font = &kGothic12};
inline constexpr forms::ControlTraits kCommand1_1{.name = "Command1", .kind = Kind::CommandButton, .index = 1,
    .left = 1440, .top = 2430, .width = 1095, .height = 465, .caption = {"キャンセル", "Cancel"}, .tabIndex = 3};
inline constexpr forms::ControlTraits kCommand2{.name = "Command2", .kind = Kind::CommandButton,
    .left = 1440, .top = 3000, .width = 1095, .height = 465, .caption = {"現在使用中の画像表示", "Current"}, .tabIndex = 4};
inline constexpr forms::ControlTraits kLabel1{.name = "Label1", .kind = Kind::Label,
    .left = 3000, .top = 1560, .width = 2820, .height = 180, .caption = {"現在カーテンの模様はありません", "The curtain has no pattern"},
    .tabIndex = 5, .visible = false, .english = {.height = 255}};
inline constexpr forms::ControlTraits kCommand3{.name = "Command3", .kind = Kind::CommandButton,
    .left = 240, .top = 3000, .width = 1095, .height = 465, .caption = {"画像の削除", "Delete"}, .tabIndex = 6};
inline constexpr forms::ControlTraits kImage1{.name = "Image1", .kind = Kind::Image,
    .left = 2700, .top = 270, .width = 3435, .height = 3165};

// Every row, for what walks a whole table.
inline constexpr const forms::ControlTraits* kRows[] = {
    &kFile1, &kText1, &kCommand1_0, &kCommand1_1, &kCommand2, &kLabel1,
    &kCommand3, &kImage1};

}  // namespace resources::form4
