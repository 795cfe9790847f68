#pragma once
// Resource ids shared by ombry.rc and the Win32 backend. Plain #defines so
// windres can read them too.

// The program icon: window icon and the picture in the settings dialog.
#define IDI_OMBRY 1
