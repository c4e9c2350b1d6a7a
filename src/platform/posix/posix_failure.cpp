// The failures that are no OS error, worded like the platform's own.
#include <cerrno>
#include <cstring>

#include "platform/failure.h"

namespace zel::platform {

Failure NoValueFailure(std::string_view file) {
  return {ENODATA, std::strerror(ENODATA), std::string(file)};
}

Failure InvalidPictureFailure(std::string_view file) {
  return {EINVAL, "Invalid picture", std::string(file)};
}

Failure DamagedFileFailure(std::string_view file, std::size_t line, std::string_view fault) {
  return {EINVAL, std::string(fault), FileAndLine(file, line)};
}

bool IsMissingFile(const Failure& failure) { return failure.code == ENOENT; }

}  // namespace zel::platform
