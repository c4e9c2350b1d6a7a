#include "launcher/launch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <utility>

#include "app/dispatcher.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

// The launch items as the product's tables list them, written out here on
// their own so that a slip in the shell's tables shows: item slot 1, Russian
// letter, English letter, item slot 2, picture letter.
struct Row {
  Control item;
  std::string_view letters;
};
constexpr Row kCourseRows[] = {
    {Control::mnuTactics1, "tPTai"}, {Control::mnuTactics2, "xPTyi"},
    {Control::mnuTactics3, "sPTui"}, {Control::mnuTactics4, "wPTot"},
    {Control::mnuTactics5, "qPTqt"}, {Control::mnuTactics6, "vPTet"},
    {Control::mnuTactics7, "pPTdy"}, {Control::mnuTactics8, "kPTcy"},
    {Control::mnuTactics9, "zPTby"}, {Control::mnuPractic, "lSRti"},
    {Control::cmdPractic, "lSRti"},
};
constexpr Row kBookRows[] = {
    {Control::mnuZadachnik, "bPTsy"},
    {Control::mnuDorbelan, "mPTmy"},
    {Control::mnuChecmate, "rPTiy"},
    {Control::mnuTactic, "fKLry"},
};

using Positions = std::array<std::uint32_t, 14>;

struct Family {
  std::string_view russianFile, russianStart, englishFile, englishStart;
  Positions writeOrder;  // 1-based
};
constexpr Family kCourse{"Kombiru.exe",
                         "Kombiru",
                         "Kombien.exe",
                         "Kombien",
                         {94119, 94217, 96316, 94160, 94188, 94581, 94202, 94553, 94567, 94539,
                          94174, 94755, 94769, 94783}};
constexpr Family kBook{"ZelmikuR.exe",
                       "ZelmikuR",
                       "ZelmikuE.exe",
                       "ZelmikuE",
                       {94775, 94873, 96972, 94816, 94844, 95237, 94858, 95209, 95223, 95195, 94830,
                        95411, 95425, 95439}};
constexpr std::string_view kSolverFiles[] = {"Kombiru.exe", "Kombien.exe", "ZelmikuR.exe",
                                             "ZelmikuE.exe"};
constexpr std::size_t kSolverSize = 97000;

// The fourteen letters in write order. The last three positions keep the
// picture letter with pictures off too.
std::string LettersOf(std::string_view row, bool russian, bool picturesOn) {
  std::string letters{row[0], russian ? row[1] : row[2], row[3]};
  letters.append(8, picturesOn ? row[4] : 'n');
  letters.append(3, row[4]);
  return letters;
}

std::string Patched(std::string content, const Positions& at, std::string_view letters) {
  for (std::size_t i = 0; i < at.size() && i < letters.size(); ++i) {
    if (content.size() < at[i]) content.resize(at[i], '\0');
    content[at[i] - 1] = letters[i];
  }
  return content;
}

// A program file stand-in of varied bytes without a single ASCII letter, so
// that every letter found in it after a launch was written by the launch.
std::string SolverBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    auto byte = static_cast<unsigned char>((i * 37 + (i >> 8) * 11 + seed * 101) & 0xFF);
    if ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') byte ^= 0x80;
    bytes[i] = static_cast<char>(byte);
  }
  return bytes;
}

std::string SettingLine(std::string_view text) { return "\"" + std::string(text) + "\"\r\n"; }

// Whole program files compared without printing 97,000 bytes on a mismatch.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected; first difference at offset " << at;
}

// A harness with its settings, the launch picture and the four solver files.
struct LaunchFolder : Harness {
  explicit LaunchFolder(std::string_view language = "R", std::string_view pictures = "Y") {
    Settings(language, pictures);
    WritePicture("PictZEL.bmp", 0x102030);
    for (unsigned i = 0; i < 4; ++i) Write(kSolverFiles[i], SolverBytes(kSolverSize, i + 1));
  }
  void Settings(std::string_view language, std::string_view pictures) const {
    WriteSettings(SettingLine(language), SettingLine(pictures));
  }
  static std::string Original(std::string_view file) {
    for (unsigned i = 0; i < 4; ++i)
      if (kSolverFiles[i] == file) return SolverBytes(kSolverSize, i + 1);
    return {};
  }
};

// Files that pass every call through and note each patch write: which file was
// opened for update, and every byte written, with its 1-based position.
class PatchRecorder final : public platform::Files {
 public:
  explicit PatchRecorder(platform::Files& real) : real_(real) {}

