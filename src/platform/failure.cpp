#include "platform/failure.h"

namespace zel::platform {

std::string FailureText(const Failure& failure) {
  std::string text = "Error " + std::to_string(failure.code) + ": " + failure.description;
  if (!failure.subject.empty()) text += "\n\n" + failure.subject;
  return text;
}

}  // namespace zel::platform
