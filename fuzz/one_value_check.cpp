#include "one_value_check.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "settings/one_value.h"

namespace zel::fuzz {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A whole number read the slow way, digit by digit in 64 bits, giving up as
// soon as it leaves the 32-bit range: a second opinion on the reader's.
std::optional<std::int32_t> SlowNumber(std::string_view token) {
  const bool negative = !token.empty() && token.front() == '-';
  const std::string_view digits = token.substr(negative ? 1 : 0);
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > std::int64_t{1} << 31) return std::nullopt;
  }
  const std::int64_t number = negative ? -magnitude : magnitude;
  if (number > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

// Whether the first value, which starts at `start`, is exactly the one letter
// `letter`, judged from the bytes alone: "X" or a bare X, and then the value
// ends (a closing quote, a comma after a bare value, a line end, the end).
bool HoldsExactly(std::string_view bytes, std::size_t start, char letter) {
  const std::string_view rest = bytes.substr(start);
  const bool quoted = !rest.empty() && rest.front() == '"';
  const std::size_t at = quoted ? 1 : 0;
  if (rest.size() <= at || rest[at] != letter) return false;
  if (rest.size() == at + 1) return true;
  const char next = rest[at + 1];
  return IsLineEnd(next) || next == (quoted ? '"' : ',');
}

std::string CheckParse(std::string_view bytes) {
  const std::optional<SettingValue> value = ParseFirstValue(bytes);
  std::size_t start = 0;
  while (start < bytes.size() && (IsBlank(bytes[start]) || IsLineEnd(bytes[start]))) ++start;
  if (start == bytes.size()) return value ? "a value found in blanks and line ends only" : "";
  if (!value) return "no value found although the bytes hold one";

  // The text is the bytes from the value's start up to, not including, its end.
  const bool quoted = bytes[start] == '"';
  if (value->quoted() != quoted) return "quoted() disagrees with the first byte";
  const std::string& text = value->AsText();
  const std::size_t first = start + (quoted ? 1 : 0);
  if (bytes.substr(first, text.size()) != text) return "the text is not the bytes it came from";
  const auto endsValue = [quoted](char c) { return IsLineEnd(c) || c == (quoted ? '"' : ','); };
  for (const char c : text) {
    if (endsValue(c)) return "the text runs past the end of its value";
  }
  const std::size_t after = first + text.size();
  if (after < bytes.size() && !endsValue(bytes[after])) return "the text stops before its end";

  // A number is the whole quoted text, or the bare text up to a blank.
  std::string_view token = text;
  if (!quoted) {
    std::size_t blank = 0;
    while (blank < token.size() && !IsBlank(token[blank])) ++blank;
    token = token.substr(0, blank);
  }
  if (value->AsNumber() != SlowNumber(token)) return "AsNumber disagrees with the digits";

  // The meanings compare whole texts: only exactly R is Russian, exactly Y is
  // pictures on; only the numbers 1 and 3 are music off and on.
  if ((text == "R") != HoldsExactly(bytes, start, 'R')) return "the meaning of \"R\" is wrong";
  if ((text == "Y") != HoldsExactly(bytes, start, 'Y')) return "the meaning of \"Y\" is wrong";
  const std::optional<std::int32_t> music = value->AsNumber();
  if (music == 1 && token.find_first_not_of('0') != token.size() - 1)
    return "1 read from something other than the digit 1";
  if (music == 3 && token.find_first_not_of('0') != token.size() - 1)
    return "3 read from something other than the digit 3";
  return "";
}

// Everything the writer produces reads back unchanged, whatever follows it.
std::string CheckRoundTrip(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    if (c != '"' && !IsLineEnd(c)) text += c;
  }
  const std::string line = FormatValue(std::string_view(text));
  if (line != "\"" + text + "\"\r\n") return "a text is not written as \"text\" CR LF";
  const auto textBack = ParseFirstValue(line + std::string(bytes));
  if (!textBack || !textBack->quoted() || textBack->AsText() != text)
    return "a written text reads back changed";

  if (bytes.size() < sizeof(std::int32_t)) return "";
  std::int32_t number;
  std::memcpy(&number, bytes.data(), sizeof number);
  const std::string digits = std::to_string(number);
  if (FormatValue(number) != digits + "\r\n") return "a number is not written as bare digits";
  const auto numberBack = ParseFirstValue(FormatValue(number) + std::string(bytes));
  if (!numberBack || numberBack->quoted() || numberBack->AsText() != digits ||
      numberBack->AsNumber() != number)
    return "a written number reads back changed";
  return "";
}

}  // namespace

std::string OneValueViolation(std::string_view bytes) {
  std::string violation = CheckParse(bytes);
  if (violation.empty()) violation = CheckRoundTrip(bytes);
  return violation;
}

}  // namespace zel::fuzz
