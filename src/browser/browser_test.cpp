// The textbook and help browsers, clicked through the dispatcher over a real
// program folder: the counter file, the picture and all five buttons after
// every click, the order of the steps within a click, and what a failing step
// leaves behind. Expectations come from tables written out here, not from the
// browser's own page tables.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/dispatcher.h"
#include "platform/failure.h"
#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;
using testing::MakeBmp;
using Steps = std::vector<std::string>;

// Textbook counter 1 is the title, 2 to 20 its pages; help counter 0 is the
// title, 1 to 8 its pages. Practice is enabled on the pages marked Y.
constexpr std::string_view kPracticeByCounter = "..YYYYYYNNYYYYYNNNNNY";
static_assert(kPracticeByCounter.size() == 21);

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
std::string TextbookPicture(int counter) {
  return counter == 1 ? "Book.bmp" : "Pict" + TwoDigits(counter) + ".bmp";
}
std::string HelpPicture(int counter) {
  return counter == 0 ? "Help.bmp" : "Help" + TwoDigits(counter) + ".bmp";
}
std::string CounterBytes(long long counter) { return std::to_string(counter) + "\r\n"; }

constexpr std::array<Control, 5> kButtonOrder = {Control::cmdLeft, Control::cmdRight,
                                                 Control::cmdPractic, Control::cmdLeft2,
                                                 Control::cmdRight2};

// Shown and enabled states of cmdLeft, cmdRight, cmdPractic, cmdLeft2, cmdRight2.
struct Buttons {
  std::array<bool, 5> shown;
  std::array<bool, 5> enabled;
  bool operator==(const Buttons&) const = default;
};

void PrintTo(const Buttons& b, std::ostream* out) {
  for (std::size_t i = 0; i < kButtonOrder.size(); ++i)
    *out << ControlName(kButtonOrder[i]) << (b.shown[i] ? " shown" : " hidden")
         << (b.enabled[i] ? "+enabled; " : "+disabled; ");
}

Buttons ButtonsOf(const platform::Window& w) {
  Buttons b{};
  for (std::size_t i = 0; i < kButtonOrder.size(); ++i) {
    b.shown[i] = w.IsShown(kButtonOrder[i]);
    b.enabled[i] = w.IsEnabled(kButtonOrder[i]);
  }
  return b;
}

// The textbook open on `counter`; the help arrows hidden with the enabled
// states they had.
Buttons TextbookOn(int counter, bool left2, bool right2) {
  return {{true, true, true, false, false},
          {counter >= 3, counter != 20, kPracticeByCounter.at(counter) == 'Y', left2, right2}};
}

// The help open on `counter`; the textbook buttons hidden with the enabled
// states they had.
Buttons HelpOn(int counter, const Buttons& before) {
  return {{false, false, false, true, true},
          {before.enabled[0], before.enabled[1], before.enabled[2], counter >= 2, counter != 8}};
}

// One sequence of the window calls and the file operations between them, in
// the order they were made, with file operations as a handler sees them: a
// read ("read playea.ini", also a picture being loaded) and a finished
// replacement ("write playea.ini").
class StepTrace final : public platform::Window {
 public:
  StepTrace(platform::FakeWindow& window, platform::FaultyFiles& files)
      : window_(window), files_(files) {}

  void ShowPicture(std::string_view file) override {
    CatchUp();
    window_.ShowPicture(file);
    CatchUp();
  }
  void SetShown(Control button, bool shown) override {
    CatchUp();
    window_.SetShown(button, shown);
    CatchUp();
  }
  void SetEnabled(Control button, bool enabled) override {
    CatchUp();
    window_.SetEnabled(button, enabled);
    CatchUp();
  }
  void SetChecked(Control item, bool checked) override {
    CatchUp();
    window_.SetChecked(item, checked);
    CatchUp();
  }
  bool IsShown(Control button) const override { return window_.IsShown(button); }
  bool IsEnabled(Control button) const override { return window_.IsEnabled(button); }
  bool IsChecked(Control item) const override { return window_.IsChecked(item); }

  // The steps since the last call.
  Steps Take() {
    CatchUp();
    return std::exchange(steps_, {});
  }

