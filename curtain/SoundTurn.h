#pragma once
#include <atomic>

namespace curtain {

// The user-interface thread's turn at the sound; refused once the last
// resort has taken it. Both flags are sequentially consistent: either the
// last resort sees this turn and waits for it, or the turn sees the last
// resort and does nothing.
class SoundTurn {
public:
    SoundTurn(std::atomic<bool>& busy, const std::atomic<bool>& taken) : busy_(busy) {
        busy_ = true;
        granted_ = !taken;
        if (!granted_) busy_ = false;
    }
    ~SoundTurn() { busy_ = false; }
    SoundTurn(const SoundTurn&) = delete;
    SoundTurn& operator=(const SoundTurn&) = delete;
    explicit operator bool() const { return granted_; }

private:
    std::atomic<bool>& busy_;
    bool granted_ = false;
};

}  // namespace curtain
