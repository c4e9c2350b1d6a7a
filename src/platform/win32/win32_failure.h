// Failures from Win32 error numbers, with the system's own description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace zel::platform {

// The number and its FormatMessageW text, e.g. 2 "File not found.". Takes a
// GetLastError() value; std::uint32_t keeps <windows.h> out of this header.
Failure LastErrorFailure(std::uint32_t error, std::string_view subject);

// The system's description of an error number, without the trailing line end.
std::string SystemErrorText(std::uint32_t error);

}  // namespace zel::platform