 private:
  void CatchUp() {
    const auto& fileLog = files_.log();
    for (; filesSeen_ < fileLog.size(); ++filesSeen_) {
      const std::string_view op = fileLog[filesSeen_];
      const std::string subject(op.substr(op.find(' ') + 1));
      if (op.starts_with("ReadAll ")) steps_.push_back("read " + subject);
      if (op.starts_with("Replace ")) steps_.push_back("write " + subject);
    }
    const auto& windowLog = window_.log();
    for (; windowSeen_ < windowLog.size(); ++windowSeen_) steps_.push_back(windowLog[windowSeen_]);
  }

  platform::FakeWindow& window_;
  platform::FaultyFiles& files_;
  std::size_t filesSeen_ = 0;
  std::size_t windowSeen_ = 0;
  Steps steps_;
};

class Browsers : public ::testing::Test {
 protected:
  void SetUp() override {
    h.WriteSettings();
    for (int counter = 1; counter <= 20; ++counter) PutPicture(TextbookPicture(counter));
    for (int counter = 0; counter <= 8; ++counter) PutPicture(HelpPicture(counter));
    for (const char* other : {"About.bmp", "PictZEL.bmp", "PictNR.bmp", "PictNE.bmp"})
      PutPicture(other);
    ASSERT_EQ(h.dispatcher.Start(), RunState::Running);
    initial = ButtonsOf(h.window);
  }

  // Each picture has its own width and colour, so the size of the picture the
  // window holds tells which file it really loaded.
  void PutPicture(const std::string& name) {
    const int width = 16 + static_cast<int>(widths_.size());
    widths_[name] = width;
    h.Write(name, MakeBmp(width, 4, 0x010203u * static_cast<std::uint32_t>(width)));
  }

  ::testing::AssertionResult Shows(const std::string& name) const {
    const auto& w = h.window;
    if (w.picture() == name && w.pictureWidth() == widths_.at(name))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "shows " << w.picture() << " of width " << w.pictureWidth() << ", not " << name;
  }

  void Click(Control control) {
    EXPECT_EQ(h.dispatcher.Click(control), RunState::Running) << ControlName(control);
  }
  void Click(Control control, int times) {
    for (int i = 0; i < times; ++i) Click(control);
  }

  // The failure of one click: the dispatcher ends the program and reports it.
  platform::Failure FailingClick(Control control) {
    EXPECT_EQ(h.dispatcher.Click(control), RunState::Failed) << ControlName(control);
    if (h.report.reports.empty()) return {};
    return h.report.reports.back();
  }

  // The same form over the traced window, for the order of the steps.
  Steps Traced(Control control) {
    trace_.Take();
    EXPECT_EQ(tracedDispatcher_.Click(control), RunState::Running) << ControlName(control);
    return trace_.Take();
  }

  Harness h;
  Buttons initial{};

 private:
  std::map<std::string, int> widths_;
  StepTrace trace_{h.window, h.files};
  frmZelmiku tracedForm_{platform::Services{trace_, h.files, h.processes}};
  Dispatcher tracedDispatcher_{tracedForm_, trace_, h.report};
};

