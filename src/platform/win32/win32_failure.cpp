#include "platform/win32/win32_failure.h"

#include <windows.h>

#include <iterator>

#include "platform/win32/text.h"

namespace zel::platform {

std::string SystemErrorText(std::uint32_t error) {
  wchar_t buffer[512];
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring_view text(buffer, length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.remove_suffix(1);
  if (text.empty()) return "Unknown error " + std::to_string(error);
  return Narrow(text);
}

Failure LastErrorFailure(std::uint32_t error, std::string_view subject) {
  return {static_cast<std::int32_t>(error), SystemErrorText(error), std::string(subject)};
}

// A one-value file without a value reads like a read past its end.
Failure NoValueFailure(std::string_view file) { return LastErrorFailure(ERROR_HANDLE_EOF, file); }

// LoadImageW gives no error number for a file that is not a bitmap, so the
// closest system error stands in for it.
Failure InvalidPictureFailure(std::string_view file) {
  return LastErrorFailure(ERROR_INVALID_DATA, file);
}

// The fault itself says more than the system's "The data is invalid."
Failure DamagedFileFailure(std::string_view file, std::size_t line, std::string_view fault) {
  return {ERROR_INVALID_DATA, std::string(fault), FileAndLine(file, line)};
}

// A missing folder on the way is as good as a missing file.
bool IsMissingFile(const Failure& failure) {
  return failure.code == ERROR_FILE_NOT_FOUND || failure.code == ERROR_PATH_NOT_FOUND;
}

}  // namespace zel::platform
