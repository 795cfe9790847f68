#pragma once
// The options dialog's fixed layout: twips, relative to the client area.
// Each minutes box sits on its check box's row, between two texts that make
// one sentence of the row.
#include "forms/Form.h"
#include "resources/Fonts.h"

namespace resources::form5 {

using forms::Kind;

inline constexpr forms::FormTraits kForm{
    .name = "Form5",
    .caption = "詳細設定",
    .border = forms::FormBorder::FixedSingle,
    .clientWidth = 4800,
    .clientHeight = 2700,
    .controlBox = true,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = false,
    .programIcon = true,
    .font = kGothic9,
};

inline constexpr int kMinutesDigits = 3;  // 1..999

inline constexpr forms::ControlTraits kCheck1{.name = "Check1", .kind = Kind::CheckBox,
    .left = 240, .top = 210, .width = 4320, .height = 255, .caption = "すべての画面を覆う",
    .toolTip = "カーテンがすべてのモニターを覆います", .tabIndex = 0};
inline constexpr forms::ControlTraits kCheck2{.name = "Check2", .kind = Kind::CheckBox,
    .left = 240, .top = 570, .width = 4320, .height = 255, .caption = "Windows 起動時に Ombry を起動する",
    .toolTip = "スタートアップにショートカットを置きます", .tabIndex = 1};
inline constexpr forms::ControlTraits kCheck3{.name = "Check3", .kind = Kind::CheckBox,
    .left = 240, .top = 930, .width = 1620, .height = 255, .caption = "操作が無い時", .tabIndex = 2};
inline constexpr forms::ControlTraits kText1{.name = "Text1", .kind = Kind::TextBox,
    .left = 1920, .top = 915, .width = 555, .height = 285, .toolTip = "1～999分", .tabIndex = 3,
    .digitsOnly = true, .maxLength = kMinutesDigits};
inline constexpr forms::ControlTraits kLabel1{.name = "Label1", .kind = Kind::Label,
    .left = 2550, .top = 960, .width = 2010, .height = 225, .caption = "分でｶｰﾃﾝを閉める", .tabIndex = 4};
inline constexpr forms::ControlTraits kCheck4{.name = "Check4", .kind = Kind::CheckBox,
    .left = 240, .top = 1335, .width = 1620, .height = 255, .caption = "ｶｰﾃﾝを閉めて", .tabIndex = 5};
inline constexpr forms::ControlTraits kText2{.name = "Text2", .kind = Kind::TextBox,
    .left = 1920, .top = 1320, .width = 555, .height = 285, .toolTip = "1～999分", .tabIndex = 6,
    .digitsOnly = true, .maxLength = kMinutesDigits};
inline constexpr forms::ControlTraits kLabel2{.name = "Label2", .kind = Kind::Label,
    .left = 2550, .top = 1365, .width = 2010, .height = 225, .caption = "分でﾛｯｸする", .tabIndex = 7};
inline constexpr forms::ControlTraits kCommand1_0{.name = "Command1", .kind = Kind::CommandButton, .index = 0,
    .left = 1320, .top = 1860, .width = 1575, .height = 375, .caption = "OK", .tabIndex = 8, .isDefault = true};
inline constexpr forms::ControlTraits kCommand1_1{.name = "Command1", .kind = Kind::CommandButton, .index = 1,
    .left = 3000, .top = 1860, .width = 1575, .height = 375, .caption = "キャンセル", .tabIndex = 9};
// Empty unless Task Manager has switched the startup item off: then where to switch it on.
inline constexpr forms::ControlTraits kLabel3{.name = "Label3", .kind = Kind::Label,
    .left = 240, .top = 2340, .width = 4320, .height = 225, .tabIndex = 10};

}  // namespace resources::form5
