// The one-value file format of the settings and page counter files: one line
// holding a text in double quotes or a bare decimal number, ended by CR LF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zel {

// What a file holds as its first value. The caller takes it as a text or as a
// whole number, as the file's meaning requires.
class SettingValue {
 public:
  SettingValue(std::string text, bool quoted) : text_(std::move(text)), quoted_(quoted) {}

  // The value as a text: the characters between the quotes, or the bare value
  // up to the next comma or line end.
  const std::string& AsText() const { return text_; }

  // The value as a whole number, or nothing when it is not one: a bare number
  // ends at a blank as well, and must be an optional "-" and decimal digits only,
  // within the range of a 32-bit integer. A quoted value is read the same way.
  std::optional<std::int32_t> AsNumber() const;

  bool quoted() const { return quoted_; }

 private:
  std::string text_;
  bool quoted_;
};

// The first value of a file's content, or nothing when it holds none (empty,
// or only blanks and line ends). Never fails otherwise: a quote without its
// closing partner ends at the end of its line, and any bytes are taken as they
// come.
std::optional<SettingValue> ParseFirstValue(std::string_view content);

// A value as written: a text in double quotes, a number bare; then CR LF.
using WrittenValue = std::variant<std::string_view, std::int32_t>;
std::string FormatValue(const WrittenValue& value);

}  // namespace zel
