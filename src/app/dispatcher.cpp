#include "app/dispatcher.h"

#include "app/buttons.h"
#include "app/menu_tree.h"

#include <exception>

namespace zel {

Handler HandlerOf(Control control) {
  if (IsButton(control)) return FindButton(control).handler;
  const MenuNode* node = FindMenuNode(control);
  return node ? node->handler : nullptr;
}

bool Dispatcher::Clickable(Control control) const {
  if (Index(control) >= kControlCount || !HandlerOf(control)) return false;
  if (IsButton(control)) return window_.IsShown(control) && window_.IsEnabled(control);
  return IsReachable(control);
}

RunState Dispatcher::Start() { return Run(&frmZelmiku::Form_Load); }

RunState Dispatcher::Click(Control control) {
  if (!Clickable(control)) return RunState::Running;
  return Run(HandlerOf(control));
}

RunState Dispatcher::Run(Handler handler) {
  try {
    (form_.*handler)();
  } catch (const platform::Failure& failure) {
    report_.Report(failure);
    return RunState::Failed;
  } catch (const std::exception& unexpected) {
    // Out of memory and the like: still the message box, never an exception
    // through the platform's window procedure.
    report_.Report({-1, unexpected.what(), {}});
    return RunState::Failed;
  }
  return form_.ExitRequested() ? RunState::Ended : RunState::Running;
}

}  // namespace zel
