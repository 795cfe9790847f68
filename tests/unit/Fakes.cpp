#include "Fakes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace fakes {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Hex(unsigned v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%x", v);
    return b;
}

bool Windowless(forms::Kind k) {
    return k == forms::Kind::Image || k == forms::Kind::Timer || k == forms::Kind::Menu ||
           k == forms::Kind::MenuItem;
}

}  // namespace

bool NoCase::operator()(const std::string& a, const std::string& b) const { return Lower(a) < Lower(b); }

std::string Log::Name(std::intptr_t h) const {
    if (h == api::HWND_TOPMOST) return "HWND_TOPMOST";
    auto it = names.find(h);
    return it != names.end() ? it->second : std::to_string(h);
}

std::vector<std::string> Log::Only(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        for (const std::string& p : prefixes)
            if (c.rfind(p, 0) == 0) {
                out.push_back(c);
                break;
            }
    return out;
}

std::string Describe(const forms::Picture& p) {
    if (p.Empty()) return "none";
    auto* f = dynamic_cast<const FakePicture*>(p.Data());
    return f ? f->Origin() : "?";
}

// A loaded form: hands out window handles and records every change.
class FakePeer : public forms::FormPeer {
public:
    FakePeer(FakeServices& services, forms::Form& form) : services_(services), form_(form) {
        Log& log = services_.log();
        handles_[&form] = services_.NewHandle();
        log.names[handles_[&form]] = form.Name();
        for (forms::Control* c : form.Controls()) {
            if (Windowless(c->GetKind())) continue;
            handles_[c] = services_.NewHandle();
            log.names[handles_[c]] = c->FullName();
        }
        services_.loaded.push_back(&form);
        log.Add("Load(" + form.Name() + ")");
    }
    ~FakePeer() override {
        services_.log().Add("Destroy(" + form_.Name() + ")");
        auto& l = services_.loaded;
        l.erase(std::remove(l.begin(), l.end(), &form_), l.end());
    }

    void Changed(forms::Control& c, forms::Prop p) override {
        services_.log().Add(c.FullName() + "." + forms::PropName(p) + "=" + Value(c, p));
    }
    forms::Handle WindowOf(const forms::Control& c) const override {
        auto it = handles_.find(&c);
        return it == handles_.end() ? 0 : it->second;
    }
    void PopupMenu(forms::Menu& m, std::optional<forms::TwipsPoint> at) override {
        std::string items;
        for (forms::MenuItem* i : m.Items()) items += (items.empty() ? "" : "|") + i->Caption();
        const std::string where = at ? " at " + std::to_string(at->x) + "," + std::to_string(at->y) : "";
        services_.log().Add("PopupMenu(" + m.Name() + ":" + items + where + ")");
        if (services_.onPopupMenu) services_.onPopupMenu(m);
    }
    void ShowModal() override {
        services_.log().Add("ShowModal(" + form_.Name() + ")");
        if (services_.onShowModal) services_.onShowModal(form_);
    }
    void SetFocus(forms::Control& c) override { services_.log().Add("SetFocus(" + c.FullName() + ")"); }
    void BringToFront() override { services_.log().Add("BringToFront(" + form_.Name() + ")"); }
    void Refresh() override { services_.log().Add("Refresh(" + form_.Name() + ")"); }

private:
    static std::string Value(forms::Control& c, forms::Prop p) {
        using forms::Prop;
        switch (p) {
            case Prop::Left: return std::to_string(c.Left());
            case Prop::Top: return std::to_string(c.Top());
            case Prop::Width: return std::to_string(c.Width());
            case Prop::Height: return std::to_string(c.Height());
            case Prop::Visible: return c.Visible() ? "1" : "0";
            case Prop::Enabled: return c.Enabled() ? "1" : "0";
            case Prop::Caption: return c.Caption();
            case Prop::Text: return static_cast<forms::TextBox&>(c).Text();
            case Prop::Picture: return Describe(static_cast<forms::Image&>(c).Picture());
            case Prop::Interval: return std::to_string(static_cast<forms::Timer&>(c).Interval());
            case Prop::Value:
                if (auto* o = dynamic_cast<forms::OptionButton*>(&c)) return o->Value() ? "1" : "0";
                if (auto* k = dynamic_cast<forms::CheckBox*>(&c)) return std::to_string(k->Value());
                return "";
            case Prop::ScaleMode:
                return static_cast<forms::PictureBox&>(c).ScaleMode() == forms::ScaleMode::Pixels ? "pixels" : "twips";
            case Prop::BorderStyle:
                return static_cast<forms::PictureBox&>(c).BorderStyle() == forms::BorderStyle::None ? "none" : "single";
            default: return "";
        }
    }

