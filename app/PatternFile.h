#pragma once
// start.bmp, the pattern kept at exit for the next start: only this unit
// names it. Whether it is kept or shown is the settings' business
// (KeepExitPattern, PatternState); a picture that cannot be had is a
// Failure, which the caller turns into a plain curtain.
#include "forms/Services.h"

namespace app {

inline constexpr const char* kPatternFileName = "start.bmp";

inline forms::Picture LoadKeptPattern(forms::Services& services) { return services.LoadPicture(kPatternFileName); }

inline void KeepPattern(forms::Services& services, const forms::Picture& pattern) {
    services.SavePicture(pattern, kPatternFileName);
}

}  // namespace app
