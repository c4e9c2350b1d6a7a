#include "platform/win32/message_box_report.h"

#include <windows.h>

#include <iterator>

#include "app/dispatcher.h"
#include "platform/win32/caption.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"

namespace zel::platform {

void MessageBoxReport::Report(const Failure& failure) {
  HWND owner = owner_ ? owner_->handle() : nullptr;
  if (owner && !IsWindowVisible(owner)) owner = nullptr;
  // Without an owner the box still blocks every window of the thread.
  const UINT flags = MB_OK | MB_ICONERROR | (owner ? 0u : static_cast<UINT>(MB_TASKMODAL));
  MessageBoxW(owner, Widen(FailureText(failure)).c_str(), Widen(kProductTitle).c_str(), flags);
}

void EndAfterUnexpectedFailure() noexcept {
  wchar_t text[300] = L"Error 1359: ";
  constexpr std::size_t kPrefix = 12;
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_INTERNAL_ERROR, 0, text + kPrefix,
                 static_cast<DWORD>(std::size(text) - kPrefix), nullptr);
  MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(kFailureExitStatus);
}

}  // namespace zel::platform
