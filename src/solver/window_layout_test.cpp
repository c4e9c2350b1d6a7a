// The solver window's places at every scaling: inside the client area even
// at the smallest window, none over another, the summary with room for its
// lines, and all of it twice as large at twice the scaling.
#include "solver/window_layout.h"

#include <gtest/gtest.h>

namespace zel::solver {
namespace {

std::size_t At(Place place) { return static_cast<std::size_t>(place); }

// The client area of the smallest window: its outer size less a generous
// frame and caption (Windows 10's are about 16 by 39 pixels at 100 %).
WindowSize SmallestClient(int dpi) {
  const WindowSize outer = SmallestWindowSize(dpi);
  return {outer.width - 24 * dpi / 96, outer.height - 48 * dpi / 96};
}

TEST(WindowLayout, AtTheSmallestSizeEverythingFitsAndNothingCoversAnother) {
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    SCOPED_TRACE(dpi);
    const WindowSize client = SmallestClient(dpi);
    const WindowLayout layout = LayOutWindow(client.width, client.height, dpi);
    const PixelRect area{0, 0, client.width, client.height};
    for (std::size_t p = 0; p < kPlaceCount; ++p) {
      const PixelRect r = layout.places[p];
      EXPECT_FALSE(r.empty()) << p;
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= area.right && r.bottom <= area.bottom)
          << p;
    }
    // The list and its buttons lie on the left part by design; the panel's
    // places lie beside it and apart from each other.
    for (std::size_t a = At(Place::Title); a < kPlaceCount; ++a) {
      EXPECT_FALSE(layout.places[a].Intersects(layout.at(Place::Left))) << a;
      for (std::size_t b = a + 1; b < kPlaceCount; ++b)
        EXPECT_FALSE(layout.places[a].Intersects(layout.places[b])) << a << " and " << b;
    }
    EXPECT_FALSE(layout.at(Place::List).Intersects(layout.at(Place::ListOpen)));
    EXPECT_FALSE(layout.at(Place::ListOpen).Intersects(layout.at(Place::ListClose)));
    // Themes, rating and a solution that may wrap: five lines of 22 pixels.
    const PixelRect summary = layout.at(Place::Summary);
    EXPECT_GE(summary.bottom - summary.top, 5 * 22 * dpi / 96);
    // The board has room for squares of 28 pixels at 100 %.
    const PixelRect left = layout.at(Place::Left);
    EXPECT_GE(BoardGeometry(left.right - left.left, left.bottom - left.top).square(),
              28 * dpi / 96);
  }
}

TEST(WindowLayout, TwiceTheScalingTwiceTheSizeAndTheLeftPartTakesWhatThePanelLeaves) {
  const WindowSize opening = OpeningWindowSize(96);
  const WindowSize twice = OpeningWindowSize(192);
  EXPECT_EQ(twice.width, 2 * opening.width);
  EXPECT_EQ(twice.height, 2 * opening.height);
  const WindowLayout normal = LayOutWindow(900, 600, 96);
  const WindowLayout large = LayOutWindow(1800, 1200, 192);
  for (std::size_t p = 0; p < kPlaceCount; ++p) {
    const PixelRect a = normal.places[p], b = large.places[p];
    EXPECT_EQ(b.left, 2 * a.left) << p;
    EXPECT_EQ(b.top, 2 * a.top) << p;
    EXPECT_EQ(b.right - b.left, 2 * (a.right - a.left)) << p;
    EXPECT_EQ(b.bottom - b.top, 2 * (a.bottom - a.top)) << p;
  }
  // A wider window widens the left part; the panel keeps its width.
  const WindowLayout wide = LayOutWindow(1400, 600, 96);
  const auto width = [](const PixelRect& r) { return r.right - r.left; };
  EXPECT_EQ(width(wide.at(Place::Status)), width(normal.at(Place::Status)));
  EXPECT_EQ(width(wide.at(Place::Left)), width(normal.at(Place::Left)) + 500);
  EXPECT_EQ(wide.at(Place::Left).right + 10, wide.at(Place::Status).left) << "a margin between";
}

}  // namespace
}  // namespace zel::solver
