#pragma once
// A record of the sound calls, one line each, written only when the
// environment names a file in OMBRY_TRACE. The end-to-end tests read it
// where no outside observer can see a call's effect (an endpoint's mute
// under Wine). Each line goes straight to the file, so a crash or a kill
// loses none of those before it. A failure the program stopped and went
// on from is a line there too.
#include <string_view>

namespace win32 {

bool Tracing();
void Trace(std::string_view line);
// Tells stopped failures to the trace, where one is kept.
void TraceStoppedFailures();

}  // namespace win32