TEST_F(Browsers, TextbookWalksToItsLastPageAndBackToItsFirst) {
  const bool left2 = initial.enabled[3], right2 = initial.enabled[4];
  auto expectOn = [&](int counter) {
    SCOPED_TRACE("textbook counter " + std::to_string(counter));
    EXPECT_EQ(h.Read("playea.ini"), CounterBytes(counter));
    EXPECT_TRUE(Shows(TextbookPicture(counter)));
    EXPECT_EQ(ButtonsOf(h.window), TextbookOn(counter, left2, right2));
  };

  Click(Control::mnuBook);
  expectOn(1);
  EXPECT_EQ(h.Read("playea.ini"), std::string("\x31\x0D\x0A"));
  for (int counter = 2; counter <= 20; ++counter) {
    Click(Control::cmdRight);
    expectOn(counter);
  }
  Click(Control::cmdRight);  // disabled on the last page: no effect
  expectOn(20);
  for (int counter = 19; counter >= 2; --counter) {
    Click(Control::cmdLeft);
    expectOn(counter);
  }
  Click(Control::cmdLeft);  // disabled on the first page: no effect
  expectOn(2);
  EXPECT_FALSE(h.Exists("playeo.ini"));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, HelpWalksToItsLastPageAndBackToItsFirst) {
  auto expectOn = [&](int counter) {
    SCOPED_TRACE("help counter " + std::to_string(counter));
    EXPECT_EQ(h.Read("playeo.ini"), CounterBytes(counter));
    EXPECT_TRUE(Shows(HelpPicture(counter)));
    EXPECT_EQ(ButtonsOf(h.window), HelpOn(counter, initial));
  };

  Click(Control::mnuHelp1);
  expectOn(0);
  EXPECT_EQ(h.Read("playeo.ini"), std::string("\x30\x0D\x0A"));
  for (int counter = 1; counter <= 8; ++counter) {
    Click(Control::cmdRight2);
    expectOn(counter);
  }
  Click(Control::cmdRight2);
  expectOn(8);
  for (int counter = 7; counter >= 1; --counter) {
    Click(Control::cmdLeft2);
    expectOn(counter);
  }
  Click(Control::cmdLeft2);
  expectOn(1);
  EXPECT_FALSE(h.Exists("playea.ini"));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, EachHandlerTakesItsStepsInOrder) {
  EXPECT_EQ(
      Traced(Control::mnuBook),
      (Steps{"write playea.ini", "shown cmdLeft 1", "shown cmdRight 1", "shown cmdPractic 1",
             "shown cmdLeft2 0", "shown cmdRight2 0", "enabled cmdLeft 0", "enabled cmdRight 1",
             "enabled cmdPractic 0", "read Book.bmp", "picture Book.bmp"}));
  // The forward arrow is set from a second read of the file, after the picture.
  EXPECT_EQ(Traced(Control::cmdRight),
            (Steps{"read playea.ini", "enabled cmdLeft 0", "write playea.ini", "read Pict02.bmp",
                   "picture Pict02.bmp", "enabled cmdPractic 1", "read playea.ini",
                   "enabled cmdRight 1"}));
  h.Write("playea.ini", "19\r\n");
  EXPECT_EQ(Traced(Control::cmdRight),
            (Steps{"read playea.ini", "enabled cmdLeft 1", "write playea.ini", "read Pict20.bmp",
                   "picture Pict20.bmp", "enabled cmdPractic 1", "read playea.ini",
                   "enabled cmdRight 0"}));
  EXPECT_EQ(Traced(Control::cmdLeft),
            (Steps{"read playea.ini", "enabled cmdLeft 1", "write playea.ini", "read Pict19.bmp",
                   "picture Pict19.bmp", "enabled cmdPractic 0", "read playea.ini",
                   "enabled cmdRight 1"}));
  h.Write("playea.ini", "3\r\n");
  EXPECT_EQ(Traced(Control::cmdLeft),
            (Steps{"read playea.ini", "enabled cmdLeft 0", "write playea.ini", "read Pict02.bmp",
                   "picture Pict02.bmp", "enabled cmdPractic 1", "read playea.ini",
                   "enabled cmdRight 1"}));

  EXPECT_EQ(Traced(Control::mnuHelp1),
            (Steps{"write playeo.ini", "shown cmdRight2 1", "enabled cmdRight2 1",
                   "shown cmdLeft2 1", "enabled cmdLeft2 0", "shown cmdRight 0", "shown cmdLeft 0",
                   "shown cmdPractic 0", "read Help.bmp", "picture Help.bmp"}));
  // The help sets both arrows before it writes.
  EXPECT_EQ(Traced(Control::cmdRight2),
            (Steps{"read playeo.ini", "enabled cmdLeft2 0", "enabled cmdRight2 1",
                   "write playeo.ini", "read Help01.bmp", "picture Help01.bmp"}));
  h.Write("playeo.ini", "7\r\n");
  EXPECT_EQ(Traced(Control::cmdRight2),
            (Steps{"read playeo.ini", "enabled cmdLeft2 1", "enabled cmdRight2 0",
                   "write playeo.ini", "read Help08.bmp", "picture Help08.bmp"}));
  EXPECT_EQ(Traced(Control::cmdLeft2),
            (Steps{"read playeo.ini", "enabled cmdLeft2 1", "enabled cmdRight2 1",
                   "write playeo.ini", "read Help07.bmp", "picture Help07.bmp"}));
  h.Write("playeo.ini", "2\r\n");
  EXPECT_EQ(Traced(Control::cmdLeft2),
            (Steps{"read playeo.ini", "enabled cmdLeft2 0", "enabled cmdRight2 1",
                   "write playeo.ini", "read Help01.bmp", "picture Help01.bmp"}));

  EXPECT_EQ(Traced(Control::mnuProgram), (Steps{"read About.bmp", "picture About.bmp"}));
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST_F(Browsers, OpeningOneBrowserHidesTheOtherAndLeavesItsCounterAndEnabledStates) {
  Click(Control::mnuBook);
  Click(Control::cmdRight);  // page 2: back off, forward and Practice on
  const Buttons onPage2 = ButtonsOf(h.window);

  Click(Control::mnuHelp1);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_EQ(ButtonsOf(h.window), HelpOn(0, onPage2));
  Click(Control::cmdRight);  // hidden now: no effect
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_TRUE(Shows("Help.bmp"));

  Click(Control::cmdRight2, 8);  // page 8: back on, forward off
  Click(Control::mnuBook);
  EXPECT_EQ(h.Read("playeo.ini"), "8\r\n");
  EXPECT_EQ(ButtonsOf(h.window), TextbookOn(1, true, false));
  Click(Control::cmdLeft2);
  EXPECT_EQ(h.Read("playeo.ini"), "8\r\n");
  EXPECT_TRUE(Shows("Book.bmp"));

  // Opening a browser again starts it at its title, whatever it showed.
  Click(Control::cmdRight, 13);
  EXPECT_EQ(h.Read("playea.ini"), "14\r\n");
  Click(Control::mnuBook);
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_TRUE(Shows("Book.bmp"));
  EXPECT_EQ(ButtonsOf(h.window), TextbookOn(1, true, false));

  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 6);
  Click(Control::mnuHelp1);
  EXPECT_EQ(h.Read("playeo.ini"), "0\r\n");
  EXPECT_TRUE(Shows("Help.bmp"));
  EXPECT_EQ(ButtonsOf(h.window), HelpOn(0, TextbookOn(1, true, false)));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, OtherPicturesKeepTheBrowserAndItsCounter) {
  h.Write("Kombiru.exe", std::string(97000, '\0'));
  h.Write("Kombien.exe", std::string(97000, '\0'));
  struct Other {
    Control item;
    const char* picture;
  };
  for (const Other other :
       {Other{Control::mnuProgram, "About.bmp"}, Other{Control::mnuTactics1, "PictZEL.bmp"},
        Other{Control::mnuRussian, "PictNR.bmp"}, Other{Control::mnuEnglish, "PictNE.bmp"}}) {
    SCOPED_TRACE(ControlName(other.item));
    const std::size_t startsBefore = h.processes.starts.size();

    Click(Control::mnuBook);
    Click(Control::cmdRight, 4);  // page 5
    Buttons before = ButtonsOf(h.window);
    Click(other.item);
    EXPECT_TRUE(Shows(other.picture));
    EXPECT_EQ(ButtonsOf(h.window), before);
    EXPECT_EQ(h.Read("playea.ini"), "5\r\n");
    Click(Control::cmdRight);
    EXPECT_TRUE(Shows("Pict06.bmp"));
    EXPECT_EQ(h.Read("playea.ini"), "6\r\n");

    Click(Control::mnuHelp1);
    Click(Control::cmdRight2, 8);
    before = ButtonsOf(h.window);
    Click(other.item);
    EXPECT_TRUE(Shows(other.picture));
    EXPECT_EQ(ButtonsOf(h.window), before);
    EXPECT_EQ(h.Read("playeo.ini"), "8\r\n");
    Click(Control::cmdLeft2);
    EXPECT_TRUE(Shows("Help07.bmp"));
    EXPECT_EQ(h.Read("playeo.ini"), "7\r\n");

    const std::size_t launches = other.item == Control::mnuTactics1 ? 2 : 0;
    EXPECT_EQ(h.processes.starts.size(), startsBefore + launches);
  }
  ASSERT_EQ(h.processes.starts.size(), 2u);
  EXPECT_EQ(h.processes.starts[0].name, "Kombiru");
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, CountersChangedFromOutsideAreCountedWithoutAPicture) {
  // Forward from 30 on a page with Practice off, and on one with it on.
  for (int page : {8, 2}) {
    SCOPED_TRACE("textbook page " + std::to_string(page));
    Click(Control::mnuBook);
    Click(Control::cmdRight, page - 1);
    const bool practice = h.window.IsEnabled(Control::cmdPractic);
    h.Write("playea.ini", "30\r\n");
    Click(Control::cmdRight);
    EXPECT_EQ(h.Read("playea.ini"), "31\r\n");
    EXPECT_TRUE(Shows(TextbookPicture(page)));
    EXPECT_EQ(h.window.IsEnabled(Control::cmdPractic), practice);
    EXPECT_TRUE(h.window.IsEnabled(Control::cmdLeft));
    EXPECT_TRUE(h.window.IsEnabled(Control::cmdRight));
  }

  // Back from 21 arrives on 20 without a picture, yet the value read back
  // disables forward.
  Click(Control::mnuBook);
  Click(Control::cmdRight, 2);
  h.Write("playea.ini", "21\r\n");
  h.window.ClearLog();
  Click(Control::cmdLeft);
  EXPECT_EQ(h.Read("playea.ini"), "20\r\n");
  EXPECT_TRUE(Shows("Pict03.bmp"));
  EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft 1", "enabled cmdRight 0"}));

  // The help alike: back from 9 arrives on 8 without a picture, and that
  // disables forward.
  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 3);
  h.Write("playeo.ini", "9\r\n");
  h.window.ClearLog();
  Click(Control::cmdLeft2);
  EXPECT_EQ(h.Read("playeo.ini"), "8\r\n");
  EXPECT_TRUE(Shows("Help03.bmp"));
  EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft2 1", "enabled cmdRight2 0"}));

  Click(Control::mnuHelp1);
  Click(Control::cmdRight2);  // page 1: back off
  h.Write("playeo.ini", "20\r\n");
  Click(Control::cmdRight2);
  EXPECT_EQ(h.Read("playeo.ini"), "21\r\n");
  EXPECT_TRUE(Shows("Help01.bmp"));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdLeft2));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdRight2));
  EXPECT_TRUE(h.report.reports.empty());
}

