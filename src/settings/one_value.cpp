#include "settings/one_value.h"

#include <charconv>

namespace zel {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A whole number and nothing else: from_chars gives a defined result for
// overflow and stray characters, where a digit loop would overflow.
std::optional<std::int32_t> ParseWholeNumber(std::string_view digits) {
  std::int32_t number = 0;
  const char* end = digits.data() + digits.size();
  auto [stop, error] = std::from_chars(digits.data(), end, number);
  if (error != std::errc() || stop != end || digits.empty()) return std::nullopt;
  return number;
}

}  // namespace

std::optional<std::int32_t> SettingValue::AsNumber() const {
  std::string_view token = text_;
  if (!quoted_) {
    std::size_t blank = 0;
    while (blank < token.size() && !IsBlank(token[blank])) ++blank;
    token = token.substr(0, blank);
  }
  return ParseWholeNumber(token);
}

std::optional<SettingValue> ParseFirstValue(std::string_view content) {
  std::size_t start = 0;
  while (start < content.size() && (IsBlank(content[start]) || IsLineEnd(content[start]))) ++start;
  if (start == content.size()) return std::nullopt;

  if (content[start] == '"') {
    const std::size_t first = start + 1;
    std::size_t stop = first;
    while (stop < content.size() && content[stop] != '"' && !IsLineEnd(content[stop])) ++stop;
    return SettingValue(std::string(content.substr(first, stop - first)), true);
  }
  std::size_t stop = start;
  while (stop < content.size() && content[stop] != ',' && !IsLineEnd(content[stop])) ++stop;
  return SettingValue(std::string(content.substr(start, stop - start)), false);
}

std::string FormatValue(const WrittenValue& value) {
  std::string line;
  if (const auto* text = std::get_if<std::string_view>(&value)) {
    line.reserve(text->size() + 4);
    line += '"';
    line += *text;
    line += '"';
  } else {
    char digits[16];
    auto [end, error] =
        std::to_chars(std::begin(digits), std::end(digits), std::get<std::int32_t>(value));
    (void)error;  // 16 characters hold every 32-bit number
    line.assign(digits, end);
  }
  line += "\r\n";
  return line;
}

}  // namespace zel
