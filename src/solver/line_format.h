// The pieces the solvers' own text files are read and written with: lines
// ending in CR LF (LF alone is read too), fields separated by one space,
// whole numbers, decimal numbers and dates, each read exactly or not at all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace zel::solver::lines {

// Splits off the next line, without its CR LF or LF; nothing at the end of the
// bytes or for a last line without its line end, which a cut-off file has.
std::optional<std::string_view> Next(std::string_view& rest);

// The line split into exactly N fields at single spaces; nothing for another
// count or an empty field (two spaces, a space at either end).
template <std::size_t N>
std::optional<std::array<std::string_view, N>> Fields(std::string_view line) {
  std::array<std::string_view, N> fields;
  for (std::size_t i = 0; i < N; ++i) {
    const std::size_t space = i + 1 < N ? line.find(' ') : std::string_view::npos;
    if (i + 1 < N && space == std::string_view::npos) return std::nullopt;
    fields[i] = line.substr(0, space);
    if (fields[i].empty()) return std::nullopt;
    line.remove_prefix(i + 1 < N ? space + 1 : line.size());
  }
  if (fields[N - 1].find(' ') != std::string_view::npos) return std::nullopt;
  return fields;
}

// Decimal digits only, within 32 bits.
std::optional<std::uint32_t> ReadCount(std::string_view text);
// A finite decimal number such as "-12.5" or "1432.0871"; no exponent.
std::optional<double> ReadNumber(std::string_view text);
// "2026-03-02": a valid date of the years 1970 to 9999.
std::optional<platform::Day> ReadDate(std::string_view text);

std::string DateText(platform::Day day);
// The shortest text that reads back as exactly the same number.
std::string NumberText(double value);

// Appends the fields separated by spaces, and CR LF.
void AppendLine(std::string& text, std::initializer_list<std::string_view> fields);

}  // namespace zel::solver::lines