  std::vector<std::string> opened;
  std::vector<std::pair<std::uint32_t, char>> writes;

  std::string ReadAll(std::string_view name) override { return real_.ReadAll(name); }
  void ProbeWritable(std::string_view name) override { real_.ProbeWritable(name); }
  platform::TemporaryFile CreateTemporaryBeside(std::string_view beside) override {
    return real_.CreateTemporaryBeside(beside);
  }
  void Replace(std::string_view from, std::string_view to) override { real_.Replace(from, to); }
  void RemoveFile(std::string_view name) override { real_.RemoveFile(name); }
  void RemoveEmptyFolder(std::string_view name) override { real_.RemoveEmptyFolder(name); }
  std::unique_ptr<platform::FileLock> LockExclusive(std::string_view name) override {
    return real_.LockExclusive(name);
  }
  std::unique_ptr<platform::UpdateFile> OpenForUpdate(std::string_view name) override {
    opened.emplace_back(name);
    return std::make_unique<Recorded>(*this, real_.OpenForUpdate(name));
  }

 private:
  class Recorded final : public platform::UpdateFile {
   public:
    Recorded(PatchRecorder& owner, std::unique_ptr<platform::UpdateFile> real)
        : owner_(owner), real_(std::move(real)) {}
    void WriteByteAt(std::uint64_t offset, char byte) override {
      owner_.writes.emplace_back(static_cast<std::uint32_t>(offset + 1), byte);
      real_->WriteByteAt(offset, byte);
    }
    void Close() override { real_->Close(); }

   private:
    PatchRecorder& owner_;
    std::unique_ptr<platform::UpdateFile> real_;
  };
  platform::Files& real_;
};

// Starts that note what the started file held at that moment and how many
// file handles were still open.
class StartWitness final : public platform::Processes {
 public:
  explicit StartWitness(LaunchFolder& folder) : folder_(folder) {}
  struct Start {
    std::string name;
    int windowStyle;
    std::string fileAtStart;
    int openHandles;
  };
  std::vector<Start> starts;
  void StartProgram(std::string_view bareName, int windowStyle) override {
    starts.push_back({std::string(bareName), windowStyle,
                      folder_.Read(std::string(bareName) + ".exe"), folder_.files.openHandles()});
  }

 private:
  LaunchFolder& folder_;
};

void RunHandler(frmZelmiku& form, Control item) { (form.*HandlerOf(item))(); }

TEST(Launch, EveryItemPatchesItsLettersIntoTheChosenFileAloneAndStartsIt) {
  struct Table {
    std::span<const Row> rows;
    const Family& family;
  };
  for (const Table& table : {Table{kCourseRows, kCourse}, Table{kBookRows, kBook}}) {
    for (const Row& row : table.rows) {
      for (bool russian : {true, false}) {
        for (bool picturesOn : {true, false}) {
          SCOPED_TRACE(std::string(ControlName(row.item)) + (russian ? " R" : " E") +
                       (picturesOn ? " Y" : " N"));
          LaunchFolder h(russian ? "R" : "E", picturesOn ? "Y" : "N");
          PatchRecorder recorder(h.files);
          StartWitness witness(h);
          frmZelmiku form(platform::Services{h.window, recorder, witness});
          RunHandler(form, row.item);

          const std::string_view file =
              russian ? table.family.russianFile : table.family.englishFile;
          const std::string_view start =
              russian ? table.family.russianStart : table.family.englishStart;
          const std::string letters = LettersOf(row.letters, russian, picturesOn);
          const std::string expected = Patched(h.Original(file), table.family.writeOrder, letters);

          // The chosen file holds the letters and is otherwise as it was, length
          // included; the three other solver files are untouched.
          for (std::string_view solver : kSolverFiles)
            EXPECT_TRUE(SameBytes(h.Read(solver), solver == file ? expected : h.Original(solver)))
                << solver;

          // One open, the fourteen writes in their order, then the start.
          EXPECT_EQ(recorder.opened, std::vector<std::string>{std::string(file)});
          std::vector<std::pair<std::uint32_t, char>> order;
          for (std::size_t i = 0; i < 14; ++i)
            order.emplace_back(table.family.writeOrder[i], letters[i]);
          EXPECT_EQ(recorder.writes, order);
          std::vector<std::string> calls = {"ReadAll enfo00.dat", "ReadAll pnfo00.dat",
                                            "ReadAll PictZEL.bmp",
                                            "OpenForUpdate " + std::string(file)};
          calls.insert(calls.end(), 14, "WriteByteAt " + std::string(file));
          calls.push_back("Close " + std::string(file));
          EXPECT_EQ(h.files.log(), calls);

          // Started once, window style 1, with the file complete and closed.
          ASSERT_EQ(witness.starts.size(), 1u);
          EXPECT_EQ(witness.starts[0].name, start);
          EXPECT_EQ(witness.starts[0].windowStyle, 1);
          EXPECT_TRUE(SameBytes(witness.starts[0].fileAtStart, expected));
          EXPECT_EQ(witness.starts[0].openHandles, 0);
          // The launch picture, and no button or mark changed.
          EXPECT_EQ(h.window.log(), std::vector<std::string>{"picture PictZEL.bmp"});
        }
      }
    }
  }
}

