#include "win32/Audio.h"

#include <mmdeviceapi.h>
#include <audiopolicy.h>
#include <endpointvolume.h>

#include <memory>

#include "win32/Handles.h"
#include "win32/Text.h"

namespace win32 {

namespace {

// Spelled out here so that no GUID library is linked.
constexpr CLSID kMMDeviceEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr IID kIAudioEndpointVolume = {0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
constexpr IID kIAudioSessionManager2 = {0x77AA99A0, 0x1BD6, 0x484F, {0x8B, 0xC7, 0x2C, 0x65, 0x4C, 0x9A, 0x9B, 0x6F}};

HRESULT EndpointVolume(const std::string& id, ComRef<IAudioEndpointVolume>& out) {
    ComRef<IMMDeviceEnumerator> enumerator;
    HRESULT hr = Enumerator(enumerator);
    if (FAILED(hr)) return hr;
    IMMDevice* d = nullptr;
    hr = enumerator->GetDevice(Widen(id).c_str(), &d);
    if (FAILED(hr) || !d) return FAILED(hr) ? hr : E_POINTER;
    ComRef<IMMDevice> device(d);
    IAudioEndpointVolume* v = nullptr;
    hr = device->Activate(kIAudioEndpointVolume, CLSCTX_INPROC_SERVER, nullptr, reinterpret_cast<void**>(&v));
    if (FAILED(hr) || !v) return FAILED(hr) ? hr : E_POINTER;
    out.reset(v);
    return S_OK;
}

// Each active endpoint of that direction, until `each` answers false. A
// device that cannot be read is left out; the others still count.
template <class Each>
HRESULT ForEachActiveEndpoint(EDataFlow flow, Each each) {
    ComRef<IMMDeviceEnumerator> enumerator;
    HRESULT hr = Enumerator(enumerator);
    if (FAILED(hr)) return hr;
    IMMDeviceCollection* c = nullptr;
    hr = enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &c);
    if (FAILED(hr) || !c) return FAILED(hr) ? hr : E_POINTER;
    ComRef<IMMDeviceCollection> collection(c);
    UINT count = 0;
    hr = collection->GetCount(&count);
    if (FAILED(hr)) return hr;
    for (UINT i = 0; i < count; ++i) {
        IMMDevice* d = nullptr;
        if (FAILED(collection->Item(i, &d)) || !d) continue;
        ComRef<IMMDevice> device(d);
        if (!each(*device)) break;
    }
    return S_OK;
}

// Whether one of the device's audio sessions has a stream running; a
// device that cannot say has none.
bool AnySessionActive(IMMDevice& device) {
    IAudioSessionManager2* m = nullptr;
    if (FAILED(device.Activate(kIAudioSessionManager2, CLSCTX_INPROC_SERVER, nullptr, reinterpret_cast<void**>(&m))) ||
        !m)
        return false;
    ComRef<IAudioSessionManager2> manager(m);
    IAudioSessionEnumerator* e = nullptr;
    if (FAILED(manager->GetSessionEnumerator(&e)) || !e) return false;
    ComRef<IAudioSessionEnumerator> sessions(e);
    int count = 0;
    if (FAILED(sessions->GetCount(&count))) return false;
    for (int i = 0; i < count; ++i) {
        IAudioSessionControl* c = nullptr;
        if (FAILED(sessions->GetSession(i, &c)) || !c) continue;
        ComRef<IAudioSessionControl> session(c);
        AudioSessionState state = AudioSessionStateInactive;
        if (SUCCEEDED(session->GetState(&state)) && state == AudioSessionStateActive) return true;
    }
    return false;
}

}  // namespace

HRESULT Enumerator(ComRef<IMMDeviceEnumerator>& out) {
    IMMDeviceEnumerator* e = nullptr;
    HRESULT hr = CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIMMDeviceEnumerator,
                                  reinterpret_cast<void**>(&e));
    out.reset(SUCCEEDED(hr) ? e : nullptr);
    return SUCCEEDED(hr) && !e ? E_POINTER : hr;
}

HRESULT ActiveRenderEndpoints(std::vector<std::string>& ids) {
    ids.clear();
    return ForEachActiveEndpoint(eRender, [&](IMMDevice& device) {
        LPWSTR id = nullptr;
        if (FAILED(device.GetId(&id)) || !id) return true;
        ids.push_back(Narrow(id));
        CoTaskMemFree(id);
        return true;
    });
}

HRESULT EndpointMute(const std::string& id, bool& muted) {
    ComRef<IAudioEndpointVolume> volume;
    HRESULT hr = EndpointVolume(id, volume);
    if (FAILED(hr)) return hr;
    BOOL m = FALSE;
    hr = volume->GetMute(&m);
    if (SUCCEEDED(hr)) muted = m != FALSE;
    return hr;
}

HRESULT SetEndpointMute(const std::string& id, bool muted) {
    ComRef<IAudioEndpointVolume> volume;
    HRESULT hr = EndpointVolume(id, volume);
    if (FAILED(hr)) return hr;
    return volume->SetMute(muted ? TRUE : FALSE, nullptr);
}

// On Vista, which has no session manager, no device can be asked.
HRESULT CaptureSessionActive(bool& active) {
    active = false;
    return ForEachActiveEndpoint(eCapture, [&](IMMDevice& device) {
        active = AnySessionActive(device);
        return !active;
    });
}

}  // namespace win32