// Below the range, a forward click that arrives on the title's counter still
// shows no picture: only opening a browser shows its title.
TEST_F(Browsers, CountersBelowTheRangeNeverLeadToTheTitle) {
  Click(Control::mnuBook);
  Click(Control::cmdRight, 2);
  const Buttons onPage3 = ButtonsOf(h.window);
  h.Write("playea.ini", "0\r\n");
  h.window.ClearLog();
  Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_TRUE(Shows("Pict03.bmp"));
  EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft 1", "enabled cmdRight 1"}));
  EXPECT_EQ(ButtonsOf(h.window), onPage3);

  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 2);
  h.Write("playeo.ini", "-1\r\n");
  h.window.ClearLog();
  Click(Control::cmdRight2);
  EXPECT_EQ(h.Read("playeo.ini"), "0\r\n");
  EXPECT_TRUE(Shows("Help02.bmp"));
  EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft2 1", "enabled cmdRight2 1"}));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, ACounterThatIsNoNumberCountsAsTheTitle) {
  Click(Control::mnuBook);
  Click(Control::cmdRight, 5);
  h.Write("playea.ini", "abc\r\n");
  Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), "2\r\n");
  EXPECT_TRUE(Shows("Pict02.bmp"));
  EXPECT_EQ(ButtonsOf(h.window), TextbookOn(2, initial.enabled[3], initial.enabled[4]));
  // Back from it leaves the page range: counted, no picture.
  Click(Control::cmdRight);
  h.Write("playea.ini", "\"abc\"\r\n");
  Click(Control::cmdLeft);
  EXPECT_EQ(h.Read("playea.ini"), "0\r\n");
  EXPECT_TRUE(Shows("Pict03.bmp"));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdLeft));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdRight));

  const Buttons textbook = ButtonsOf(h.window);
  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 4);
  h.Write("playeo.ini", "abc\r\n");
  Click(Control::cmdRight2);
  EXPECT_EQ(h.Read("playeo.ini"), "1\r\n");
  EXPECT_TRUE(Shows("Help01.bmp"));
  EXPECT_EQ(ButtonsOf(h.window), HelpOn(1, textbook));
  Click(Control::cmdRight2);
  h.Write("playeo.ini", "abc\r\n");
  Click(Control::cmdLeft2);
  EXPECT_EQ(h.Read("playeo.ini"), "-1\r\n");
  EXPECT_TRUE(Shows("Help02.bmp"));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdLeft2));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdRight2));
  EXPECT_TRUE(h.report.reports.empty());
}

