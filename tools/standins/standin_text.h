// What a stand-in's window tells the user: which course or collection the shell
// handed over, with which language and pictures setting, in the language of the
// program it stands in for, and that a real program would run there. Russian
// course names are the shell's own menu captions without their "&".
//
// Wide text, as the window draws it; no heap: it is compiled into the
// stand-ins, which must stay small.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string_view>

#include "app/buttons.h"
#include "app/menu_tree.h"
#include "launcher/launch_tables.h"

namespace zel::standin {

// A fixed buffer of wide text; what does not fit is left off.
class WideText {
 public:
  void Add(std::wstring_view text) {
    for (wchar_t c : text) Put(c);
  }
  // A UTF-8 caption as the user reads it: without the "&" that marks its key.
  void AddCaption(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
      const auto lead = static_cast<unsigned char>(utf8[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      // Captions are Russian and ASCII: nothing outside the 16-bit range.
      unsigned code = length == 4 ? '?' : lead & (0xFFu >> (length == 1 ? 0 : length + 1));
      for (std::size_t k = 1; k < length && length < 4 && i + k < utf8.size(); ++k)
        code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
      i += length;
      if (code != '&') Put(static_cast<wchar_t>(code));
    }
  }
  std::wstring_view text() const { return {text_, size_}; }

 private:
  void Put(wchar_t c) {
    if (size_ < std::size(text_)) text_[size_++] = c;
  }
  wchar_t text_[400];
  std::size_t size_ = 0;
};

// The caption of a launch control. Evaluated only while compiling: the menu
// tree itself, with its handlers, never ends up in a stand-in.
constexpr const char* CaptionIn(std::span<const MenuNode> nodes, Control id) {
  for (const MenuNode& node : nodes) {
    if (node.id == id) return node.caption;
    if (const char* found = CaptionIn(node.children, id)) return found;
  }
  return nullptr;
}
constexpr const char* CaptionOf(Control id) {
  return IsButton(id) ? FindButton(id).caption : CaptionIn(kMenuBar, id);
}

struct ItemName {
  Control control;
  const char* caption;  // the shell's, "&" included
  std::wstring_view english;
};

constexpr ItemName Named(Control id, std::wstring_view english) {
  return {id, CaptionOf(id), english};
}

// clang-format off
inline constexpr ItemName kItemNames[] = {
    Named(Control::mnuTactics1, L"Tactics-1"),  Named(Control::mnuTactics2, L"Tactics-2"),
    Named(Control::mnuTactics3, L"Tactics-3"),  Named(Control::mnuTactics4, L"Tactics-4"),
    Named(Control::mnuTactics5, L"Tactics-5"),  Named(Control::mnuTactics6, L"Tactics-6"),
    Named(Control::mnuTactics7, L"Tactics-7"),  Named(Control::mnuTactics8, L"Tactics-8"),
    Named(Control::mnuTactics9, L"Tactics-9"),
    Named(Control::mnuPractic, L"Practice"),    Named(Control::cmdPractic, L"Practice"),
    Named(Control::mnuZadachnik, L"Dorbelan's problem book"),
    Named(Control::mnuDorbelan, L"Tactics for winning material"),
    Named(Control::mnuChecmate, L"Checkmate"),  Named(Control::mnuTactic, L"Tactics"),
};
// clang-format on

constexpr const ItemName* NameOf(Control id) {
  for (const ItemName& name : kItemNames)
    if (name.control == id && name.caption) return &name;
  return nullptr;
}

// A new launch row without a name here would leave its stand-in speechless.
// By index, not by pointer: with the sanitizers a pointer into the table is
// checked against null, which no constant expression may do.
constexpr bool HasName(Control id) {
  for (std::size_t i = 0; i < std::size(kItemNames); ++i)
    if (kItemNames[i].control == id && kItemNames[i].caption != nullptr) return true;
  return false;
}
constexpr bool EveryLaunchNamed() {
  for (std::span<const LaunchRow> rows : {std::span<const LaunchRow>(kCourseLaunches),
                                          std::span<const LaunchRow>(kProblemBookLaunches)})
    for (const LaunchRow& row : rows)
      if (!HasName(row.control)) return false;
  return true;
}
static_assert(EveryLaunchNamed());

struct Phrases {
  std::wstring_view course, collection, close, nothing;
  std::wstring_view language, russian, english, pictures, on, off, standIn;
};

inline constexpr Phrases kRussian{
    L"Оболочка передала курс «",
    L"Оболочка передала задачник «",
    L"».",
    L"Оболочка не передала ни курса, ни задачника: буквы в файле программы не распознаны.",
    L"\nЯзык: ",
    L"русский",
    L"английский",
    L", картинки: ",
    L"есть",
    L"нет",
    L"\n\nЭто демонстрационная замена программы-решателя: здесь работала бы настоящая программа.",
};

inline constexpr Phrases kEnglish{
    L"The shell handed over the course \u201C",
    L"The shell handed over the collection \u201C",
    L"\u201D.",
    L"The shell handed over no course or collection: the letters in the program file are unknown.",
    L"\nLanguage: ",
    L"Russian",
    L"English",
    L", pictures: ",
    L"on",
    L"off",
    L"\n\nThis is a demonstration stand-in for the solver program: the real program would run "
    L"here.",
};

inline constexpr std::wstring_view kVideoText =
    L"Здесь работала бы видеопрограмма. Это её демонстрационная замена.";
inline constexpr std::wstring_view kUnknownProgramText =
    L"Это демонстрационная замена программ, которые запускает оболочка, но программу с таким "
    L"именем она не запускает.";

// What a solver stand-in found in its own program file.
struct Handover {
  SolverFamily family;
  bool speaksRussian;    // the program's own language, by its file name
  const ItemName* item;  // nullptr: the letters match no launch
  bool russian;          // the language the letters carry
  bool picturesOn;
};

inline void Describe(const Handover& handover, WideText& out) {
  const Phrases& say = handover.speaksRussian ? kRussian : kEnglish;
  if (!handover.item) {
    out.Add(say.nothing);
  } else {
    out.Add(handover.family == SolverFamily::CourseSolver ? say.course : say.collection);
    if (handover.speaksRussian)
      out.AddCaption(handover.item->caption);
    else
      out.Add(handover.item->english);
    out.Add(say.close);
    out.Add(say.language);
    out.Add(handover.russian ? say.russian : say.english);
    out.Add(say.pictures);
    out.Add(handover.picturesOn ? say.on : say.off);
    out.Add(L".");
  }
  out.Add(say.standIn);
}

}  // namespace zel::standin
