// The pattern on the spread curtain: a picture from the clipboard (as a
// screen capture leaves it there) and the kept "start.bmp", each stretched
// over the whole screen.
#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

OMBRY_SCENARIO(PatternFromClipboard, "pattern-clipboard") {
    // Red on the left, blue on the right, put there like a screen capture.
    if (!Check(PutOnClipboard(HalvesDib(0xff0000, 0x0000ff)), "a picture is on the clipboard")) return;
    App app;
    // Pattern not kept, pattern shown: the curtain takes the clipboard's picture.
    HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 0, 0, 1));
    if (!h) return;
    CheckPatternShown(h, ctx, 0xff0000, 0x0000ff, "the clipboard's picture");
}

OMBRY_SCENARIO(PatternFromStartBmp, "pattern-start-bmp") {
    // Green on the left, yellow on the right, kept as start.bmp.
    if (!Check(WriteBmpFile(ctx.dir + L"\\start.bmp", HalvesDib(0x00ff00, 0xffff00)), "start.bmp written")) return;
    PutOnClipboard(HalvesDib(0xff0000, 0x0000ff));  // not to be taken
    App app;
    HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 0, 1, 1));
    if (!h) return;
    CheckPatternShown(h, ctx, 0x00ff00, 0xffff00, "start.bmp");
}

}  // namespace
}  // namespace e2e
