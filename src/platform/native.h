// The platform layer of the build's own platform, by one name for both.
#pragma once

#if defined(_WIN32)
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
namespace zel::platform {
using NativeFiles = Win32Files;
using NativeProcesses = Win32Processes;
}  // namespace zel::platform
#else
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_processes.h"
namespace zel::platform {
using NativeFiles = PosixFiles;
using NativeProcesses = PosixProcesses;
}  // namespace zel::platform
#endif
