#include "curtain/Covers.h"

#include "api/Api.h"
#include "app/Program.h"
#include "resources/CoverLayout.h"

namespace curtain {

namespace layout = resources::cover;

namespace {
constexpr int kRightButton = 2;
}  // namespace

Cover::Cover(app::Program& program)
    : Form(program.services, layout::kForm), Image1(*this, layout::kImage1, true), program_(program) {
    Image1.DblClick = [this] { program_.Form1.Image1_DblClick(); };
    // The curtain's own right-click, as if it had been on the curtain: the
    // hook opens the menu at the pointer.
    Image1.MouseUp = [this](const forms::MouseEvent& e) {
        if (e.button == kRightButton)
            program_.api.PostMessageA(program_.state.CurtainHwnd, api::WM_RBUTTONUP, 0, 0);
    };
}

void Cover::Place(const forms::Bounds& monitor, const forms::Picture& picture) {
    Load();
    SetHeight(monitor.height);
    SetWidth(monitor.width);
    SetTop(monitor.top);
    SetLeft(monitor.left);
    Image1.SetHeight(monitor.height);
    Image1.SetWidth(monitor.width);
    Image1.SetTop(0);
    Image1.SetLeft(0);
    if (!(Image1.Picture() == picture)) Image1.SetPicture(picture);
    program_.api.SetWindowPos(hWnd(), api::HWND_TOPMOST, 0, 0, 0, 0,
                              api::SWP_NOSIZE | api::SWP_NOMOVE | api::SWP_NOACTIVATE);
    SetVisible(true);
}

Covers::Covers(app::Program& program) : program_(program) {}

// The windows go before their controls do.
Covers::~Covers() {
    for (auto& cover : covers_) cover->Discard();
}

std::vector<forms::Bounds> Covers::Others(std::vector<forms::Bounds> all) const {
    if (!program_.state.Options.EveryMonitor) return {};
    if (!all.empty()) all.erase(all.begin());
    return all;
}

void Covers::Spread() {
    covered_.clear();  // placed afresh: each spread is also a re-assertion
    guard_.Reset();
    Fit(Others(program_.services.Monitors()));
}

void Covers::Fit(const std::vector<forms::Bounds>& others) {
    const forms::Picture& picture = program_.Form1.Image1.Picture();
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (i == covers_.size()) covers_.push_back(std::make_unique<Cover>(program_));
        if (i >= covered_.size() || !(covered_[i] == others[i]) || !(covers_[i]->Image1.Picture() == picture))
            covers_[i]->Place(others[i], picture);
    }
    // Kept loaded, hidden: the next spread is then only a move.
    for (std::size_t i = others.size(); i < covers_.size(); ++i)
        if (covers_[i]->Loaded() && covers_[i]->Visible()) covers_[i]->SetVisible(false);
    covered_ = others;
}

void Covers::Release() {
    Fit({});
}

void Covers::Refresh() {
    for (std::size_t i = 0; i < covered_.size(); ++i) covers_[i]->Refresh();
}

void Covers::Watch() {
    if (program_.state.CurtainDown == 0) return;
    const std::vector<forms::Bounds> all = program_.services.Monitors();
    Fit(Others(all));
    std::vector<forms::Bounds> covered{all.front()};
    std::vector<api::Handle> windows{program_.Form1.hWnd()};
    covered.insert(covered.end(), covered_.begin(), covered_.end());
    for (std::size_t i = 0; i < covered_.size(); ++i) windows.push_back(covers_[i]->hWnd());
    guard_.Tick(program_.services, program_.api, covered, windows);
}

void Covers::Unload() {
    for (auto& cover : covers_) cover->Unload();
    covered_.clear();
}

}  // namespace curtain