    FakeServices& services_;
    forms::Form& form_;
    std::map<const forms::Control*, forms::Handle> handles_;
};

std::unique_ptr<forms::FormPeer> FakeServices::CreatePeer(forms::Form& form) {
    return std::make_unique<FakePeer>(*this, form);
}

forms::Picture FakeServices::MakePicture(const std::string& origin) {
    return forms::Picture(std::make_shared<FakePicture>(origin, forms::PictureType::Bitmap, NewHandle()));
}

forms::Picture FakeServices::LoadPicture(const std::string& file) {
    if (file.empty()) return {};
    auto it = files.find(file);
    if (it == files.end() || it->second.rfind("BM", 0) != 0) throw forms::Failure("cannot load " + file);
    return MakePicture(file);
}

void FakeServices::SavePicture(const forms::Picture& picture, const std::string& file) {
    log_.Add("SavePicture(" + file + ")");
    if (picture.Empty() || writesFail) throw forms::Failure("cannot save " + file);
    files[file] = "BM" + Describe(picture);
}

forms::Picture FakeServices::ProgramIcon() {
    if (icon_.Empty())
        icon_ = forms::Picture(std::make_shared<FakePicture>("icon", forms::PictureType::Icon, NewHandle()));
    return icon_;
}

std::optional<std::string> FakeServices::ReadFile(const std::string& name) {
    log_.Add("ReadFile(" + name + ")");
    auto it = files.find(name);
    if (it == files.end() || unreadable.count(name)) return std::nullopt;
    return it->second;
}

bool FakeServices::FileExists(const std::string& name) { return files.count(name) > 0; }

// As the shell's: another program's shortcut of the same name stays.
bool FakeServices::SetStartupShortcut(bool on) {
    log_.Add(std::string("SetStartupShortcut(") + (on ? "on" : "off") + ")");
    if (writesFail || startupShortcut == Shortcut::Others) return false;
    startupShortcut = on ? Shortcut::Ours : Shortcut::None;
    return true;
}

bool FakeServices::ReplaceFileKeepingOld(const std::string& name, std::string_view bytes,
                                         const std::string& keepOldAs) {
    log_.Add("ReplaceFileKeepingOld(" + name + "," + keepOldAs + ")");
    if (writesFail) return false;
    if (files.count(name)) files[keepOldAs] = files[name];
    files[name] = std::string(bytes);
    return true;
}

bool FakeServices::ReplaceFile(const std::string& name, std::string_view bytes) {
    log_.Add("ReplaceFile(" + name + ")");
    if (writesFail) return false;
    files[name] = std::string(bytes);
    return true;
}

void FakeServices::DeleteFile(const std::string& name) {
    if (files.erase(name) == 0) throw forms::Failure("no file " + name);
}

std::vector<std::string> FakeServices::ListFiles(const std::string& pattern) {
    std::string ext = Lower(pattern.substr(pattern.find('.') == std::string::npos ? pattern.size() : pattern.find('.')));
    std::vector<std::string> out;
    for (const auto& [name, content] : files)
        if (name.size() >= ext.size() && Lower(name).compare(name.size() - ext.size(), ext.size(), ext) == 0)
            out.push_back(name);
    return out;
}

// ASCII and the full-width Latin letters, which is what the tests type.
std::string FakeServices::UpperCase(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto b = [&](std::size_t k) { return static_cast<unsigned char>(out[k]); };
        if (b(i) >= 'a' && b(i) <= 'z') {
            out[i] = static_cast<char>(b(i) - 32);
        } else if (i + 2 < out.size() && b(i) == 0xEF && b(i + 1) == 0xBD && b(i + 2) >= 0x81 && b(i + 2) <= 0x9A) {
            // U+FF41..U+FF5A (ａ..ｚ) -> U+FF21..U+FF3A (Ａ..Ｚ)
            out[i + 1] = static_cast<char>(0xBC);
            out[i + 2] = static_cast<char>(b(i + 2) + 0x20);
            i += 2;
        }
    }
    return out;
}

// ---- FakeApi ----

std::intptr_t FakeApi::ProcOf(std::intptr_t hwnd) const {
    auto it = procs_.find(hwnd);
    return it == procs_.end() ? kOriginalProc : it->second;
}

bool FakeServices::SendToRunningCopy(const forms::Form& form, const std::string& message, std::uintptr_t wParam,
                                     std::intptr_t taken) {
    log_.Add("SendToRunningCopy(" + std::string(form.Traits().name) + "," + message + "," + std::to_string(wParam) +
             "," + std::to_string(taken) + ")");
    return true;
}

