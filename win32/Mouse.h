#pragma once
// Mouse and key messages turned into the arguments the controls' events
// take, and raised in the order users of these controls expect: a left
// press and release on one control add Click; the second press of a
// double-click is DblClick.
#include <windows.h>

#include <memory>

#include "forms/Control.h"
#include "win32/Events.h"

namespace win32 {

enum class MouseAction { None, Move, Down, Up, DblClick };

struct MouseMessage {
    MouseAction action = MouseAction::None;
    int button = 0;  // 1 left, 2 right, 4 middle; for a move, the buttons held
};

inline int HeldButtons(WPARAM wp) {
    return (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
}

inline int MouseShift(WPARAM wp) {
    return (wp & MK_SHIFT ? 1 : 0) | (wp & MK_CONTROL ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

inline int KeyShift() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0) | (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0 ? 8 : 0);
}

inline MouseMessage ClassifyMouse(UINT msg, WPARAM wp) {
    switch (msg) {
        case WM_MOUSEMOVE: return {MouseAction::Move, HeldButtons(wp)};
        case WM_LBUTTONDOWN: return {MouseAction::Down, 1};
        case WM_LBUTTONUP: return {MouseAction::Up, 1};
        case WM_LBUTTONDBLCLK: return {MouseAction::DblClick, 1};
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: return {MouseAction::Down, 2};
        case WM_RBUTTONUP: return {MouseAction::Up, 2};
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: return {MouseAction::Down, 4};
        case WM_MBUTTONUP: return {MouseAction::Up, 4};
        default: return {};
    }
}

// pressed remembers which control took the last left press. alive turns
// false when the form's window goes away during an event; it is taken by
// value, as the window object that holds it may be gone after a handler.
inline void RaiseMouse(forms::Control& target, MouseMessage m, forms::MouseEvent e,
                       const forms::Control*& pressed, std::shared_ptr<bool> alive) {
    e.button = m.button;
    switch (m.action) {
        case MouseAction::Move: Raise(target.MouseMove, e); break;
        case MouseAction::Down:
            if (m.button == 1) pressed = &target;
            Raise(target.MouseDown, e);
            break;
        case MouseAction::DblClick:
            pressed = nullptr;  // the release after a double-click is no click
            Raise(target.DblClick);
            break;
        case MouseAction::Up: {
            bool click = m.button == 1 && pressed == &target;
            if (m.button == 1) pressed = nullptr;
            Raise(target.MouseUp, e);
            if (click && *alive) Raise(target.Click);
            break;
        }
        case MouseAction::None: break;
    }
}

}  // namespace win32
