// The program behind the entry point's view of it.
#include "forms/Entry.h"

#include "app/Program.h"

namespace {

class Entry final : public forms::Program {
public:
    Entry(forms::Services& services, api::Api& api) : program_(services, api) {}

    void Main() override { program_.Main(); }
    bool AnyFormLoaded() const override { return program_.AnyFormLoaded(); }
    int ExitCode() const override { return program_.ExitCode(); }
    bool GiveSoundBack() noexcept override { return program_.Form1.GiveSoundBack(); }
    void HideEverywhere() noexcept override { program_.Form1.HideEverywhere(); }

private:
    app::Program program_;
};

}  // namespace

std::unique_ptr<forms::Program> forms::CreateProgram(Services& services, api::Api& api) {
    return std::make_unique<Entry>(services, api);
}
