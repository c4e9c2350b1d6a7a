// The program's message loop. Messages pass the dialog manager first, which
// turns Alt with a button's access key into a click on that button if it is
// shown and enabled, and moves between the buttons with Tab.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/win32_window.h"

namespace zel::platform {

// Runs until the window has ended the program; returns the exit status.
int RunMessageLoop(const Win32Window& window);

// Handles every message already waiting, as the loop would; for tests. Gives
// the exit status if the program ended meanwhile.
std::optional<int> DeliverPendingMessages(const Win32Window& window);

}  // namespace zel::platform
