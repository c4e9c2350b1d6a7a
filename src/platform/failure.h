// The one error type of the program: the platform's own error number and text,
// and the file or program the failing operation was about.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel::platform {

struct Failure {
  std::int32_t code = 0;    // errno on POSIX, GetLastError() on Windows
  std::string description;  // strerror / FormatMessageW text, without a trailing line end
  std::string subject;      // the file or program concerned; may be empty
};

// The two failures that are no OS error. Each platform layer defines their
// number and text so that they read like the platform's own errors.
Failure NoValueFailure(std::string_view file);         // a one-value file that holds no value
Failure InvalidPictureFailure(std::string_view file);  // a file that is not a loadable BMP
// A data file whose content breaks its format: the platform's "invalid data"
// number, the fault in words, and the file with the line, "Zadachi.dat, line 12"
// (line 0: the file as a whole, "Zadachi.dat").
Failure DamagedFileFailure(std::string_view file, std::size_t line, std::string_view fault);

// Whether a failure says that the file is not there (as opposed to a file
// that is there but could not be read).
bool IsMissingFile(const Failure& failure);

// "Zadachi.dat, line 12", or "Zadachi.dat" for line 0: the subject of a
// DamagedFileFailure.
std::string FileAndLine(std::string_view file, std::size_t line);

// The report shown to the user: "Error <code>: <description>" and the subject.
std::string FailureText(const Failure& failure);

}  // namespace zel::platform
