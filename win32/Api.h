#pragma once
// The named platform calls, made as named with the arguments given; their
// results go back to the caller unexamined.
#include "api/Api.h"

#include <memory>

namespace win32 {

class EndpointNotices;

class Win32Api final : public api::Api {
public:
    Win32Api();
    ~Win32Api() override;  // before COM goes: the endpoint notices are unregistered
    Win32Api(const Win32Api&) = delete;
    Win32Api& operator=(const Win32Api&) = delete;

    long SetWindowPos(api::Handle hwnd, api::Handle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    std::intptr_t SetWindowLongA(api::Handle hwnd, int index, std::intptr_t newLong) override;
    std::intptr_t CallWindowProcA(std::intptr_t prevProc, api::Handle hwnd, unsigned msg,
                                  std::uintptr_t wParam, std::intptr_t lParam) override;
    long SetForegroundWindow(api::Handle hwnd) override;
    api::Handle GetForegroundWindow() override;
    long IsWindow(api::Handle hwnd) override;
    api::Handle SetFocus(api::Handle hwnd) override;
    long PostMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    long RegisterHotKey(api::Handle hwnd, int id, unsigned modifiers, unsigned vk) override;
    long UnregisterHotKey(api::Handle hwnd, int id) override;
    unsigned long GetLastError() override;
    long ReplyMessage(std::intptr_t result) override;
    unsigned RegisterWindowMessageA(const char* name) override;
    long ChangeWindowMessageFilterEx(api::Handle hwnd, unsigned msg, unsigned action) override;
    bool TokenElevated() override;
    long ShowWindowAsync(api::Handle hwnd, int cmdShow) override;
    long SystemParametersInfoW(unsigned action, unsigned uiParam, int& value, unsigned winIni) override;
    bool ProcessRunningInSession(const std::string& exeName) override;
    long GetLastInputInfo(std::uint32_t& time) override;
    long LockWorkStation() override;
    long WTSRegisterSessionNotification(api::Handle hwnd, unsigned flags) override;
    long WTSUnRegisterSessionNotification(api::Handle hwnd) override;
    long WTSQueryConnectState(int& state) override;
    long SHQueryUserNotificationState(int& state) override;
    std::uint32_t GetTickCount() override;
    unsigned GetUserDefaultUILanguage() override;

    long Shell_NotifyIconW(unsigned message, const api::NotifyIconData& data) override;

    unsigned waveOutGetVolume(unsigned device, std::uint32_t& volume) override;
    unsigned waveOutSetVolume(unsigned device, std::uint32_t volume) override;
    unsigned auxGetVolume(unsigned device, std::uint32_t& volume) override;
    unsigned auxSetVolume(unsigned device, std::uint32_t volume) override;
    unsigned midiOutGetNumDevs() override;
    std::vector<std::string> EnumAudioEndpoints() override;
    bool AudioEndpointsChanged() override;
    long GetMute(const std::string& endpoint, bool& muted) override;
    long SetMute(const std::string& endpoint, bool muted) override;
    long CaptureSessionActive(bool& active) override;

    std::intptr_t AddressOf(api::WindowProc proc) override;

private:
    std::unique_ptr<EndpointNotices> endpointNotices_;
};

}  // namespace win32