TEST_F(Browsers, AnEmptyOrMissingCounterFailsBeforeAnythingChanges) {
  struct Arrow {
    Control open, arrow;
    const char* counterFile;
    int pagesIn;
  };
  for (const Arrow a : {Arrow{Control::mnuBook, Control::cmdRight, "playea.ini", 4},
                        Arrow{Control::mnuBook, Control::cmdLeft, "playea.ini", 4},
                        Arrow{Control::mnuHelp1, Control::cmdRight2, "playeo.ini", 3},
                        Arrow{Control::mnuHelp1, Control::cmdLeft2, "playeo.ini", 3}}) {
    for (const bool missing : {false, true}) {
      SCOPED_TRACE(std::string(ControlName(a.arrow)) + (missing ? " missing" : " empty"));
      Click(a.open);
      Click(a.open == Control::mnuBook ? Control::cmdRight : Control::cmdRight2, a.pagesIn);
      const Buttons before = ButtonsOf(h.window);
      const std::string picture = h.window.picture();
      if (missing)
        h.Remove(a.counterFile);
      else
        h.Write(a.counterFile, "");
      h.window.ClearLog();

      const platform::Failure failure = FailingClick(a.arrow);
      const platform::Failure expected = missing ? platform::Failure{2, "", a.counterFile}
                                                 : platform::NoValueFailure(a.counterFile);
      EXPECT_EQ(failure.code, expected.code);
      EXPECT_EQ(failure.subject, a.counterFile);
      EXPECT_TRUE(h.window.log().empty());
      EXPECT_EQ(ButtonsOf(h.window), before);
      EXPECT_EQ(h.window.picture(), picture);
      EXPECT_EQ(h.Exists(a.counterFile), !missing);
      EXPECT_EQ(h.Read(a.counterFile), "");
    }
  }
}

