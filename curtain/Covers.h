#pragma once
// The curtain over the monitors other than the primary. Form1 stays the
// curtain proper, over the primary, and holds the state; each other
// monitor gets a Cover of its own while the curtain is down, showing the
// same picture stretched to that monitor. A double-click on a cover raises
// the whole curtain, a right-click opens the curtain's menu.
#include <memory>
#include <vector>

#include "curtain/TopmostGuard.h"
#include "forms/Form.h"
#include "forms/Services.h"

namespace app {
class Program;
}

namespace curtain {

class Cover : public forms::Form {
public:
    explicit Cover(app::Program& program);
    // Over this monitor, showing this picture, topmost.
    void Place(const forms::Bounds& monitor, const forms::Picture& picture);

    forms::Image Image1;  // the curtain's picture, stretched

private:
    app::Program& program_;
};

class Covers {
public:
    explicit Covers(app::Program& program);
    ~Covers();
    Covers(const Covers&) = delete;
    Covers& operator=(const Covers&) = delete;

    // With the curtain's spread: a cover over every other monitor (none
    // when only the primary is to be covered).
    void Spread();
    // With the curtain's raise: every cover hidden.
    void Release();
    // Every shown cover painted now, not when the event is over.
    void Refresh();
    // On each tick of the screen watch while the curtain is down: monitors
    // that came, went, moved or changed size are covered or released, a new
    // picture of the curtain reaches the covers, and another program's
    // window that shows over the curtain is covered again.
    void Watch();
    // Ends every cover's window, with the curtain's unload.
    void Unload();

    const std::vector<std::unique_ptr<Cover>>& All() const { return covers_; }

private:
    void Fit(const std::vector<forms::Bounds>& others);
    // All monitors but the primary, or none when the option is off.
    std::vector<forms::Bounds> Others(std::vector<forms::Bounds> all) const;

    app::Program& program_;
    std::vector<std::unique_ptr<Cover>> covers_;  // the first covered_.size() are shown
    std::vector<forms::Bounds> covered_;          // the monitors they cover
    TopmostGuard guard_;
};

}  // namespace curtain
