// The menu bar as a real HMENU, built once from the menu tree.
#pragma once

#include <windows.h>

namespace zel::platform {

// Hidden items are left out with everything below them: Win32 menus have no
// hidden state, and nothing ever shows them. Separators stay in place, captions
// are taken as they are, "&" included. Commands carry CommandId(control).
HMENU BuildMenuBar();

}  // namespace zel::platform
