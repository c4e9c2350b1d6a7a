// The pages of the textbook and the help: the counter value that names a
// picture, and for the textbook whether the Practice button is enabled there.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zel {

struct Page {
  std::int32_t counter;
  std::string_view picture;
  bool practiceEnabled;  // textbook only
};

// Counter 1 is the title; 2 to 20 are the pages.
inline constexpr Page kTextbookPages[] = {
    {1, "Book.bmp", false},    {2, "Pict02.bmp", true},   {3, "Pict03.bmp", true},
    {4, "Pict04.bmp", true},   {5, "Pict05.bmp", true},   {6, "Pict06.bmp", true},
    {7, "Pict07.bmp", true},   {8, "Pict08.bmp", false},  {9, "Pict09.bmp", false},
    {10, "Pict10.bmp", true},  {11, "Pict11.bmp", true},  {12, "Pict12.bmp", true},
    {13, "Pict13.bmp", true},  {14, "Pict14.bmp", true},  {15, "Pict15.bmp", false},
    {16, "Pict16.bmp", false}, {17, "Pict17.bmp", false}, {18, "Pict18.bmp", false},
    {19, "Pict19.bmp", false}, {20, "Pict20.bmp", true},
};

// Counter 0 is the title; 1 to 8 are the pages.
inline constexpr Page kHelpPages[] = {
    {0, "Help.bmp", false},   {1, "Help01.bmp", false}, {2, "Help02.bmp", false},
    {3, "Help03.bmp", false}, {4, "Help04.bmp", false}, {5, "Help05.bmp", false},
    {6, "Help06.bmp", false}, {7, "Help07.bmp", false}, {8, "Help08.bmp", false},
};

constexpr bool CountersAscendByOne(std::span<const Page> pages) {
  for (std::size_t i = 1; i < pages.size(); ++i)
    if (pages[i].counter != pages[i - 1].counter + 1) return false;
  return true;
}
static_assert(CountersAscendByOne(kTextbookPages) && CountersAscendByOne(kHelpPages));

constexpr const Page* FindPage(std::span<const Page> pages, std::int32_t counter) {
  for (const Page& page : pages)
    if (page.counter == counter) return &page;
  return nullptr;
}

inline constexpr std::string_view kTextbookCounterFile = "playea.ini";
inline constexpr std::string_view kHelpCounterFile = "playeo.ini";
inline constexpr std::string_view kAboutPicture = "About.bmp";

}  // namespace zel
