// The pattern buttons of the settings dialog: what the curtain shows when
// it next comes down, and the picker that loads and saves it.
#include "app/Program.h"
#include "settings/Form2.h"

namespace settings {

void Form2::Command1_Click(std::int16_t index) {
    switch (index) {
        case 0:
            // A clipboard held by another program fails here, before anything changed.
            program_.Form1.Image1.SetPicture(GetServices().ClipboardPicture());
            state_.PatternState = 1;
            break;
        case 1:
            program_.Form1.Image1.SetPicture({});
            state_.PatternState = 0;
            break;
        case 2:
        case 3:
            program_.Form4.BmpCheck = index == 2 ? 1 : 2;
            program_.Form4.ShowModal();  // the dialog waits until the picker is closed
            break;
        default:
            break;
    }
}

}  // namespace settings
