#pragma once
// Every window of the program's own classes follows one pattern: its class
// is registered once, checked, with the one procedure below; the object
// given at creation is stored with the window, and each message goes to it.
// A window made without an object (a hidden owner) behaves as the system's
// default window.
#include <windows.h>

namespace win32 {

class WindowObject {
public:
    // A message for the window. A failure ends the message (it returns 0);
    // nothing leaves the procedure.
    virtual LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
    // The window now exists (WM_NCCREATE): the object learns its handle
    // before any other message comes.
    virtual void OnCreated(HWND /*hwnd*/) {}
    // The window is gone: no message reaches the object any more, which
    // may end the object itself.
    virtual void OnDestroyed() {}

protected:
    ~WindowObject() = default;
};

struct WindowClass {
    const wchar_t* name;
    UINT style = 0;  // CS_ flags
    HBRUSH background = nullptr;
    bool programIcon = false;  // the program's icon on the caption and the taskbar
};

// Registers the class unless this program has already: false when the
// system refuses it.
bool RegisterWindowClass(HINSTANCE instance, const WindowClass& cls);

// A window of one of the classes above, whose messages go to object (may be
// null). Null when the window cannot be made.
HWND CreateObjectWindow(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, RECT place,
                        HWND parent, HMENU menuOrId, HINSTANCE instance, WindowObject* object);

// From now on the window's messages reach no object: for an object that
// goes before its window.
void DetachWindow(HWND hwnd);

// The one procedure; a window whose procedure was replaced by someone who
// is gone gets it back with this.
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace win32
