#pragma once
// A form's tool tips: one tip window, made with the first tip and owned by
// the form's window. A control with a window is a tool by its window; an
// image, which has none, is an area of the form that the form's mouse
// messages are relayed to.
#include <windows.h>

#include <string>

namespace win32 {

class ToolTips {
public:
    // tool: the control's window, or null for an area with id areaId.
    void Add(HWND form, HINSTANCE instance, int maxWidth, const std::wstring& text, HWND tool, UINT_PTR areaId);
    void MoveArea(HWND form, UINT_PTR areaId, const RECT& area);
    // A mouse message of the form's own, for its areas.
    void Relay(HWND form, UINT msg, WPARAM wp, LPARAM lp);

private:
    HWND window_ = nullptr;  // destroyed with the form's window
};

}  // namespace win32
