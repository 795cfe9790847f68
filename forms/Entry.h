#pragma once
// The program as the entry point sees it: started, asked whether a form is
// still loaded and what the process ends with, and called on by the last
// resort. The program provides it through CreateProgram, so the entry point
// needs none of the program's headers.
#include <memory>

namespace api {
class Api;
}

namespace forms {

class Services;

class Program {
public:
    virtual ~Program() = default;

    // The start procedure; the messages follow while a form is loaded.
    virtual void Main() = 0;
    virtual bool AnyFormLoaded() const = 0;
    // 0, or why a command line was not carried out.
    virtual int ExitCode() const = 0;

    // The last resort's calls: any thread, never a throw.
    // Gives the sound back if the program still holds it; says whether it did.
    virtual bool GiveSoundBack() noexcept = 0;
    // Hides every curtain window at once, never waiting for their thread.
    virtual void HideEverywhere() noexcept = 0;
};

// The one function the program provides to the entry point. Both arguments
// outlive the program.
std::unique_ptr<Program> CreateProgram(Services& services, api::Api& api);

}  // namespace forms
