// The solver window's places and buttons at every scaling: inside the client
// area even at the smallest window, none over another, the summary with room
// for its lines, and all of it twice as large at twice the scaling.
#include "solver/window_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zel::solver {
namespace {

// The client area of the smallest window: its outer size less a generous
// frame and caption (Windows 10's are about 16 by 39 pixels at 100 %).
WindowSize SmallestClient(int dpi) {
  const WindowSize outer = SmallestWindowSize(dpi);
  return {outer.width - 24 * dpi / 96, outer.height - 48 * dpi / 96};
}

// Every place and button with its name, for the messages.
std::vector<std::pair<std::string, PixelRect>> Everything(const WindowLayout& layout) {
  std::vector<std::pair<std::string, PixelRect>> all;
  for (std::size_t p = 0; p < kPlaceCount; ++p)
    all.emplace_back("place " + std::to_string(p), layout.places[p]);
  for (std::size_t c = 0; c < kCommandCount; ++c)
    all.emplace_back("button " + std::to_string(c), layout.buttons[c]);
  return all;
}

TEST(WindowLayout, AtTheSmallestSizeEverythingFitsAndNothingCoversAnother) {
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    SCOPED_TRACE(dpi);
    const WindowSize client = SmallestClient(dpi);
    const WindowLayout layout = LayOutWindow(client.width, client.height, dpi);
    const auto all = Everything(layout);
    for (const auto& [name, r] : all) {
      EXPECT_FALSE(r.Empty()) << name;
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.width && r.bottom <= client.height)
          << name;
    }
    // The list and its buttons lie on the left part by design; the panel's
    // parts lie beside it and apart from each other.
    const PixelRect left = layout.at(Place::Left);
    auto onLeft = [&](const PixelRect& r) { return r.Intersects(left); };
    for (std::size_t a = 0; a < all.size(); ++a) {
      if (onLeft(all[a].second)) continue;
      for (std::size_t b = a + 1; b < all.size(); ++b)
        EXPECT_FALSE(all[a].second.Intersects(all[b].second))
            << all[a].first << ", " << all[b].first;
    }
    for (const Command command : {Command::Play, Command::Hint, Command::RestartCourse})
      EXPECT_FALSE(onLeft(layout.at(command)));
    for (const Place place : {Place::Title, Place::Status, Place::MoveField, Place::Summary})
      EXPECT_FALSE(onLeft(layout.at(place)));
    EXPECT_FALSE(layout.at(Place::List).Intersects(layout.at(Command::ListOpen)));
    EXPECT_FALSE(layout.at(Command::ListOpen).Intersects(layout.at(Command::ListClose)));
    // Themes, rating and a solution that may wrap: five lines of 22 pixels.
    const PixelRect summary = layout.at(Place::Summary);
    EXPECT_GE(summary.bottom - summary.top, 5 * 22 * dpi / 96);
    // The board has room for squares of 28 pixels at 100 %.
    EXPECT_GE(BoardGeometry(left.right - left.left, left.bottom - left.top).square(),
              28 * dpi / 96);
  }
}

TEST(WindowLayout, TwiceTheScalingTwiceTheSizeAndTheLeftPartTakesWhatThePanelLeaves) {
  const WindowSize opening = OpeningWindowSize(96);
  const WindowSize twice = OpeningWindowSize(192);
  EXPECT_EQ(twice.width, 2 * opening.width);
  EXPECT_EQ(twice.height, 2 * opening.height);
  const auto normal = Everything(LayOutWindow(900, 600, 96));
  const auto large = Everything(LayOutWindow(1800, 1200, 192));
  for (std::size_t i = 0; i < normal.size(); ++i) {
    const PixelRect a = normal[i].second, b = large[i].second;
    const std::string& name = normal[i].first;
    EXPECT_EQ(b.left, 2 * a.left) << name;
    EXPECT_EQ(b.top, 2 * a.top) << name;
    EXPECT_EQ(b.right - b.left, 2 * (a.right - a.left)) << name;
    EXPECT_EQ(b.bottom - b.top, 2 * (a.bottom - a.top)) << name;
  }
  // A wider window widens the left part; the panel keeps its width.
  const WindowLayout narrow = LayOutWindow(900, 600, 96);
  const WindowLayout wide = LayOutWindow(1400, 600, 96);
  const auto width = [](const PixelRect& r) { return r.right - r.left; };
  EXPECT_EQ(width(wide.at(Place::Status)), width(narrow.at(Place::Status)));
  EXPECT_EQ(width(wide.at(Place::Left)), width(narrow.at(Place::Left)) + 500);
  EXPECT_EQ(wide.at(Place::Left).right + 10, wide.at(Place::Status).left) << "a margin between";
}

}  // namespace
}  // namespace zel::solver
