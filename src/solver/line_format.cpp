#include "solver/line_format.h"

#include <charconv>
#include <cmath>

namespace zel::solver::lines {
namespace {

template <class Number>
std::optional<Number> ReadWhole(std::string_view text, std::chars_format format) {
  Number value{};
  const char* const end = text.data() + text.size();
  std::from_chars_result result{};
  if constexpr (std::is_floating_point_v<Number>)
    result = std::from_chars(text.data(), end, value, format);
  else
    result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc{} || result.ptr != end) return std::nullopt;
  return value;
}

std::string TwoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

}  // namespace

std::optional<std::string_view> Next(std::string_view& rest) {
  const auto end = rest.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::optional<std::uint32_t> ReadCount(std::string_view text) {
  if (!text.empty() && (text[0] < '0' || text[0] > '9')) return std::nullopt;  // no sign
  return ReadWhole<std::uint32_t>(text, std::chars_format::general);
}

std::optional<double> ReadNumber(std::string_view text) {
  const std::optional<double> value = ReadWhole<double>(text, std::chars_format::fixed);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<platform::Day> ReadDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::optional<std::uint32_t> year = ReadCount(text.substr(0, 4));
  const std::optional<std::uint32_t> month = ReadCount(text.substr(5, 2));
  const std::optional<std::uint32_t> day = ReadCount(text.substr(8, 2));
  if (!year || !month || !day) return std::nullopt;
  const platform::CivilDate date{static_cast<int>(*year), static_cast<int>(*month),
                                 static_cast<int>(*day)};
  if (!platform::IsValidDate(date)) return std::nullopt;
  return platform::DayOf(date);
}

std::string DateText(platform::Day day) {
  const platform::CivilDate date = platform::DateOf(day);
  return std::to_string(date.year) + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
}

std::string NumberText(double value) {
  char buffer[64];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

void AppendLine(std::string& text, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) text += ' ';
    text += field;
    first = false;
  }
  text += "\r\n";
}

}  // namespace zel::solver::lines
