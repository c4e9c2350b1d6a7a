// The one place where handlers run. It lets a click through only from a control
// the user can reach (a shown, enabled button; a command of the menu that is not
// hidden), catches the failure a handler lets out, reports it and tells the
// platform layer to end the program.
#pragma once

#include "app/frm_zelmiku.h"
#include "platform/failure_report.h"

namespace zel {

enum class RunState : std::uint8_t { Running, Ended, Failed };

inline constexpr int kFailureExitStatus = 1;

class Dispatcher {
 public:
  Dispatcher(frmZelmiku& form, platform::Window& window, platform::FailureReport& report)
      : form_(form), window_(window), report_(report) {}

  // Form_Load, before the window is first shown. Failed: never show it.
  RunState Start();

  // A click or access key on a control. A control that cannot be clicked now is
  // ignored, since the platform may deliver clicks for hidden or disabled ones.
  RunState Click(Control control);

  // Whether a click on the control would reach its handler now.
  bool Clickable(Control control) const;

  // The exit status once the state is no longer Running.
  static int ExitStatus(RunState state) {
    return state == RunState::Failed ? kFailureExitStatus : 0;
  }

 private:
  RunState Run(Handler handler);

  frmZelmiku& form_;
  platform::Window& window_;
  platform::FailureReport& report_;
};

// The handler wired to a control, or nullptr for submenus and separators.
Handler HandlerOf(Control control);

}  // namespace zel
