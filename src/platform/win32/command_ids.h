// Menu items and buttons both arrive as WM_COMMAND: one id space for both, the
// control's index offset by 100 so that the dialog manager's IDOK (1) and
// IDCANCEL (2), sent for Enter and Esc, name no control.
#pragma once

#include <optional>

#include "app/controls.h"

namespace zel::platform {

inline constexpr unsigned kFirstCommandId = 100;

constexpr unsigned CommandId(Control control) {
  return kFirstCommandId + static_cast<unsigned>(Index(control));
}

constexpr std::optional<Control> ControlOfCommand(unsigned id) {
  if (id < kFirstCommandId || id - kFirstCommandId >= kControlCount) return std::nullopt;
  return static_cast<Control>(id - kFirstCommandId);
}

}  // namespace zel::platform
