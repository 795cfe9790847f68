#pragma once
// The audio render endpoints through Core Audio. Each call opens what it
// needs and releases it again, so it works on any thread that has COM.
#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

// The ids of the active render endpoints; on failure none and the HRESULT.
HRESULT ActiveRenderEndpoints(std::vector<std::string>& ids);
HRESULT EndpointMute(const std::string& id, bool& muted);
HRESULT SetEndpointMute(const std::string& id, bool muted);

}  // namespace win32
