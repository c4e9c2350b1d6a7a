#include "solver/men_sheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <numeric>

namespace zel {
namespace {

std::vector<std::uint8_t> BuiltSheet() {
  std::ifstream in(ZEL_MEN_SHEET, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint64_t Coverage(const std::vector<std::uint8_t>& mask) {
  return std::accumulate(mask.begin(), mask.end(), std::uint64_t{0});
}

TEST(MenSheet, ResamplingKeepsTheCoveredArea) {
  // A disc, reduced and enlarged: the share of the square it covers stays.
  const int from = 128;
  std::vector<std::uint8_t> disc(from * from);
  for (int y = 0; y < from; ++y)
    for (int x = 0; x < from; ++x)
      disc[y * from + x] = (x - 64) * (x - 64) + (y - 64) * (y - 64) < 40 * 40 ? 255 : 0;
  const double share = double(Coverage(disc)) / (from * from);
  for (int to : {17, 45, 64, 100, 128, 200}) {
    const auto out = ResampleMask(disc, from, to);
    ASSERT_EQ(out.size(), std::size_t(to * to));
    EXPECT_NEAR(double(Coverage(out)) / (to * to), share, 0.01 * 255) << to;
    EXPECT_EQ(out[0], 0) << "a corner outside the disc stays empty at " << to;
    EXPECT_EQ(out[(to / 2) * to + to / 2], 255) << "the centre stays full at " << to;
  }
  EXPECT_EQ(ResampleMask(disc, from, from), disc);

  // The largest sheet, full: its sums are the largest there are.
  const std::vector<std::uint8_t> full(512 * 512, 255);
  for (int to : {1, 37, 96, 512, 700})
    EXPECT_EQ(ResampleMask(full, 512, to), std::vector<std::uint8_t>(to * to, 255)) << to;
}

TEST(MenSheet, TheBuiltSheetDrawsEveryManOpaqueInsideAndClearOutside) {
  const auto bytes = BuiltSheet();
  const auto sheet = MenSheet::Decode(bytes);
  ASSERT_TRUE(sheet) << ZEL_MEN_SHEET;
  for (const chess::Color color : {chess::White, chess::Black}) {
    for (const chess::PieceRow& row : chess::kPieceRows) {
      if (row.type == chess::NoPieceType) continue;
      const int side = 41;
      const auto man = sheet->Draw({color, row.type}, side);
      ASSERT_EQ(man.size(), std::size_t(side * side));
      EXPECT_EQ(man[0], 0u) << "the top-left corner is transparent";
      int opaque = 0;
      for (std::uint32_t pixel : man) {
        const std::uint32_t alpha = pixel >> 24;
        opaque += alpha == 255;
        for (int c = 0; c < 3; ++c) ASSERT_LE((pixel >> (8 * c)) & 0xFF, alpha) << "premultiplied";
      }
      EXPECT_GT(opaque, side * side / 20) << row.englishName;
    }
  }
  // White's men are light inside, Black's dark: compare the kings' centres.
  const int side = 64;
  const auto white = sheet->Draw({chess::White, chess::Pawn}, side);
  const auto black = sheet->Draw({chess::Black, chess::Pawn}, side);
  const std::size_t inside = (side * 3 / 4) * side + side / 2;  // the pawn's foot
  EXPECT_GT(white[inside] & 0xFF, 200u);
  EXPECT_LT(black[inside] & 0xFF, 60u);
}

TEST(MenSheet, ADamagedSheetIsRefused) {
  const auto bytes = BuiltSheet();
  ASSERT_TRUE(MenSheet::Decode(bytes));
  auto cut = bytes;
  cut.resize(bytes.size() - 1);
  EXPECT_FALSE(MenSheet::Decode(cut));
  auto longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(MenSheet::Decode(longer));
  auto wrongMagic = bytes;
  wrongMagic[0] = 'X';
  EXPECT_FALSE(MenSheet::Decode(wrongMagic));
  // A first run that claims more bytes than a mask holds.
  auto overlong = bytes;
  overlong[12] = 0x7F;
  for (int i = 13; i < 13 + 128; ++i) overlong[i] = 0xFF;
  EXPECT_FALSE(MenSheet::Decode(overlong));
  EXPECT_FALSE(MenSheet::Decode({}));
}

}  // namespace
}  // namespace zel
