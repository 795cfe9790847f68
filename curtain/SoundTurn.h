#pragma once
#include <atomic>

namespace curtain {

// The user-interface thread's turn at the sound; refused once the last
// resort has taken it. Both flags are sequentially consistent: either the
// last resort sees this turn and waits for it, or the turn sees the last
// resort and does nothing.
class SoundTurn {
public:
    // A turn taken within another (the timer bringing the curtain down)
    // leaves the outer one's flag as it found it.
    SoundTurn(std::atomic<bool>& busy, const std::atomic<bool>& taken) : busy_(busy), outer_(busy.exchange(true)) {
        granted_ = !taken;
        if (!granted_) busy_ = outer_;
    }
    ~SoundTurn() { busy_ = outer_; }
    SoundTurn(const SoundTurn&) = delete;
    SoundTurn& operator=(const SoundTurn&) = delete;
    explicit operator bool() const { return granted_; }

private:
    std::atomic<bool>& busy_;
    const bool outer_;
    bool granted_ = false;
};

}  // namespace curtain
