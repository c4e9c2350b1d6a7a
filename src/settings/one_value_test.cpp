#include "settings/one_value.h"

#include <gtest/gtest.h>

#include <limits>

namespace zel {
namespace {

std::string Text(std::string_view content) {
  auto value = ParseFirstValue(content);
  EXPECT_TRUE(value.has_value()) << content;
  return value ? value->AsText() : "<none>";
}

std::optional<std::int32_t> Number(std::string_view content) {
  auto value = ParseFirstValue(content);
  EXPECT_TRUE(value.has_value()) << content;
  return value ? value->AsNumber() : std::nullopt;
}

TEST(OneValueFormat, WritesTextsQuotedAndNumbersBare) {
  EXPECT_EQ(FormatValue(std::string_view("R")), std::string("\x22\x52\x22\x0D\x0A"));
  EXPECT_EQ(FormatValue(std::string_view("N")), "\"N\"\r\n");
  EXPECT_EQ(FormatValue(std::string_view("")), "\"\"\r\n");
  EXPECT_EQ(FormatValue(3), std::string("\x33\x0D\x0A"));
  EXPECT_EQ(FormatValue(12), "12\r\n");
  EXPECT_EQ(FormatValue(0), "0\r\n");
  EXPECT_EQ(FormatValue(-1), "-1\r\n");
  EXPECT_EQ(FormatValue(std::numeric_limits<std::int32_t>::min()), "-2147483648\r\n");
}

TEST(OneValueFormat, EverythingWrittenReadsBackUnchanged) {
  for (std::string_view text : {"R", "E", "Y", "N", ""}) {
    auto value = ParseFirstValue(FormatValue(text));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->AsText(), text);
  }
  for (std::int32_t n : {0, 1, 3, 20, 21, -1, -5, 2147483647, -2147483647 - 1}) {
    EXPECT_EQ(Number(FormatValue(n)), n);
  }
}

TEST(OneValueFormat, TextRules) {
  EXPECT_EQ(Text("\"R\"\r\n"), "R");
  EXPECT_EQ(Text("R\r\n"), "R");
  EXPECT_EQ(Text("R"), "R");
  EXPECT_EQ(Text("\"r\"\r\n"), "r");
  EXPECT_EQ(Text("\"\"\r\n"), "");
  EXPECT_EQ(Text("\"y\"\r\n"), "y");
  EXPECT_EQ(Text("  \t\r\n\r\n  \"E\"\r\n"), "E");
  EXPECT_EQ(Text("\"R\"\r\n\"E\"\r\n"), "R");  // only the first value counts
  EXPECT_EQ(Text("R,E\r\n"), "R");
  EXPECT_EQ(Text("\"R,E\"\r\n"), "R,E");
  EXPECT_EQ(Text(",R\r\n"), "");
  EXPECT_EQ(Text("\"R\"junk"), "R");
  EXPECT_EQ(Text("R \r\n"), "R ");  // a bare text runs to the line end, blanks and all
}

TEST(OneValueFormat, NumberRules) {
  EXPECT_EQ(Number("3\r\n"), 3);
  EXPECT_EQ(Number("3\r\n1\r\n"), 3);
  EXPECT_EQ(Number("  7"), 7);
  EXPECT_EQ(Number("3 4\r\n"), 3);  // a number ends at a blank
  EXPECT_EQ(Number("3,4"), 3);
  EXPECT_EQ(Number("\"3\""), 3);
  EXPECT_EQ(Number("-12\r\n"), -12);
  EXPECT_EQ(Number("abc"), std::nullopt);
  EXPECT_EQ(Number("3abc"), std::nullopt);
  EXPECT_EQ(Number("+3"), std::nullopt);
  EXPECT_EQ(Number("-"), std::nullopt);
  EXPECT_EQ(Number("\"R\""), std::nullopt);
  EXPECT_EQ(Number("2147483648"), std::nullopt);  // overflow is no number, not a wrap
  EXPECT_EQ(Number("99999999999999999999999999"), std::nullopt);
  EXPECT_EQ(Number("-2147483649"), std::nullopt);
}

TEST(OneValueFormat, NoValue) {
  EXPECT_FALSE(ParseFirstValue(""));
  EXPECT_FALSE(ParseFirstValue("\r\n"));
  EXPECT_FALSE(ParseFirstValue("  \t \r\n \n"));
}

TEST(OneValueFormat, ContentNeverWrittenIsTakenSafely) {
  EXPECT_EQ(Text("\"R"), "R");           // unterminated quote: to the end of the file
  EXPECT_EQ(Text("\"R\r\n\"E\""), "R");  // ... or to the end of its line
  EXPECT_EQ(Text(std::string_view("\0R\r\n", 4)), std::string("\0R", 2));
  EXPECT_EQ(Text("\xD0\xAF\xFF\r\n"), "\xD0\xAF\xFF");
  std::string huge(10 * 1024 * 1024, 'x');
  EXPECT_EQ(Text(huge).size(), huge.size());
  EXPECT_EQ(Number(huge), std::nullopt);
  std::string blanks(1024 * 1024, ' ');
  EXPECT_EQ(Text(blanks + "\"Y\""), "Y");
}

}  // namespace
}  // namespace zel