TEST_F(Browsers, CountersAtTheIntegerLimitsStayThere) {
  const std::string kMax = CounterBytes(INT_MAX), kMin = CounterBytes(INT_MIN);
  Click(Control::mnuBook);
  Click(Control::cmdRight, 2);
  h.Write("playea.ini", kMax);
  Click(Control::cmdRight);
  EXPECT_EQ(h.Read("playea.ini"), kMax);
  EXPECT_TRUE(Shows("Pict03.bmp"));
  EXPECT_TRUE(h.window.IsEnabled(Control::cmdRight));
  h.Write("playea.ini", kMin);
  Click(Control::cmdLeft);
  EXPECT_EQ(h.Read("playea.ini"), kMin);

  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 2);
  h.Write("playeo.ini", kMax);
  Click(Control::cmdRight2);
  EXPECT_EQ(h.Read("playeo.ini"), kMax);
  h.Write("playeo.ini", kMin);
  Click(Control::cmdLeft2);
  EXPECT_EQ(h.Read("playeo.ini"), kMin);
  EXPECT_TRUE(Shows("Help02.bmp"));
  EXPECT_TRUE(h.report.reports.empty());
}

// A counter that cannot be written fails after the arrow states set before the
// write: the textbook's back arrow, both help arrows, nothing when opening.
TEST_F(Browsers, AnUnwritableCounterFailsAfterTheStepsBeforeTheWrite) {
  struct Case {
    Control open, arrow;
    const char* counterFile;
    Steps before;
  };
  for (const Case& c :
       {Case{Control::mnuBook, Control::cmdRight, "playea.ini", {"enabled cmdLeft 1"}},
        Case{Control::mnuHelp1,
             Control::cmdRight2,
             "playeo.ini",
             {"enabled cmdLeft2 1", "enabled cmdRight2 1"}},
        Case{Control::mnuBook, Control::mnuBook, "playea.ini", {}},
        Case{Control::mnuHelp1, Control::mnuHelp1, "playeo.ini", {}}}) {
    SCOPED_TRACE(ControlName(c.arrow));
    Click(c.open);
    Click(c.open == Control::mnuBook ? Control::cmdRight : Control::cmdRight2, 3);
    const std::string counter = h.Read(c.counterFile);
    const std::string picture = h.window.picture();
    h.window.ClearLog();
    h.files.FailOperation("ProbeWritable", 1, 13);
    const platform::Failure failure = FailingClick(c.arrow);
    h.files.FailCall(0, 0);
    EXPECT_EQ(failure.code, 13);
    EXPECT_EQ(failure.subject, c.counterFile);
    EXPECT_EQ(h.window.log(), c.before);
    EXPECT_EQ(h.Read(c.counterFile), counter);
    EXPECT_EQ(h.window.picture(), picture);
  }
}

