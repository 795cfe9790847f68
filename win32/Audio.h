#pragma once
// The audio endpoints through Core Audio. Each call opens what it
// needs and releases it again, so it works on any thread that has COM.
#include <windows.h>
#include <mmdeviceapi.h>

#include <string>
#include <vector>

#include "win32/Handles.h"

namespace win32 {

// A device enumerator of the calling thread's COM.
HRESULT Enumerator(ComRef<IMMDeviceEnumerator>& out);

// The ids of the active render endpoints; on failure none and the HRESULT.
HRESULT ActiveRenderEndpoints(std::vector<std::string>& ids);
HRESULT EndpointMute(const std::string& id, bool& muted);
HRESULT SetEndpointMute(const std::string& id, bool muted);
// Whether an audio session on an active capture endpoint (a microphone in
// use, a call) is active.
HRESULT CaptureSessionActive(bool& active);

}  // namespace win32
