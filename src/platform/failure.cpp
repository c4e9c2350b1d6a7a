#include "platform/failure.h"

namespace zel::platform {

std::string FailureText(const Failure& failure) {
  std::string text = "Error " + std::to_string(failure.code) + ": " + failure.description;
  if (!failure.subject.empty()) text += "\n\n" + failure.subject;
  return text;
}

std::string FileAndLine(std::string_view file, std::size_t line) {
  if (line == 0) return std::string(file);
  return std::string(file) + ", line " + std::to_string(line);
}

}  // namespace zel::platform