std::intptr_t FakeApi::Deliver(std::intptr_t hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    auto it = addresses_.find(ProcOf(hwnd));
    if (it == addresses_.end()) {
        log_.Add("OwnProc(" + log_.Name(hwnd) + "," + Hex(msg) + ")");
        return 0;
    }
    return it->second(hwnd, msg, wParam, lParam);
}

void FakeApi::PumpPosted() {
    while (!posted_.empty()) {
        Posted p = posted_.front();
        posted_.pop_front();
        Deliver(p.hwnd, p.msg, p.wParam, p.lParam);
    }
}

long FakeApi::SetWindowPos(api::Handle hwnd, api::Handle after, int x, int y, int cx, int cy, unsigned flags) {
    log_.Add("SetWindowPos(" + log_.Name(hwnd) + "," + log_.Name(after) + "," + std::to_string(x) + "," +
             std::to_string(y) + "," + std::to_string(cx) + "," + std::to_string(cy) + "," +
             std::to_string(flags) + ")");
    return 1;
}

std::intptr_t FakeApi::SetWindowLongA(api::Handle hwnd, int index, std::intptr_t value) {
    std::string v = addresses_.count(value) ? "hook" : value == kOriginalProc ? "own" : std::to_string(value);
    log_.Add("SetWindowLongA(" + log_.Name(hwnd) + "," + std::to_string(index) + "," + v + ")");
    if (index != api::GWL_WNDPROC) return 0;
    std::intptr_t old = ProcOf(hwnd);
    procs_[hwnd] = value;
    return old;
}

std::intptr_t FakeApi::CallWindowProcA(std::intptr_t prev, api::Handle hwnd, unsigned msg, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    std::string p = prev == kOriginalProc ? "own" : std::to_string(prev);
    log_.Add("CallWindowProcA(" + p + "," + log_.Name(hwnd) + "," + Hex(msg) + "," + std::to_string(wParam) +
             "," + std::to_string(lParam) + ")");
    return 0;
}

long FakeApi::SetForegroundWindow(api::Handle hwnd) {
    log_.Add("SetForegroundWindow(" + log_.Name(hwnd) + ")");
    if (foregroundRefused) return 0;
    foreground = hwnd;
    return 1;
}

long FakeApi::IsWindow(api::Handle hwnd) {
    return hwnd != 0 && std::find(goneWindows.begin(), goneWindows.end(), hwnd) == goneWindows.end();
}

api::Handle FakeApi::SetFocus(api::Handle hwnd) {
    log_.Add("SetFocus(" + log_.Name(hwnd) + ")");
    return 0;
}

long FakeApi::PostMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    log_.Add("PostMessageA(" + log_.Name(hwnd) + "," + Hex(msg) + "," + std::to_string(wParam) + "," +
             std::to_string(lParam) + ")");
    posted_.push_back({hwnd, msg, wParam, lParam});
    return 1;
}

std::intptr_t FakeApi::SendMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    log_.Add("SendMessageA(" + log_.Name(hwnd) + "," + Hex(msg) + "," + std::to_string(wParam) + "," +
             std::to_string(lParam) + ")");
    if (onSendMessage) onSendMessage(hwnd, msg);
    return 0;
}

long FakeApi::RegisterHotKey(api::Handle hwnd, int id, unsigned modifiers, unsigned vk) {
    log_.Add("RegisterHotKey(" + log_.Name(hwnd) + "," + std::to_string(id) + "," + std::to_string(modifiers) +
             "," + std::to_string(vk) + ")");
    if (noRepeatRefusedWith != 0 && (modifiers & api::MOD_NOREPEAT)) {
        lastError = noRepeatRefusedWith;
        return 0;
    }
    const unsigned combination = ((modifiers & ~api::MOD_NOREPEAT) << 16) | vk;
    if (std::find(heldKeys.begin(), heldKeys.end(), combination) == heldKeys.end()) return 1;
    lastError = api::ERROR_HOTKEY_ALREADY_REGISTERED;
    return 0;
}

long FakeApi::UnregisterHotKey(api::Handle hwnd, int id) {
    log_.Add("UnregisterHotKey(" + log_.Name(hwnd) + "," + std::to_string(id) + ")");
    return 1;
}

long FakeApi::ReplyMessage(std::intptr_t result) {
    log_.Add("ReplyMessage(" + std::to_string(result) + ")");
    return 1;
}

unsigned FakeApi::RegisterWindowMessageA(const char* name) {
    log_.Add(std::string("RegisterWindowMessageA(") + name + ")");
    return std::string(name) == "TaskbarCreated" ? kTaskbarCreated : kCommandMessage;
}

