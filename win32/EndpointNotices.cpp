#include "win32/EndpointNotices.h"

#include <atomic>
#include <cstdio>
#include <new>

#include "win32/Audio.h"
#include "win32/Trace.h"

namespace win32 {

namespace {
// Spelled out here so that no GUID library is linked.
constexpr IID kIMMNotificationClient = {0x7991EEC9, 0x7E89, 0x4D85, {0x83, 0x90, 0x6C, 0x70, 0x3C, 0xEC, 0x60, 0xC0}};
constexpr IID kIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}  // namespace

// Called on a thread of Core Audio's, any time until it is unregistered:
// it only raises a flag, which the user-interface thread takes. Its count
// is atomic for the same reason; the object lives until the last Release,
// so a notice still under way at the unregistration finds it there.
class EndpointNotices::Client final : public IMMNotificationClient {
public:
    bool Take() noexcept { return heard_.exchange(false); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, kIUnknown) || IsEqualIID(iid, kIMMNotificationClient)) {
            *out = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --count_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return Heard(); }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return Heard(); }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return Heard(); }
    // Not a change of which endpoints are active as such, but rare, and a
    // device that comes often becomes the default at once.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override { return Heard(); }
    // Many a time a second on some machines (volumes, names): not a change
    // of which endpoints are active.
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    ~Client() = default;
    HRESULT Heard() noexcept {
        heard_.store(true);
        return S_OK;
    }

    std::atomic<ULONG> count_{1};
    std::atomic<bool> heard_{false};
};

EndpointNotices::~EndpointNotices() {
    if (!client_) return;
    enumerator_->UnregisterEndpointNotificationCallback(client_);
    client_->Release();
}

bool EndpointNotices::Changed() {
    if (client_) return client_->Take();
    if (tried_) return true;
    tried_ = true;
    if (FAILED(Enumerator(enumerator_))) return true;
    // Register and Unregister leave the count to us (the documentation says
    // so since Windows 7; before, they added and released one of their own):
    // ours is held from here until after the unregistration.
    auto* client = new (std::nothrow) Client;
    if (!client) return true;
    const HRESULT hr = enumerator_->RegisterEndpointNotificationCallback(client);
    if (Tracing()) {
        char line[80];
        std::snprintf(line, sizeof line, "RegisterEndpointNotificationCallback() -> 0x%lx",
                      SUCCEEDED(hr) ? 0UL : static_cast<unsigned long>(hr));
        Trace(line);
    }
    if (FAILED(hr)) {
        client->Release();
        return true;
    }
    client_ = client;
    return true;
}

}  // namespace win32
