#include "solver/fake_trainer_view.h"

#include <algorithm>
#include <stdexcept>

#include "chess/types.h"

namespace zel::solver {
namespace {

constexpr const char* kFieldNames[] = {"Caption",  "Title",   "Problem",     "ToMove",
                                       "Progress", "Clock",   "Rating",      "Due",
                                       "Status",   "Summary", "Description", "BoardWords"};
constexpr const char* kTimerNames[] = {"Reply", "SolutionStep", "Animation", "Clock"};
constexpr const char* kPartNames[] = {"Board", "Description", "ProblemList", "CourseList"};
constexpr const char* kFocusNames[] = {"Board", "MoveField", "List"};
static_assert(std::size(kFieldNames) == kFieldCount);
static_assert(std::size(kTimerNames) == kTimerCount);

template <typename Enum>
std::size_t At(Enum value) {
  return static_cast<std::size_t>(value);
}

}  // namespace

std::string_view CommandName(Command command) {
  constexpr const char* kNames[] = {"Play",       "Hint",          "Solution",    "Retry",
                                    "Flip",       "Previous",      "Next",        "ProblemList",
                                    "Statistics", "RestartCourse", "EraseCourse", "ListOpen",
                                    "ListClose",  "Review",        "AtMyLevel",   "ShowClock"};
  static_assert(std::size(kNames) == kCommandCount);
  return kNames[At(command)];
}

void FakeTrainerView::Attach(TrainerScreen& screen) {
  screen_ = &screen;
  screen.BoardResized(kBoardSide, kBoardSide);
}

TrainerScreen& FakeTrainerView::screen() const {
  if (!screen_) throw std::logic_error("FakeTrainerView: no screen attached");
  return *screen_;
}

// --- TrainerView -------------------------------------------------------------------

void FakeTrainerView::ShowPart(LeftPart part) {
  part_ = part;
  log_.push_back(std::string("part ") + kPartNames[At(part)]);
  // A control that is hidden loses the keyboard.
  if ((focus_ == FocusTarget::Board && part != LeftPart::Board) ||
      (focus_ == FocusTarget::List && part != LeftPart::ProblemList &&
       part != LeftPart::CourseList))
    focus_.reset();
}

void FakeTrainerView::SetText(Field field, std::string_view text) {
  texts_[At(field)] = text;
  log_.push_back(std::string("text ") + kFieldNames[At(field)] + " " + std::string(text));
}

void FakeTrainerView::SetCommand(Command command, CommandState state) {
  commands_[At(command)] = state;
  log_.push_back("command " + std::string(CommandName(command)) + " " + (state.shown ? "1" : "0") +
                 " " + (state.enabled ? "1" : "0") + (state.checked ? " checked" : ""));
  if (command == Command::Play && focus_ == FocusTarget::MoveField &&
      !(state.shown && state.enabled))
    focus_.reset();
}

void FakeTrainerView::SetList(std::span<const std::string> items, std::size_t chosen) {
  list_.assign(items.begin(), items.end());
  listChoice_ = chosen < list_.size() ? std::optional(chosen) : std::nullopt;
  log_.push_back("list " + std::to_string(list_.size()) + " " +
                 (listChoice_ ? std::to_string(*listChoice_) : std::string("-")));
}

void FakeTrainerView::ClearTypedMove() {
  typed_.clear();
  typedSelected_ = false;
}

void FakeTrainerView::SelectTypedMove() { typedSelected_ = !typed_.empty(); }

void FakeTrainerView::RepaintBoard(const BoardDamage& damage) {
  repainted_.all = repainted_.all || damage.all;
  repainted_.squares |= damage.squares;
  repainted_.area = repainted_.area.Union(damage.area);
}

void FakeTrainerView::Focus(FocusTarget target) {
  const CommandState play = command(Command::Play);
  const bool usable = target == FocusTarget::Board ? part_ == LeftPart::Board
                      : target == FocusTarget::MoveField
                          ? play.shown && play.enabled
                          : part_ == LeftPart::ProblemList || part_ == LeftPart::CourseList;
  log_.push_back(std::string(usable ? "focus " : "focus refused ") + kFocusNames[At(target)]);
  if (usable) focus_ = target;
}

void FakeTrainerView::StartTimer(Timer timer, int milliseconds) {
  // A window makes a timer of no period one of its shortest.
  const int period = std::max(milliseconds, 1);
  timers_[At(timer)] = Running{period, clock_.SteadyMilliseconds() + period};
  log_.push_back(std::string("timer ") + kTimerNames[At(timer)] + " " +
                 std::to_string(milliseconds));
}

void FakeTrainerView::StopTimer(Timer timer) {
  if (!timers_[At(timer)]) return;
  timers_[At(timer)].reset();
  log_.push_back(std::string("stop ") + kTimerNames[At(timer)]);
}

std::optional<chess::PieceType> FakeTrainerView::AskPromotion() {
  ++promotionsAsked;
  log_.push_back("ask promotion");
  return promotionAnswer;
}

bool FakeTrainerView::Confirm(std::string_view question, std::string_view title) {
  ++confirmationsAsked;
  log_.push_back("confirm " + std::string(title) + " | " + std::string(question));
  return confirmAnswer;
}

void FakeTrainerView::ShowStatistics() {
  if (statisticsFailure) throw *statisticsFailure;
  ++statisticsShown;
  log_.push_back("statistics");
}

void FakeTrainerView::Beep() {
  ++beeps_;
  log_.push_back("beep");
}

void FakeTrainerView::Report(Text headline, const platform::Failure& failure) {
  reports_.push_back("report " + std::string(TextOf(headline, chess::Language::English)) + " | " +
                     platform::FailureText(failure));
  log_.push_back(reports_.back());
}

// --- The user ----------------------------------------------------------------------

void FakeTrainerView::Click(Command command) { screen().Do(command); }

void FakeTrainerView::Type(std::string_view move) {
  Focus(FocusTarget::MoveField);  // the user clicks into the field first
  typed_ = move;
  typedSelected_ = false;
  Click(Command::Play);
}

void FakeTrainerView::Choose(std::size_t entry) {
  listChoice_ = entry < list_.size() ? std::optional(entry) : std::nullopt;
  Click(Command::ListOpen);
}

Point FakeTrainerView::Centre(std::string_view square) const {
  const auto at = chess::SquareFromName(square);
  if (!at) throw std::invalid_argument("no square " + std::string(square));
  const BoardModel& board = screen().board();
  return board.geometry().SquareCentre(*at, board.bottom());
}

void FakeTrainerView::ClickSquare(std::string_view square) {
  const Point at = Centre(square);
  screen().BoardPressed(at);
  screen().BoardReleased(at);
}

void FakeTrainerView::DragMan(std::string_view from, std::string_view to) {
  const Point a = Centre(from), b = Centre(to);
  screen().BoardPressed(a);
  screen().BoardDragged({(a.x + b.x) / 2, (a.y + b.y) / 2}, kDragThreshold);
  screen().BoardDragged(b, kDragThreshold);
  screen().BoardReleased(b);
}

// --- Time --------------------------------------------------------------------------

void FakeTrainerView::Advance(int milliseconds) {
  const std::int64_t until = clock_.SteadyMilliseconds() + milliseconds;
  for (;;) {
    // The timer due first; a handler may stop or start timers.
    std::optional<std::size_t> next;
    for (std::size_t t = 0; t < kTimerCount; ++t)
      if (timers_[t] && timers_[t]->due <= until &&
          (!next || timers_[t]->due < timers_[*next]->due))
        next = t;
    if (!next) break;
    clock_.PassMilliseconds(timers_[*next]->due - clock_.SteadyMilliseconds());
    timers_[*next]->due += timers_[*next]->period;
    screen().OnTimer(static_cast<Timer>(*next));
  }
  clock_.PassMilliseconds(until - clock_.SteadyMilliseconds());
}

bool FakeTrainerView::AdvanceToYourMove() {
  for (int waited = 0; waited <= 10'000; waited += 10) {
    const Session* session = screen().session();
    if (session && session->phase() == Phase::SolverToMove && !screen().board().animating() &&
        command(Command::Play).enabled)
      return true;
    Advance(10);
  }
  return false;
}

}  // namespace zel::solver
