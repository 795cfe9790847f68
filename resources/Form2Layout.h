#pragma once
// The settings dialog's fixed layout: twips, relative to the client area or
// to the frame named as container. Rows in tab order.
#include "forms/Form.h"
#include "resources/Fonts.h"
#include "resources/Version.h"

namespace resources::form2 {

using forms::Kind;

inline constexpr const char* kKeyTip = "ホットキーにセットしたいキーを押して下さい";

inline constexpr forms::FormTraits kForm{
    .name = "Form2",
    .caption = "各種設定",
    .border = forms::FormBorder::FixedSingle,
    .clientWidth = 7170,
    .clientHeight = 3660,
    .controlBox = true,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = false,
    .programIcon = true,
    .font = kGothic9,
};

inline constexpr forms::ControlTraits kFrame1_0{.name = "Frame1", .kind = Kind::Frame, .index = 0,
    .left = 75, .top = 1425, .width = 2625, .height = 1155, .caption = "ﾎｯﾄｷｰの設定１", .tabIndex = 0};
inline constexpr forms::ControlTraits kText1{.name = "Text1", .kind = Kind::TextBox, .container = "Frame1(0)",
    .left = 180, .top = 600, .width = 555, .height = 315, .toolTip = kKeyTip, .tabIndex = 1, .font = &kPGothic9,
    .inputMethodOff = true};
inline constexpr forms::ControlTraits kOption1_0{.name = "Option1", .kind = Kind::OptionButton, .index = 0,
    .container = "Frame1(2)", .left = 135, .top = 360, .width = 435, .height = 195, .caption = "上",
    .toolTip = "画面上側", .tabIndex = 2, .font = &kPGothic9};
inline constexpr forms::ControlTraits kOption1_1{.name = "Option1", .kind = Kind::OptionButton, .index = 1,
    .container = "Frame1(2)", .left = 135, .top = 720, .width = 555, .height = 255, .caption = "下",
    .toolTip = "画面下側", .tabIndex = 3, .font = &kPGothic9};
inline constexpr forms::ControlTraits kOption1_2{.name = "Option1", .kind = Kind::OptionButton, .index = 2,
    .container = "Frame1(2)", .left = 675, .top = 360, .width = 495, .height = 255, .caption = "右",
    .toolTip = "画面右側", .tabIndex = 4, .font = &kPGothic9};
inline constexpr forms::ControlTraits kOption1_3{.name = "Option1", .kind = Kind::OptionButton, .index = 3,
    .container = "Frame1(2)", .left = 675, .top = 720, .width = 555, .height = 255, .caption = "左",
    .toolTip = "画面左側", .tabIndex = 5, .font = &kPGothic9};
inline constexpr forms::ControlTraits kCommand1_0{.name = "Command1", .kind = Kind::CommandButton, .index = 0,
    .container = "Frame1(1)", .left = 120, .top = 315, .width = 1095, .height = 315, .caption = "模様替え",
    .toolTip = "最後に取り込んだ画像にします", .tabIndex = 6, .font = &kPGothic9};
inline constexpr forms::ControlTraits kCommand1_1{.name = "Command1", .kind = Kind::CommandButton, .index = 1,
    .container = "Frame1(1)", .left = 120, .top = 720, .width = 1095, .height = 315, .caption = "模様無し",
    .toolTip = "真っ黒い画面にします", .tabIndex = 7, .font = &kPGothic9};
inline constexpr forms::ControlTraits kSetEndButton{.name = "SetEndButton", .kind = Kind::CommandButton,
    .left = 1875, .top = 2745, .width = 5160, .height = 795, .caption = "設定の終了",
    .toolTip = "設定を終了します", .tabIndex = 8, .font = &kGothic12};
inline constexpr forms::ControlTraits kFrame1_1{.name = "Frame1", .kind = Kind::Frame, .index = 1,
    .left = 4185, .top = 1425, .width = 2865, .height = 1155, .caption = " ｶｰﾃﾝの模様",
    .toolTip = "画面を隠す模様を変えます", .tabIndex = 9};
inline constexpr forms::ControlTraits kFrame1_2{.name = "Frame1", .kind = Kind::Frame, .index = 2,
    .left = 2745, .top = 1440, .width = 1395, .height = 1155, .caption = "ｶｰﾃﾝ収納場所", .tabIndex = 10};
inline constexpr forms::ControlTraits kLabel1{.name = "Label1", .kind = Kind::Label, .container = "Frame1(0)",
    .left = 840, .top = 660, .width = 1755, .height = 255, .toolTip = kKeyTip, .tabIndex = 11, .font = &kPGothic9};
inline constexpr forms::ControlTraits kLabel2{.name = "Label2", .kind = Kind::Label,
    .left = 180, .top = 120, .width = 3255, .height = 315, .caption = "Ombry  Ver" OMBRY_VERSION_TITLE, .tabIndex = 12,
    .font = &kGothic18Bold, .foreColor = 0xFF0000};
inline constexpr forms::ControlTraits kLabel3{.name = "Label3", .kind = Kind::Label, .container = "Frame1(0)",
    .left = 180, .top = 300, .width = 2415, .height = 255, .caption = "ｾｯﾄするｷｰを１つ入れて下さい",
    .toolTip = kKeyTip, .tabIndex = 13, .font = &kPGothic9};
inline constexpr forms::ControlTraits kFrame5{.name = "Frame5", .kind = Kind::Frame,
    .left = 75, .top = 2625, .width = 1575, .height = 915, .caption = "音を消す機能", .tabIndex = 14};
inline constexpr forms::ControlTraits kOption3_0{.name = "Option3", .kind = Kind::OptionButton, .index = 0,
    .container = "Frame5", .left = 180, .top = 240, .width = 1095, .height = 255, .caption = "消さない",
    .toolTip = "音は消えません", .tabIndex = 15, .font = &kPGothic9};
inline constexpr forms::ControlTraits kOption3_1{.name = "Option3", .kind = Kind::OptionButton, .index = 1,
    .container = "Frame5", .left = 180, .top = 540, .width = 1035, .height = 255, .caption = "消す",
    .toolTip = "両動作ともに音が消えます", .tabIndex = 16, .font = &kPGothic9};
inline constexpr forms::ControlTraits kCommand1_2{.name = "Command1", .kind = Kind::CommandButton, .index = 2,
    .container = "Frame1(1)", .left = 1350, .top = 315, .width = 1365, .height = 315, .caption = "模様の保存",
    .toolTip = "現在のカーテンの画像を保存します", .tabIndex = 17};
inline constexpr forms::ControlTraits kCommand1_3{.name = "Command1", .kind = Kind::CommandButton, .index = 3,
    .container = "Frame1(1)", .left = 1350, .top = 720, .width = 1365, .height = 315, .caption = "模様の読み出し",
    .toolTip = "ファイルから画像をカーテンで使用します", .tabIndex = 18, .font = &kPGothic9};
inline constexpr forms::ControlTraits kFrame6{.name = "Frame6", .kind = Kind::Frame,
    .left = 90, .top = 630, .width = 6945, .height = 690, .caption = "Ombry 起動時の設定", .tabIndex = 19};
inline constexpr forms::ControlTraits kCheck3{.name = "Check3", .kind = Kind::CheckBox,
    .left = 270, .top = 945, .width = 2715, .height = 195, .caption = "起動時 設定画面を表示する", .tabIndex = 20};
inline constexpr forms::ControlTraits kCheck4{.name = "Check4", .kind = Kind::CheckBox,
    .left = 3000, .top = 855, .width = 3870, .height = 330, .caption = "カーテンの模様を常に終了時のものにする",
    .tabIndex = 21};
// Beside the title, where the dialog has room.
inline constexpr forms::ControlTraits kCheck5{.name = "Check5", .kind = Kind::CheckBox,
    .left = 4185, .top = 180, .width = 2865, .height = 255, .caption = "すべての画面を覆う",
    .toolTip = "カーテンがすべてのモニターを覆います", .tabIndex = 22};
// Between the title and Check5: the options dialog.
inline constexpr forms::ControlTraits kMoreButton{.name = "MoreButton", .kind = Kind::CommandButton,
    .left = 3480, .top = 120, .width = 660, .height = 360, .caption = "詳細",
    .toolTip = "その他の設定を開きます", .tabIndex = 23};

}  // namespace resources::form2
