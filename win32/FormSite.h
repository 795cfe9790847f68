#pragma once
// What the parts of a form's window share: the form, the module's backend,
// the window once it is made, the back colour, the tool tips, and where
// each control lies among the frames that hold it.
#include <windows.h>

#include <cstddef>
#include <memory>

#include "forms/Form.h"
#include "win32/Backend.h"
#include "win32/Handles.h"
#include "win32/ToolTips.h"

namespace win32 {

struct FormSite {
    FormSite(forms::Form& form, Backend& backend);

    forms::Form& form;
    Backend& backend;
    HWND hwnd = nullptr;  // the form's window; null before it is made and once it is gone
    UniqueBrush ownBrush;  // the back colour, unless it is a system colour
    HBRUSH background = nullptr;
    ToolTips tips;
    // Turns false when the window's object goes: an event may unload the
    // form, and whoever raised it must not touch the window's parts after.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    COLORREF BackColor() const;
    // The control's tool tip, if it has one: by its window, or for an image
    // (tool null) as an area of the form that MoveTip places.
    void AddTip(const forms::Control& c, HWND tool);
    void MoveTip(const forms::Control& image, const RECT& area);
    // The control's place among the form's controls: its window's id, its
    // timer's and its tool tip's are made from it.
    std::size_t IndexOf(const forms::Control& c) const;
    // The frame that holds c; null for the form itself.
    const forms::Control* ContainerOf(const forms::Control& c) const;
    // How deep c lies in frames; the outermost frame is 0.
    int Depth(const forms::Control& c) const;
    // Where c lies in the form's client area, in pixels: a frame carries
    // what it holds.
    RECT PlaceOf(const forms::Control& c) const;
    // Shown and enabled only while every frame around it is too.
    bool ShownInContainer(const forms::Control& c) const;
    bool EnabledInContainer(const forms::Control& c) const;
};

// A system colour (0x800000nn) or an RGB value, as the system draws it.
COLORREF Colour(std::uint32_t value);

}  // namespace win32
