#include "solver/window_layout.h"

#include <algorithm>

namespace zel::solver {
namespace {

// A length at 96 dots per inch at the monitor's scaling, rounded.
int Scaled(int length, int dpi) { return (length * dpi + 48) / 96; }

}  // namespace

WindowSize OpeningWindowSize(int dpi) { return {Scaled(940, dpi), Scaled(720, dpi)}; }

// Tall enough for the panel with the summary's lines below the commands.
WindowSize SmallestWindowSize(int dpi) { return {Scaled(640, dpi), Scaled(700, dpi)}; }

WindowLayout LayOutWindow(int width, int height, int dpi) {
  WindowLayout layout;
  auto px = [&](int length) { return Scaled(length, dpi); };
  auto rect = [](int x, int y, int w, int h) {
    return PixelRect{x, y, x + std::max(w, 0), y + std::max(h, 0)};
  };
  auto place = [&](Place where, int x, int y, int w, int h) {
    layout.places[static_cast<std::size_t>(where)] = rect(x, y, w, h);
  };
  auto button = [&](Command command, int x, int y, int w, int h) {
    layout.buttons[static_cast<std::size_t>(command)] = rect(x, y, w, h);
  };
  const int margin = px(10), gap = px(6), line = px(22), high = px(30);
  const int panelWidth = std::min(px(330), std::max(px(220), width / 2));
  const int panelLeft = width - margin - panelWidth;

  // The left part takes what the panel leaves; a list keeps a row of
  // buttons below it.
  const int leftWidth = panelLeft - 2 * margin, leftHeight = height - 2 * margin;
  place(Place::Left, margin, margin, leftWidth, leftHeight);
  place(Place::List, margin, margin, leftWidth, leftHeight - high - gap);
  const int listButtonsTop = height - margin - high, listButton = px(120);
  button(Command::ListOpen, margin, listButtonsTop, listButton, high);
  button(Command::ListClose, margin + listButton + gap, listButtonsTop, listButton, high);

  int y = margin;
  place(Place::Title, panelLeft, y, panelWidth, px(30));
  y += px(34);
  // A line's text, with a check box at its right end, or none.
  const int checkWidth = px(150);
  auto lineWithCheck = [&](Place text, Command check) {
    place(text, panelLeft, y, panelWidth - checkWidth - gap, line);
    button(check, panelLeft + panelWidth - checkWidth, y, checkWidth, line);
    y += line;
  };
  lineWithCheck(Place::Problem, Command::AtMyLevel);
  for (const Place lineOf : {Place::ToMove, Place::Progress}) {
    place(lineOf, panelLeft, y, panelWidth, line);
    y += line;
  }
  lineWithCheck(Place::Clock, Command::ShowClock);
  place(Place::Rating, panelLeft, y, panelWidth, line);
  y += line;
  // The due line beside Review, which is as tall as the other buttons.
  const int reviewWidth = px(110);
  place(Place::Due, panelLeft, y + (high - line) / 2, panelWidth - reviewWidth - gap, line);
  button(Command::Review, panelLeft + panelWidth - reviewWidth, y, reviewWidth, high);
  y += high + gap;
  place(Place::Status, panelLeft, y, panelWidth, 3 * line + gap);
  y += 3 * line + 2 * gap;
  // The label above the field; Play beside both, a little taller.
  const int playWidth = px(100);
  place(Place::MoveLabel, panelLeft, y, panelWidth - playWidth - gap, line);
  y += line;
  place(Place::MoveField, panelLeft, y, panelWidth - playWidth - gap, px(26));
  button(Command::Play, panelLeft + panelWidth - playWidth, y - px(2), playWidth, high);
  y += high + 2 * gap;
  const int half = (panelWidth - gap) / 2;
  constexpr auto kFirst = static_cast<std::size_t>(Command::Hint);
  constexpr auto kLast = static_cast<std::size_t>(Command::EraseCourse);
  for (std::size_t i = kFirst; i <= kLast; ++i) {
    const bool second = (i - kFirst) % 2 == 1;
    button(static_cast<Command>(i), panelLeft + (second ? half + gap : 0), y, half, high);
    if (second) y += high + gap;
  }
  y += gap;
  place(Place::Summary, panelLeft, y, panelWidth, height - margin - y);
  return layout;
}

}  // namespace zel::solver
