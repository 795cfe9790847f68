#pragma once
// Core Audio's notices that an audio endpoint came, went or changed state
// (IMMNotificationClient), so that the endpoints are listed again only
// then instead of at fixed times.
#include <windows.h>
#include <mmdeviceapi.h>

#include "win32/Handles.h"

namespace win32 {

class EndpointNotices {
public:
    EndpointNotices() = default;
    // Unregisters: to be ended on the thread that registered, before COM goes.
    ~EndpointNotices();
    EndpointNotices(const EndpointNotices&) = delete;
    EndpointNotices& operator=(const EndpointNotices&) = delete;

    // Registers at the first call, on the calling thread's COM. True when a
    // notice came since the last call, at the first call (nothing was heard
    // before it), and at every call where no notices can be had.
    bool Changed();

private:
    class Client;
    bool tried_ = false;
    ComRef<IMMDeviceEnumerator> enumerator_;
    Client* client_ = nullptr;  // one reference of ours, while registered
};

}  // namespace win32
