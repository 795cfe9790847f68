#pragma once
// The options dialog's fixed layout: twips, relative to the client area
// or to the frame named as container. Each minutes box sits on its check
// box's row, between two texts that make one sentence of the row.
#include "forms/Form.h"
#include "resources/Fonts.h"

namespace resources::form5 {

using forms::Kind;

inline constexpr forms::FormTraits kForm{
    .name = "Form5",
    .caption = {"詳細設定", "Options"},
    .border = forms::FormBorder::FixedSingle,
    .clientWidth = 4800,
    .clientHeight = 3390,
    .controlBox = true,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = false,
    .programIcon = true,
    .font = kGothic9,
};

inline constexpr int kMinutesDigits = 3;  // 1..999
inline constexpr forms::Text kMinutesTip{"1～999分", "1 to 999 minutes"};

inline constexpr forms::ControlTraits kCheck1{.name = "Check1", .kind = Kind::CheckBox,
    .left = 240, .top = 210, .width = 4320, .height = 255, .caption = {"すべての画面を覆う", "Cover every monitor"},
    .toolTip = {"カーテンがすべてのモニターを覆います", "The curtain covers every monitor"}, .tabIndex = 0};
inline constexpr forms::ControlTraits kCheck2{.name = "Check2", .kind = Kind::CheckBox,
    .left = 240, .top = 570, .width = 4320, .height = 255, .caption = {"Windows 起動時に Ombry を起動する", "Start Ombry with Windows"},
    .toolTip = {"スタートアップにショートカットを置きます", "Puts a shortcut in the Startup folder"}, .tabIndex = 1};
inline constexpr forms::ControlTraits kCheck3{.name = "Check3", .kind = Kind::CheckBox,
    .left = 240, .top = 930, .width = 1620, .height = 255, .caption = {"操作が無い時", "When idle for"}, .tabIndex = 2};
inline constexpr forms::ControlTraits kText1{.name = "Text1", .kind = Kind::TextBox,
    .left = 1920, .top = 915, .width = 555, .height = 285, .toolTip = kMinutesTip, .tabIndex = 3,
    .digitsOnly = true, .maxLength = kMinutesDigits};
inline constexpr forms::ControlTraits kLabel1{.name = "Label1", .kind = Kind::Label,
    .left = 2550, .top = 960, .width = 2010, .height = 225, .caption = {"分でｶｰﾃﾝを閉める", "minutes, curtain down"}, .tabIndex = 4,
    .english = {.top = 945, .height = 255}};
inline constexpr forms::ControlTraits kCheck4{.name = "Check4", .kind = Kind::CheckBox,
    .left = 240, .top = 1335, .width = 1620, .height = 255, .caption = {"ｶｰﾃﾝを閉めて", "When down for"}, .tabIndex = 5};
inline constexpr forms::ControlTraits kText2{.name = "Text2", .kind = Kind::TextBox,
    .left = 1920, .top = 1320, .width = 555, .height = 285, .toolTip = kMinutesTip, .tabIndex = 6,
    .digitsOnly = true, .maxLength = kMinutesDigits};
inline constexpr forms::ControlTraits kLabel2{.name = "Label2", .kind = Kind::Label,
    .left = 2550, .top = 1365, .width = 2010, .height = 225, .caption = {"分でﾛｯｸする", "minutes, lock Windows"}, .tabIndex = 7,
    .english = {.top = 1350, .height = 255}};
// The language: the one Windows shows, or either of the two, from the
// next start on.
inline constexpr forms::ControlTraits kFrame1{.name = "Frame1", .kind = Kind::Frame,
    .left = 240, .top = 1740, .width = 4320, .height = 630,
    .caption = {"表示言語（次回の起動から）", "Language (from the next start)"}, .tabIndex = 8};
inline constexpr forms::ControlTraits kOption1_0{.name = "Option1", .kind = Kind::OptionButton, .index = 0,
    .container = "Frame1", .left = 180, .top = 270, .width = 1860, .height = 255,
    .caption = {"Windows に合わせる", "As Windows"},
    .toolTip = {"Windows の表示言語に合わせます", "The language Windows shows"}, .tabIndex = 9,
    .english = {.width = 1440}};
inline constexpr forms::ControlTraits kOption1_1{.name = "Option1", .kind = Kind::OptionButton, .index = 1,
    .container = "Frame1", .left = 2160, .top = 270, .width = 960, .height = 255,
    .caption = {"日本語", "Japanese"}, .tabIndex = 10, .english = {.left = 1740, .width = 1200}};
inline constexpr forms::ControlTraits kOption1_2{.name = "Option1", .kind = Kind::OptionButton, .index = 2,
    .container = "Frame1", .left = 3240, .top = 270, .width = 960, .height = 255, .caption = "English",
    .tabIndex = 11, .english = {.left = 3060, .width = 1140}};
inline constexpr forms::ControlTraits kCommand1_0{.name = "Command1", .kind = Kind::CommandButton, .index = 0,
    .left = 1320, .top = 2550, .width = 1575, .height = 375, .caption = "OK", .tabIndex = 12, .isDefault = true};
inline constexpr forms::ControlTraits kCommand1_1{.name = "Command1", .kind = Kind::CommandButton, .index = 1,
    .left = 3000, .top = 2550, .width = 1575, .height = 375, .caption = {"キャンセル", "Cancel"}, .tabIndex = 13};
// Empty unless Task Manager has switched the startup item off: then where to switch it on.
inline constexpr forms::ControlTraits kLabel3{.name = "Label3", .kind = Kind::Label,
    .left = 240, .top = 3030, .width = 4320, .height = 225, .tabIndex = 14, .english = {.height = 255}};

// Every row, for what walks a whole table.
inline constexpr const forms::ControlTraits* kRows[] = {
    &kCheck1, &kCheck2, &kCheck3, &kText1, &kLabel1, &kCheck4, &kText2,
    &kLabel2, &kFrame1, &kOption1_0, &kOption1_1, &kOption1_2, &kCommand1_0, &kCommand1_1, &kLabel3};

}  // namespace resources::form5
