// Owns a file handle and closes it on every path. Close() reports what
// CloseHandle says; the destructor cannot.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/win32_failure.h"

namespace zel::platform {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  HANDLE get() const { return handle_; }

  void Close(std::string_view subject) {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) throw LastErrorFailure(GetLastError(), subject);
  }

 private:
  HANDLE handle_;
};

}  // namespace zel::platform