TEST(Launch, AWriteFailingAtEachPositionKeepsTheLettersBeforeItAndStartsNothing) {
  const std::string letters = LettersOf("tPTai", true, true);
  for (int k = 1; k <= 14; ++k) {
    SCOPED_TRACE("failing write " + std::to_string(k));
    LaunchFolder h;
    h.files.FailOperation("WriteByteAt", k, EIO);
    EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, EIO);
    EXPECT_EQ(h.report.reports[0].subject, "Kombiru.exe");
    EXPECT_TRUE(SameBytes(
        h.Read("Kombiru.exe"),
        Patched(h.Original("Kombiru.exe"), kCourse.writeOrder, letters.substr(0, k - 1))));
    EXPECT_EQ(h.files.openHandles(), 0);
    EXPECT_TRUE(h.processes.starts.empty());
    EXPECT_EQ(h.window.picture(), "PictZEL.bmp");
  }

  // The open, or the close after all fourteen letters, failing.
  struct Case {
    const char* operation;
    std::size_t lettersKept;
  };
  for (const Case& c : {Case{"OpenForUpdate", 0}, Case{"Close", 14}}) {
    SCOPED_TRACE(c.operation);
    LaunchFolder h;
    h.files.FailOperation(c.operation, 1, EACCES);
    EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, EACCES);
    EXPECT_TRUE(SameBytes(
        h.Read("Kombiru.exe"),
        Patched(h.Original("Kombiru.exe"), kCourse.writeOrder, letters.substr(0, c.lettersKept))));
    EXPECT_EQ(h.files.openHandles(), 0);
    EXPECT_TRUE(h.processes.starts.empty());
  }
}

TEST(Launch, TheFirstFailingStepEndsTheLaunchAndLeavesTheLaterStepsUndone) {
  auto untouched = [](const LaunchFolder& h) {
    for (std::string_view solver : kSolverFiles)
      if (h.Exists(solver) && h.Read(solver) != h.Original(solver)) return false;
    return true;
  };
  // A settings file missing or without a value: nothing shown, written or started.
  struct SettingsCase {
    const char* file;
    const char* content;  // nullptr: missing
    std::int32_t code;
  };
  for (const SettingsCase& c :
       {SettingsCase{"enfo00.dat", nullptr, ENOENT}, SettingsCase{"pnfo00.dat", nullptr, ENOENT},
        SettingsCase{"pnfo00.dat", "", platform::NoValueFailure("").code}}) {
    SCOPED_TRACE(std::string(c.file) + (c.content ? " empty" : " missing"));
    LaunchFolder h;
    if (c.content)
      h.Write(c.file, c.content);
    else
      h.Remove(c.file);
    EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, c.code);
    EXPECT_EQ(h.report.reports[0].subject, c.file);
    EXPECT_TRUE(h.window.log().empty());
    EXPECT_TRUE(untouched(h));
    EXPECT_TRUE(h.processes.starts.empty());
  }

  // The launch picture missing or no picture: the window keeps what it showed.
  for (const char* picture : {static_cast<const char*>(nullptr), "not a bitmap"}) {
    SCOPED_TRACE(picture ? "PictZEL.bmp not a picture" : "PictZEL.bmp missing");
    LaunchFolder h;
    h.WritePicture("About.bmp");
    ASSERT_EQ(h.dispatcher.Click(Control::mnuProgram), RunState::Running);
    if (picture)
      h.Write("PictZEL.bmp", picture);
    else
      h.Remove("PictZEL.bmp");
    EXPECT_EQ(h.dispatcher.Click(Control::mnuChecmate), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code,
              picture ? platform::InvalidPictureFailure("").code : ENOENT);
    EXPECT_EQ(h.report.reports[0].subject, "PictZEL.bmp");
    EXPECT_EQ(h.window.picture(), "About.bmp");
    EXPECT_TRUE(untouched(h));
    EXPECT_TRUE(h.processes.starts.empty());
  }

  // The solver file missing: not created, nothing started, the other untouched.
  {
    LaunchFolder h("E");
    h.Remove("Kombien.exe");
    EXPECT_EQ(h.dispatcher.Click(Control::mnuTactics3), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, ENOENT);
    EXPECT_EQ(h.report.reports[0].subject, "Kombien.exe");
    EXPECT_FALSE(h.Exists("Kombien.exe"));
    EXPECT_TRUE(untouched(h));
    EXPECT_TRUE(h.processes.starts.empty());
    EXPECT_EQ(h.files.openHandles(), 0);
  }

  // The start failing: the file stays patched.
  {
    LaunchFolder h;
    h.processes.FailWith(ENOENT);
    EXPECT_EQ(h.dispatcher.Click(Control::mnuTactic), RunState::Failed);
    ASSERT_EQ(h.report.reports.size(), 1u);
    EXPECT_EQ(h.report.reports[0].code, ENOENT);
    EXPECT_EQ(h.report.reports[0].subject, "ZelmikuR");
    EXPECT_TRUE(SameBytes(
        h.Read("ZelmikuR.exe"),
        Patched(h.Original("ZelmikuR.exe"), kBook.writeOrder, LettersOf("fKLry", true, true))));
  }
}

