#pragma once
// The form's own surface: its back colour, the images drawn on it, and the
// mouse over it, which belongs to the topmost visible image under the
// pointer or else to the form.
#include <windows.h>

#include <unordered_map>
#include <vector>

#include "forms/Form.h"
#include "win32/FormSite.h"
#include "win32/StretchedPictures.h"

namespace win32 {

class FormSurface {
public:
    explicit FormSurface(FormSite& site) : site_(site) {}
    FormSurface(const FormSurface&) = delete;
    FormSurface& operator=(const FormSurface&) = delete;

    // Takes the form's images, in drawing order, with their tool tips.
    void Create();
    bool EraseBackground(HDC dc);
    void Paint(HWND hwnd);
    void OnMouse(UINT msg, WPARAM wp, LPARAM lp);
    void Changed(forms::Image& image, forms::Prop p);
    // Every image again where its frames put it.
    void RefreshAll();
    // The form is hidden: the scaled copies go.
    void ForgetPictures() { pictures_.ForgetAll(); }

private:
    forms::Control& TargetAt(POINT pt);
    void Refresh(forms::Image& image);

    FormSite& site_;
    std::vector<forms::Image*> images_;  // in drawing order, the topmost last
    std::unordered_map<const forms::Image*, RECT> imageRects_;  // as last drawn
    StretchedPictures pictures_;  // the images' pictures, with their scaled copies
    const forms::Control* pressed_ = nullptr;  // took the last left press on the form
};

}  // namespace win32
