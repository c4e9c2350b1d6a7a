#include "platform/win32/message_loop.h"

#include "app/dispatcher.h"

namespace zel::platform {
namespace {

void Deliver(const Win32Window& window, MSG& message) {
  // Only Alt with its key clicks a button. The dialog manager would take the
  // bare key as well while the focus is on no text field: a shortcut this
  // window does not have, so plain characters pass it by.
  const bool dialogKey = message.message != WM_CHAR;
  // The window handle is read anew for each message: it is null once the
  // window is destroyed.
  if (dialogKey && window.handle() && IsDialogMessageW(window.handle(), &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(const Win32Window& window) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return kFailureExitStatus;
    Deliver(window, message);
  }
}

std::optional<int> DeliverPendingMessages(const Win32Window& window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    Deliver(window, message);
  }
  return std::nullopt;
}

}  // namespace zel::platform
