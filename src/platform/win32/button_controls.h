// The command buttons as real BUTTON child controls, from the button table.
#pragma once

#include <windows.h>

#include "app/buttons.h"

namespace zel::platform {

// The font height for CreateFontW: negative, so that it is the character
// height without the internal leading, in pixels at 96 dots per inch, where
// the table's geometry was laid out (24 pt: -32, 8.25 pt: -11).
int FontHeight(int points100);

// Throws Failure if the system has no font left to give.
HFONT CreateButtonFont(const ButtonFont& font);

// A push button at the table's place in the parent's client area, with the
// table's initial shown and enabled states and the given font. The caller
// creates the buttons in tab order: each new child goes below the ones before
// it, and the dialog manager tabs from top to bottom.
HWND CreateButton(HWND parent, const ButtonDef& button, HFONT font);

}  // namespace zel::platform
