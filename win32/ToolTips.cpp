#include "win32/ToolTips.h"

#include <commctrl.h>

namespace win32 {

void ToolTips::Add(HWND form, HINSTANCE instance, int maxWidth, const std::wstring& text, HWND tool,
                   UINT_PTR areaId) {
    if (!window_) {
        window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance,
                                  nullptr);
        if (!window_) return;
        SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    }
    std::wstring shown = text;  // the message takes a writable string
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = form;
    if (tool) {
        info.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
    } else {
        info.uId = areaId;
    }
    info.lpszText = shown.data();
    SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTips::MoveArea(HWND form, UINT_PTR areaId, const RECT& area) {
    if (!window_) return;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = form;
    info.uId = areaId;
    info.rect = area;
    SendMessageW(window_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTips::Relay(HWND form, UINT msg, WPARAM wp, LPARAM lp) {
    if (!window_) return;
    MSG relay{form, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

}  // namespace win32