TEST_F(Browsers, AMissingTextbookPageFailsAfterTheCounterAndTheBackArrow) {
  for (const bool missing : {true, false}) {
    SCOPED_TRACE(missing ? "Pict05.bmp missing" : "Pict05.bmp no BMP");
    if (missing)
      h.Remove("Pict05.bmp");
    else
      h.Write("Pict05.bmp", "not a picture");
    Click(Control::mnuBook);
    Click(Control::cmdRight, 3);  // page 4
    const std::size_t filesBefore = h.files.log().size();
    h.window.ClearLog();

    const platform::Failure failure = FailingClick(Control::cmdRight);
    EXPECT_EQ(failure.code, missing ? 2 : platform::InvalidPictureFailure("").code);
    EXPECT_EQ(failure.subject, "Pict05.bmp");
    EXPECT_EQ(h.Read("playea.ini"), "5\r\n");
    // Only the back arrow was set; Practice and forward were not reached, and
    // the counter was not read back.
    EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft 1"}));
    EXPECT_TRUE(Shows("Pict04.bmp"));
    EXPECT_EQ(h.files.log().back(), "ReadAll Pict05.bmp");
    EXPECT_GT(h.files.log().size(), filesBefore);
  }
}

TEST_F(Browsers, AMissingHelpPageFailsAfterTheCounterAndBothArrows) {
  h.Remove("Help05.bmp");
  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 4);
  h.window.ClearLog();
  const platform::Failure failure = FailingClick(Control::cmdRight2);
  EXPECT_EQ(failure.code, 2);
  EXPECT_EQ(failure.subject, "Help05.bmp");
  EXPECT_EQ(h.Read("playeo.ini"), "5\r\n");
  EXPECT_EQ(h.window.log(), (Steps{"enabled cmdLeft2 1", "enabled cmdRight2 1"}));
  EXPECT_TRUE(Shows("Help04.bmp"));
}

TEST_F(Browsers, AMissingTitlePictureFailsAfterTheBrowserWasOpened) {
  Click(Control::mnuHelp1);
  Click(Control::cmdRight2, 8);  // help arrows: back on, forward off
  h.Remove("Book.bmp");
  platform::Failure failure = FailingClick(Control::mnuBook);
  EXPECT_EQ(failure.code, 2);
  EXPECT_EQ(failure.subject, "Book.bmp");
  EXPECT_EQ(h.Read("playea.ini"), "1\r\n");
  EXPECT_EQ(ButtonsOf(h.window), TextbookOn(1, true, false));
  EXPECT_TRUE(Shows("Help08.bmp"));

  Click(Control::cmdRight, 8);  // page 9
  h.Remove("Help.bmp");
  const Buttons onPage9 = ButtonsOf(h.window);
  failure = FailingClick(Control::mnuHelp1);
  EXPECT_EQ(failure.code, 2);
  EXPECT_EQ(failure.subject, "Help.bmp");
  EXPECT_EQ(h.Read("playeo.ini"), "0\r\n");
  EXPECT_EQ(ButtonsOf(h.window), HelpOn(0, onPage9));
  EXPECT_TRUE(Shows("Pict09.bmp"));
  EXPECT_EQ(h.Read("playea.ini"), "9\r\n");
}

TEST_F(Browsers, TheAboutPictureOnTheTitleScreenChangesOnlyThePicture) {
  h.window.ClearLog();
  Click(Control::mnuProgram);
  EXPECT_TRUE(Shows("About.bmp"));
  EXPECT_EQ(h.window.log(), (Steps{"picture About.bmp"}));
  EXPECT_EQ(ButtonsOf(h.window), initial);
  EXPECT_FALSE(h.Exists("playea.ini") || h.Exists("playeo.ini"));

  h.Remove("About.bmp");
  h.window.ClearLog();
  Click(Control::mnuBook);
  const Buttons open = ButtonsOf(h.window);
  h.window.ClearLog();
  const platform::Failure failure = FailingClick(Control::mnuProgram);
  EXPECT_EQ(failure.code, 2);
  EXPECT_EQ(failure.subject, "About.bmp");
  EXPECT_TRUE(h.window.log().empty());
  EXPECT_EQ(ButtonsOf(h.window), open);
  EXPECT_TRUE(Shows("Book.bmp"));
}

}  // namespace
}  // namespace zel
