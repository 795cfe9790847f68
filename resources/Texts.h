#pragma once
// The texts the program shows beyond its forms' tables (those hold their
// own captions and tips): Japanese and English, one pair a line. A "%s"
// stands for a key's name or another text.
#include "forms/Text.h"

namespace resources::texts {

using forms::Text;

// The icon's tip.
inline constexpr Text kTrayTip{"Ombry起動中！", "Ombry is running"};
inline constexpr Text kTrayTipUnread{"Ombry起動中！(設定ﾌｧｲﾙが読めません)",
                                     "Ombry is running (cannot read the settings file)"};

// The settings dialog's hotkey box: Label3 says what Label1 shows.
inline constexpr Text kAskForKey{"ｾｯﾄするｷｰを１つ入れて下さい", "Press the key to use"};
inline constexpr Text kKeySet{"現在ｾｯﾄされているｷｰ", "The hotkey now set"};
inline constexpr Text kNoKeySet{"ｾｯﾄされているｷｰはありません", "No hotkey is set"};
// Another program holds the chosen key; Label1 then says which key is in force.
inline constexpr Text kKeyTaken{"使用中でｾｯﾄ出来ません", "In use: cannot be set"};
inline constexpr Text kKeyFrame{"【%s】ｷｰ", "[%s] key"};
inline constexpr Text kInForce{"現在%s", "Now %s"};
inline constexpr Text kNoneInForce{"現在ｾｯﾄ無し", "None set now"};
// A combination that types a character through AltGr is not taken.
inline constexpr Text kTypesCharacter{"AltGrで文字を打つｷｰなのでｾｯﾄ出来ません",
                                      "This key types a character with AltGr: it cannot be set"};

// The pattern picker's title, and why it stays open.
inline constexpr Text kSaveCaption{"画像の保存", "Save the picture"};
inline constexpr Text kLoadCaption{"画像の読み出し", "Load a picture"};
inline constexpr Text kCannotSave{"保存出来ません", "Cannot be saved"};

// The options dialog, when the Startup folder's shortcut cannot be changed,
// and where Task Manager has switched it off (Label3, and a message).
inline constexpr Text kCannotSetStartup{"起動時の設定を変更出来ません", "The start with Windows cannot be changed"};
inline constexpr Text kStartupDisabled{"ﾀｽｸﾏﾈｰｼﾞｬｰの｢ｽﾀｰﾄｱｯﾌﾟ｣で有効にして下さい",
                                       "Turn it on in Task Manager (Startup)"};

}  // namespace resources::texts