long FakeApi::ChangeWindowMessageFilterEx(api::Handle hwnd, unsigned msg, unsigned action) {
    log_.Add("ChangeWindowMessageFilterEx(" + log_.Name(hwnd) + "," + Hex(msg) + "," + std::to_string(action) + ")");
    return 1;
}

long FakeApi::ShowWindowAsync(api::Handle hwnd, int cmdShow) {
    log_.Add("ShowWindowAsync(" + log_.Name(hwnd) + "," + std::to_string(cmdShow) + ")");
    return 1;
}

long FakeApi::SystemParametersInfoW(unsigned action, unsigned /*uiParam*/, int& value, unsigned /*winIni*/) {
    log_.Add("SystemParametersInfoW(" + Hex(action) + ")");
    value = action == api::SPI_GETSCREENREADER && screenReader;
    return 1;
}

long FakeApi::Shell_NotifyIconW(unsigned message, const api::NotifyIconData& d) {
    notified.push_back(d);
    log_.Add("Shell_NotifyIconW(" + std::to_string(message) + "," + log_.Name(d.hWnd) + "," + std::to_string(d.uID) +
             "," + std::to_string(d.uFlags) + "," + d.szTip + ")");
    return shellAnswer ? shellAnswer(message) : 1;
}

unsigned FakeApi::waveOutGetVolume(unsigned device, std::uint32_t& volume) {
    log_.Add("waveOutGetVolume(" + std::to_string(device) + ")");
    volume = waveVolume;
    return 0;
}

unsigned FakeApi::waveOutSetVolume(unsigned device, std::uint32_t volume) {
    log_.Add("waveOutSetVolume(" + std::to_string(device) + "," + Hex(volume) + ")");
    waveVolume = volume;
    return 0;
}

constexpr unsigned kBadDeviceId = 2;  // MMSYSERR_BADDEVICEID

unsigned FakeApi::auxGetVolume(unsigned device, std::uint32_t& volume) {
    log_.Add("auxGetVolume(" + std::to_string(device) + ")");
    if (device >= auxVolumes.size()) return kBadDeviceId;
    volume = auxVolumes[device];
    return 0;
}

unsigned FakeApi::auxSetVolume(unsigned device, std::uint32_t volume) {
    log_.Add("auxSetVolume(" + std::to_string(device) + "," + Hex(volume) + ")");
    if (device >= auxVolumes.size()) return kBadDeviceId;
    auxVolumes[device] = volume;
    return 0;
}

long FakeApi::GetLastInputInfo(std::uint32_t& time) {
    time = lastInput;
    return 1;
}

long FakeApi::LockWorkStation() {
    log_.Add("LockWorkStation()");
    return lockAnswer;
}

unsigned FakeApi::midiOutGetNumDevs() {
    log_.Add("midiOutGetNumDevs()");
    return midiDevices;
}

constexpr long kEFail = static_cast<long>(0x80004005);  // E_FAIL

FakeApi::Endpoint* FakeApi::FindEndpoint(const std::string& id) {
    for (Endpoint& e : endpoints)
        if (e.id == id) return &e;
    return nullptr;
}

std::vector<std::string> FakeApi::EnumAudioEndpoints() {
    log_.Add("EnumAudioEndpoints()");
    std::vector<std::string> ids;
    for (const Endpoint& e : endpoints) ids.push_back(e.id);
    return ids;
}

bool FakeApi::AudioEndpointsChanged() {
    std::vector<std::string> ids;
    for (const Endpoint& e : endpoints) ids.push_back(e.id);
    // Core Audio announces each change of the list above.
    const bool changed = announced_ != ids;
    announced_ = std::move(ids);
    return changed;
}

long FakeApi::GetMute(const std::string& endpoint, bool& muted) {
    log_.Add("GetMute(" + endpoint + ")");
    Endpoint* e = FindEndpoint(endpoint);
    if (!e || e->fails) return kEFail;
    muted = e->muted;
    return 0;
}

long FakeApi::SetMute(const std::string& endpoint, bool muted) {
    log_.Add("SetMute(" + endpoint + "," + (muted ? "1" : "0") + ")");
    Endpoint* e = FindEndpoint(endpoint);
    if (!e || e->fails) return kEFail;
    e->muted = muted;
    return 0;
}

std::intptr_t FakeApi::AddressOf(api::WindowProc proc) {
    std::intptr_t address = 0x7000 + static_cast<std::intptr_t>(addresses_.size()) * 0x10;
    addresses_[address] = std::move(proc);
    return address;
}

}  // namespace fakes