TEST(Launch, ThePracticeButtonOverTheTextbookLaunchesAsThePracticeMenuItemDoes) {
  LaunchFolder fromMenu("E", "N");
  ASSERT_EQ(fromMenu.dispatcher.Click(Control::mnuPractic), RunState::Running);

  LaunchFolder fromButton("E", "N");
  fromButton.WritePicture("Book.bmp", 0x010101);
  fromButton.WritePicture("Pict02.bmp", 0x020202);
  ASSERT_EQ(fromButton.dispatcher.Click(Control::mnuBook), RunState::Running);
  ASSERT_EQ(fromButton.dispatcher.Click(Control::cmdRight), RunState::Running);
  ASSERT_TRUE(fromButton.dispatcher.Clickable(Control::cmdPractic));
  const std::string counter = fromButton.Read("playea.ini");
  std::vector<std::pair<bool, bool>> buttons;
  for (Control b : {Control::cmdLeft, Control::cmdRight, Control::cmdPractic})
    buttons.emplace_back(fromButton.window.IsShown(b), fromButton.window.IsEnabled(b));
  fromButton.window.ClearLog();
  ASSERT_EQ(fromButton.dispatcher.Click(Control::cmdPractic), RunState::Running);

  EXPECT_TRUE(SameBytes(fromButton.Read("Kombien.exe"), fromMenu.Read("Kombien.exe")));
  EXPECT_FALSE(fromMenu.Read("Kombien.exe") == fromMenu.Original("Kombien.exe"));
  EXPECT_EQ(fromMenu.Read("Kombien.exe")[94216], 'R');  // the English letter of practice
  ASSERT_EQ(fromButton.processes.starts.size(), 1u);
  EXPECT_EQ(fromButton.processes.starts[0].name, "Kombien");
  // The textbook stays as it was under the launch picture.
  EXPECT_EQ(fromButton.window.log(), std::vector<std::string>{"picture PictZEL.bmp"});
  EXPECT_EQ(fromButton.Read("playea.ini"), counter);
  std::size_t i = 0;
  for (Control b : {Control::cmdLeft, Control::cmdRight, Control::cmdPractic}) {
    EXPECT_EQ(fromButton.window.IsShown(b), buttons[i].first) << ControlName(b);
    EXPECT_EQ(fromButton.window.IsEnabled(b), buttons[i++].second) << ControlName(b);
  }
}

// The 0-based offsets at which two contents differ, the shorter padded.
std::set<std::size_t> Differences(const std::string& a, const std::string& b) {
  std::set<std::size_t> differ;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i)
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) differ.insert(i);
  return differ;
}

