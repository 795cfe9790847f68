#pragma once
// Owners for the handles the backend creates: each frees its handle once,
// none can be copied.
#include <windows.h>
#include <unknwn.h>

#include <memory>
#include <type_traits>

namespace win32 {

struct GdiDeleter {
    void operator()(HGDIOBJ h) const noexcept { DeleteObject(h); }
};
struct MenuDeleter {
    void operator()(HMENU h) const noexcept { DestroyMenu(h); }
};
struct KernelDeleter {
    void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};

// A COM interface, released once.
struct ComReleaser {
    void operator()(IUnknown* p) const noexcept { p->Release(); }
};
template <class T>
using ComRef = std::unique_ptr<T, ComReleaser>;

using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDeleter>;
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
using UniqueKernelHandle = std::unique_ptr<void, KernelDeleter>;

// A file handle: INVALID_HANDLE_VALUE, not null, means none.
class UniqueFile {
public:
    explicit UniqueFile(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~UniqueFile() { Close(); }
    UniqueFile(UniqueFile&& o) noexcept : h_(o.h_) { o.h_ = INVALID_HANDLE_VALUE; }
    UniqueFile& operator=(UniqueFile&& o) noexcept {
        if (this != &o) { Close(); h_ = o.h_; o.h_ = INVALID_HANDLE_VALUE; }
        return *this;
    }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes now and tells whether the system accepted it.
    bool Close() {
        if (h_ == INVALID_HANDLE_VALUE) return true;
        bool ok = CloseHandle(h_) != FALSE;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

// A search of FindFirstFileW: INVALID_HANDLE_VALUE means none.
class UniqueFind {
public:
    explicit UniqueFind(HANDLE h) : h_(h) {}
    ~UniqueFind() { if (h_ != INVALID_HANDLE_VALUE) FindClose(h_); }
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// Global memory locked for one scope: null when it cannot be.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockScope() { if (data_) GlobalUnlock(memory_); }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const void* get() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

// A DC's state saved for one scope (clip, selections, modes) and restored.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDc() { if (saved_) RestoreDC(dc_, saved_); }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

// GetDC needs ReleaseDC with the same window.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(GetDC(w)) {}
    ~WindowDc() { if (dc_) ReleaseDC(w_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() { if (dc_) DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~Selection() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

class PaintScope {
public:
    explicit PaintScope(HWND w) : w_(w) { dc_ = BeginPaint(w, &ps_); }
    ~PaintScope() { EndPaint(w_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return dc_; }
    const RECT& Dirty() const { return ps_.rcPaint; }

private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace win32
