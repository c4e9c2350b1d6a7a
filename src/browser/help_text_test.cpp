// The help source, content/help.txt, against the shell itself: every menu item
// or button it names between « and » is one the user can see, with the exact
// caption; every path through the menus exists; every file it names is one the
// shell uses; and no visible command or button goes unmentioned. The truth is
// the shell's own tables, so renaming an item fails here until the help
// follows.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/buttons.h"
#include "app/menu_tree.h"
#include "browser/page_tables.h"
#include "launcher/launch.h"
#include "launcher/patch_layout.h"
#include "prefs/switches.h"
#include "settings/settings.h"
#include "solver/catalog.h"
#include "solver/problem_data.h"

namespace zel {
namespace {

using Problems = std::vector<std::string>;

constexpr std::string_view kHelpFile = "help.txt";
constexpr std::string_view kOpen = "«";
constexpr std::string_view kClose = "»";
constexpr std::string_view kArrow = "→";

std::string ReadHelp() {
  std::ifstream in(std::string(ZEL_CONTENT_DIR) + "/" + std::string(kHelpFile), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The source with its comment lines blanked, so that offsets still map to the
// line numbers a writer sees in the file.
std::string WithoutComments(std::string_view source) {
  std::string kept;
  for (std::size_t start = 0; start < source.size();) {
    std::size_t end = source.find('\n', start);
    if (end == std::string_view::npos) end = source.size();
    const std::string_view line = source.substr(start, end - start);
    if (!line.starts_with("#")) kept += line;
    if (end < source.size()) kept += '\n';
    start = end + 1;
  }
  return kept;
}

int LineAt(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset; ++i) line += text[i] == '\n';
  return line;
}

std::string At(int line) { return std::string(kHelpFile) + ":" + std::to_string(line) + ": "; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Blanks and line breaks inside a name count as one space: a name may wrap.
std::string Collapsed(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!IsBlank(c))
      out += c;
    else if (!out.empty() && out.back() != ' ')
      out += ' ';
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

struct Mention {
  int line;
  std::string text;
};

// Every «…» of the source, with the line it starts on. A « that is never
// closed, or closed only after another «, is a problem of its own.
std::vector<Mention> Names(std::string_view source, Problems& problems) {
  std::vector<Mention> names;
  for (std::size_t at = source.find(kOpen); at != std::string_view::npos;) {
    const std::size_t from = at + kOpen.size();
    const std::size_t close = source.find(kClose, from);
    const std::size_t next = source.find(kOpen, from);
    if (close == std::string_view::npos || next < close) {
      problems.push_back(At(LineAt(source, at)) + "« without its »");
    } else {
      names.push_back({LineAt(source, at), Collapsed(source.substr(from, close - from))});
    }
    at = next;
  }
  return names;
}

std::vector<std::string> Steps(std::string_view name) {
  std::vector<std::string> steps;
  for (std::size_t start = 0;;) {
    const std::size_t arrow = name.find(kArrow, start);
    steps.push_back(Collapsed(name.substr(start, arrow - start)));
    if (arrow == std::string_view::npos) return steps;
    start = arrow + kArrow.size();
  }
}

const MenuNode* VisibleChild(std::span<const MenuNode> level, std::string_view caption) {
  for (const MenuNode& node : level)
    if (!node.hidden && node.caption && caption == node.caption) return &node;
  return nullptr;
}

// The captions the user can see: menu items under no hidden submenu, and buttons.
void CollectVisible(std::span<const MenuNode> level, std::vector<const MenuNode*>& out) {
  for (const MenuNode& node : level) {
    if (node.hidden || !node.caption) continue;
    out.push_back(&node);
    CollectVisible(node.children, out);
  }
}

std::vector<const MenuNode*> VisibleItems() {
  std::vector<const MenuNode*> items;
  CollectVisible(kMenuBar, items);
  return items;
}

bool IsVisibleCaption(std::string_view caption) {
  for (const MenuNode* node : VisibleItems())
    if (caption == node->caption) return true;
  for (const ButtonDef& button : kButtons)
    if (caption == button.caption) return true;
  return false;
}

// A path starts at the menu bar, and each step is a visible item of the one before.
std::string PathProblem(const std::vector<std::string>& steps) {
  std::span<const MenuNode> level = kMenuBar;
  std::string parent = "the menu bar";
  for (const std::string& step : steps) {
    const MenuNode* node = VisibleChild(level, step);
    if (!node) return "\"" + step + "\" is not a visible item of " + parent;
    level = node->children;
    parent = "\"" + step + "\"";
  }
  return {};
}

Problems NameProblems(std::string_view source) {
  const std::string text = WithoutComments(source);
  Problems problems;
  for (const Mention& name : Names(text, problems)) {
    const std::vector<std::string> steps = Steps(name.text);
    const std::string quoted = "«" + name.text + "»";
    if (steps.size() == 1 && !IsVisibleCaption(name.text))
      problems.push_back(At(name.line) + quoted + " is not a visible menu item or button");
    if (steps.size() > 1) {
      const std::string problem = PathProblem(steps);
      if (!problem.empty()) problems.push_back(At(name.line) + quoted + ": " + problem);
    }
  }
  return problems;
}

// Every file the shell reads, writes or starts, and those the solvers read
// and write, by the names their code uses.
std::set<std::string, std::less<>> ShellFiles() {
  std::set<std::string, std::less<>> files{
      std::string(kLanguageFile),        std::string(kPicturesFile),    std::string(kSoundFile),
      std::string(kTextbookCounterFile), std::string(kHelpCounterFile), std::string(kAboutPicture),
      std::string(kLaunchPicture),
  };
  for (std::span<const Page> pages :
       {std::span<const Page>(kTextbookPages), std::span<const Page>(kHelpPages)})
    for (const Page& page : pages) files.emplace(page.picture);
  for (const SwitchRow& row : kSwitches) {
    files.emplace(row.file);
    if (!row.picture.empty()) files.emplace(row.picture);
  }
  for (SolverFamily family : {SolverFamily::CourseSolver, SolverFamily::ProblemBookSolver}) {
    files.emplace(FilesOf(family).russianFile);
    files.emplace(FilesOf(family).englishFile);
  }
  files.emplace(solver::kProblemDataFile);
  for (const solver::CourseInfo& course : solver::kCourses) files.emplace(course.progressFile);
  return files;
}

bool IsFileNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

// A word that ends in a file extension the shell uses, wherever it stands in
// a sentence: "playea.ini." is the file playea.ini.
std::vector<Mention> FileNames(std::string_view text) {
  std::vector<Mention> names;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsFileNameChar(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && IsFileNameChar(text[i])) ++i;
    std::string_view word = text.substr(start, i - start);
    while (word.ends_with(".")) word.remove_suffix(1);
    std::string lower(word);
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    for (std::string_view extension : {".dat", ".ini", ".bmp", ".exe", ".prg"})
      if (lower.size() > extension.size() && lower.ends_with(extension))
        names.push_back({LineAt(text, start), std::string(word)});
  }
  return names;
}

Problems FileProblems(std::string_view source) {
  const std::string text = WithoutComments(source);
  const auto shellFiles = ShellFiles();
  Problems problems;
  for (const Mention& file : FileNames(text))
    if (!shellFiles.contains(file.text))
      problems.push_back(At(file.line) + file.text +
                         " is not a file the shell or a solver reads, writes or starts");
  return problems;
}

// Every visible menu item and every button is named somewhere, alone or as a
// step of a path.
Problems CoverageProblems(std::string_view source) {
  const std::string text = WithoutComments(source);
  Problems ignored;
  std::set<std::string, std::less<>> named;
  for (const Mention& name : Names(text, ignored))
    for (std::string& step : Steps(name.text)) named.insert(std::move(step));
  Problems problems;
  auto require = [&](Control id, const char* caption) {
    if (!named.contains(std::string_view(caption)))
      problems.push_back(std::string(kHelpFile) + ": «" + caption + "» (" + ControlName(id) +
                         ") is never mentioned");
  };
  for (const MenuNode* node : VisibleItems()) require(node->id, node->caption);
  for (const ButtonDef& button : kButtons) require(button.id, button.caption);
  return problems;
}

std::string Listed(const Problems& problems) {
  std::string list;
  for (const std::string& problem : problems) list += problem + "\n";
  return list;
}

class HelpText : public ::testing::Test {
 protected:
  void SetUp() override {
    help_ = ReadHelp();
    ASSERT_FALSE(help_.empty()) << "no " << ZEL_CONTENT_DIR << "/" << kHelpFile;
  }
  std::string help_;
};

TEST_F(HelpText, NamesOnlyVisibleItemsButtonsAndPaths) {
  const Problems problems = NameProblems(help_);
  EXPECT_TRUE(problems.empty()) << Listed(problems);
}

TEST_F(HelpText, NamesOnlyFilesTheShellUses) {
  const Problems problems = FileProblems(help_);
  EXPECT_TRUE(problems.empty()) << Listed(problems);
}

TEST_F(HelpText, MentionsEveryVisibleItemAndButton) {
  const Problems problems = CoverageProblems(help_);
  EXPECT_TRUE(problems.empty()) << Listed(problems);
}

// The checks themselves, on sources with known faults: a check that passes
// everything would let the help drift from the shell unnoticed.
TEST(HelpTextCheck, FlagsNamesTheUserCannotSee) {
  const std::string source =
      "# «&Содержание» in a comment is not shown to anyone\n"
      "text: «&Справка → &О программе», «&>», «П&рактика» and «Тактика-&1»\n"
      "«&Содержание» and «Тактика-1», written without its access key\n"
      "«&Фоновая музыка», «&Вкл» and «&Видео» are hidden\n"
      "«&Программы → &Язык»\n"
      "«Вы&брать программу → &Выход» does not start at the menu bar\n"
      "«&Установки →\n  &Фоновая музыка → &Вкл» runs through a hidden submenu\n"
      "«&Справка\n";
  EXPECT_EQ(NameProblems(source),
            (Problems{
                "help.txt:9: « without its »",
                "help.txt:3: «&Содержание» is not a visible menu item or button",
                "help.txt:3: «Тактика-1» is not a visible menu item or button",
                "help.txt:4: «&Фоновая музыка» is not a visible menu item or button",
                "help.txt:4: «&Вкл» is not a visible menu item or button",
                "help.txt:4: «&Видео» is not a visible menu item or button",
                "help.txt:5: «&Программы → &Язык»: \"&Язык\" is not a visible item of "
                "\"&Программы\"",
                "help.txt:6: «Вы&брать программу → &Выход»: \"Вы&брать программу\" is not a "
                "visible item of the menu bar",
                "help.txt:7: «&Установки → &Фоновая музыка → &Вкл»: \"&Фоновая музыка\" is not "
                "a visible item of \"&Установки\"",
            }));
}

TEST(HelpTextCheck, FlagsFilesNeitherTheShellNorASolverUses) {
  const std::string source =
      "# setup.dat in a comment\n"
      "text: enfo00.dat, Pict20.bmp. Kombien.exe and playeo.ini;\n"
      "Help09.bmp, setup.dat, kombiru.exe (case counts), Zelmiku.ini\n"
      "Zadachi.dat and tactics9.prg, but not tactics10.prg\n";
  const std::string_view notOurs = " is not a file the shell or a solver reads, writes or starts";
  EXPECT_EQ(FileProblems(source), (Problems{
                                      "help.txt:3: Help09.bmp" + std::string(notOurs),
                                      "help.txt:3: setup.dat" + std::string(notOurs),
                                      "help.txt:3: kombiru.exe" + std::string(notOurs),
                                      "help.txt:3: Zelmiku.ini" + std::string(notOurs),
                                      "help.txt:4: tactics10.prg" + std::string(notOurs),
                                  }));
}

TEST(HelpTextCheck, NamesTheItemsNeverMentioned) {
  std::string help = ReadHelp();
  ASSERT_FALSE(help.empty());
  // Without its mentions the item goes missing, whether alone or in a path.
  for (std::string_view gone : {"«Тактика-&5»", "→ &Выход"}) {
    for (std::size_t at; (at = help.find(gone)) != std::string::npos;)
      help.replace(at, gone.size(), "");
  }
  EXPECT_EQ(CoverageProblems(help),
            (Problems{"help.txt: «Тактика-&5» (mnuTactics5) is never mentioned",
                      "help.txt: «&Выход» (mnuExit) is never mentioned"}));
}

}  // namespace
}  // namespace zel