TEST(Launch, ALaterLaunchOfTheSameFileLeavesExactlyItsOwnLetters) {
  LaunchFolder h;
  ASSERT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Running);
  const std::string afterFirst = h.Read("Kombiru.exe");
  ASSERT_EQ(h.dispatcher.Click(Control::mnuTactics2), RunState::Running);
  const std::string afterSecond = h.Read("Kombiru.exe");
  EXPECT_EQ(Differences(afterFirst, afterSecond), (std::set<std::size_t>{94118, 96315}));
  EXPECT_EQ(afterFirst[94118], 't');
  EXPECT_EQ(afterSecond[94118], 'x');
  EXPECT_EQ(afterFirst[96315], 'a');
  EXPECT_EQ(afterSecond[96315], 'y');

  // With the pictures switched off in between, the eight switch positions too.
  h.Settings("R", "N");
  ASSERT_EQ(h.dispatcher.Click(Control::mnuTactics1), RunState::Running);
  EXPECT_EQ(Differences(afterSecond, h.Read("Kombiru.exe")),
            (std::set<std::size_t>{94118, 96315, 94159, 94173, 94187, 94201, 94538, 94552, 94566,
                                   94580}));

  // Problem-book items, in both languages: each file holds its last launch only.
  h.Settings("E", "Y");
  ASSERT_EQ(h.dispatcher.Click(Control::mnuChecmate), RunState::Running);
  ASSERT_EQ(h.dispatcher.Click(Control::mnuTactic), RunState::Running);
  h.Settings("R", "N");
  ASSERT_EQ(h.dispatcher.Click(Control::mnuChecmate), RunState::Running);
  EXPECT_TRUE(SameBytes(
      h.Read("ZelmikuE.exe"),
      Patched(h.Original("ZelmikuE.exe"), kBook.writeOrder, LettersOf("fKLry", false, true))));
  EXPECT_TRUE(SameBytes(
      h.Read("ZelmikuR.exe"),
      Patched(h.Original("ZelmikuR.exe"), kBook.writeOrder, LettersOf("rPTiy", true, false))));
  EXPECT_TRUE(SameBytes(h.Read("Kombien.exe"), h.Original("Kombien.exe")));
  std::vector<std::string> started;
  for (const auto& s : h.processes.starts) started.push_back(s.name);
  EXPECT_EQ(started, (std::vector<std::string>{"Kombiru", "Kombiru", "Kombiru", "ZelmikuE",
                                               "ZelmikuE", "ZelmikuR"}));
}

TEST(Launch, AShortFileGrowsToItsHighestPositionWithZerosInTheGap) {
  const std::string head = SolverBytes(100, 9);
  struct Case {
    Control item;
    const char* file;
    const Family& family;
    std::string_view row;
  };
  for (const Case& c : {Case{Control::mnuTactics4, "Kombiru.exe", kCourse, "wPTot"},
                        Case{Control::mnuChecmate, "ZelmikuR.exe", kBook, "rPTiy"}}) {
    SCOPED_TRACE(c.file);
    LaunchFolder h;
    h.Write(c.file, head);
    ASSERT_EQ(h.dispatcher.Click(c.item), RunState::Running);
    EXPECT_EQ(h.processes.starts.size(), 1u);
    const std::string grown = h.Read(c.file);
    EXPECT_EQ(grown.size(), c.family.writeOrder[2]);  // item slot 2 is the highest
    EXPECT_TRUE(SameBytes(grown, Patched(head, c.family.writeOrder, LettersOf(c.row, true, true))));
  }
}

TEST(Launch, OnlyTheExactValuesRAndYChooseRussianAndPictures) {
  struct Case {
    const char* language;
    const char* pictures;
    bool russian;
    bool picturesOn;
  };
  const Case cases[] = {
      {"E", "Y", false, true},  {"r", "Y", false, true}, {"", "Y", false, true},
      {"R ", "Y", false, true}, {"R", "y", true, false}, {"R", "N", true, false},
      {"R", "", true, false},   {"R", "Y", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("language \"") + c.language + "\", pictures \"" + c.pictures + "\"");
    for (const Row& row : {kCourseRows[6], kCourseRows[9]}) {  // mnuTactics7, mnuPractic
      LaunchFolder h(c.language, c.pictures);
      RunHandler(h.form, row.item);
      const std::string file(c.russian ? "Kombiru.exe" : "Kombien.exe");
      const std::string other(c.russian ? "Kombien.exe" : "Kombiru.exe");
      EXPECT_TRUE(SameBytes(h.Read(file), Patched(h.Original(file), kCourse.writeOrder,
                                                  LettersOf(row.letters, c.russian, c.picturesOn))))
          << ControlName(row.item);
      EXPECT_TRUE(SameBytes(h.Read(other), h.Original(other)));
      ASSERT_EQ(h.processes.starts.size(), 1u);
      EXPECT_EQ(h.processes.starts[0].name, file.substr(0, 7));
    }
  }
}

}  // namespace
}  // namespace zel
