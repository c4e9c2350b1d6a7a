#include "solver/trainer_screen.h"

#include "chess/notation.h"
#include "platform/failure.h"
#include "solver/catalog.h"

namespace zel::solver {
namespace {

std::size_t Index(Field field) { return static_cast<std::size_t>(field); }
std::size_t Index(Command command) { return static_cast<std::size_t>(command); }

bool IsList(LeftPart part) { return part == LeftPart::ProblemList || part == LeftPart::CourseList; }

}  // namespace

TrainerScreen::TrainerScreen(TrainerView& view, platform::Files& files, platform::Clock& clock,
                             const StartChoice& start, const ProblemData& data,
                             std::string_view productTitle, ScreenTiming timing)
    : view_(view),
      files_(files),
      clock_(clock),
      start_(start),
      data_(data),
      productTitle_(productTitle),
      timing_(timing),
      part_(start.course ? PlayPart() : LeftPart::CourseList) {}

void TrainerScreen::Start() {
  if (start_.course) OpenCourse(*start_.course);
  Push();
}

void TrainerScreen::ShowAll() {
  everShown_ = false;
  Push();
}

std::string_view TrainerScreen::Say(Text text) const { return TextOf(text, start_.language); }

void TrainerScreen::SetStatus(std::string_view status) {
  status_ = status;
  ++statusSaid_;
}

LeftPart TrainerScreen::PlayPart() const {
  return start_.picturesOn ? LeftPart::Board : LeftPart::Description;
}

FocusTarget TrainerScreen::PlayFocus() const {
  return start_.picturesOn ? FocusTarget::Board : FocusTarget::MoveField;
}

bool TrainerScreen::PlayingSolution() const {
  if (!session_) return false;
  const Phase phase = session_->phase();
  return phase == Phase::ShowingSolution || (phase == Phase::SolutionShown && board_.animating());
}

bool TrainerScreen::Answering() const {
  if (!session_ || PlayingSolution()) return false;
  return session_->phase() == Phase::ReplyPending || board_.animating();
}

bool TrainerScreen::YourMove() const {
  return session_ && session_->phase() == Phase::SolverToMove && !board_.animating();
}

bool TrainerScreen::Available(Command command) const {
  const CommandState state = shown_.command(command);
  if (!everShown_ || !state.shown || !state.enabled) return false;
  // While the answer comes the commands keep their look but wait; the board
  // may be turned, though not while a man moves on it.
  return command == Command::Flip ? !board_.animating() : !Answering();
}

// --- Showing ---------------------------------------------------------------------

template <typename Action>
void TrainerScreen::Act(Action&& action) {
  try {
    action();
  } catch (const platform::Failure& failure) {
    // The session changed before its write failed: the user sees the change,
    // then hears that it was not saved.
    Push();
    view_.Report(Text::ProgressNotSaved, failure);
  }
  Push();
}

void TrainerScreen::SyncBoard() {
  if (!session_) return;
  const chess::Color solver = session_->SolverColor();
  board_.Show(session_->Position(), flipped_ ? chess::Opponent(solver) : solver,
              session_->LastMove());
  if (hint_ && (hint_->problem != session_->ProblemIndex() || hint_->ply != session_->Ply() ||
                session_->phase() != Phase::SolverToMove))
    hint_.reset();
  board_.SetHint(hint_ ? std::optional(hint_->from) : std::nullopt,
                 hint_ ? hint_->to : std::nullopt);
  board_.SetInputEnabled(YourMove() && part_ == LeftPart::Board);
}

ScreenState TrainerScreen::Render() const {
  ScreenState next;
  next.part = part_;
  auto& texts = next.texts;
  texts[Index(Field::Status)] = status_;
  next.statusSaid = statusSaid_;
  auto set = [&](Command command, bool shown, bool enabled, bool checked = false) {
    next.commands[Index(command)] = {shown, shown && enabled, checked};
  };
  set(Command::ListOpen, IsList(part_), true);
  // The course list is where a program started without a course begins:
  // there is nothing to go back to.
  set(Command::ListClose, part_ == LeftPart::ProblemList, true);

  if (!session_) {
    const Text choose =
        start_.family == SolverFamily::CourseSolver ? Text::ChooseCourse : Text::ChooseCollection;
    texts[Index(Field::Caption)] = productTitle_ + " — " + std::string(Say(choose));
    texts[Index(Field::Title)] = Say(choose);
    if (part_ == LeftPart::CourseList)
      for (const CourseInfo& course : CoursesOf(start_.family))
        next.list.emplace_back(course.Title(start_.language));
    return next;
  }

  const Session& s = *session_;
  const Language language = start_.language;
  texts[Index(Field::Caption)] = s.Title();
  texts[Index(Field::Title)] = s.Title();
  texts[Index(Field::Problem)] = s.ProblemLine();
  texts[Index(Field::ToMove)] = s.ToMoveLine();
  texts[Index(Field::Progress)] = s.ProgressLine();
  if (clockShown_) texts[Index(Field::Clock)] = TimeSpentText(s.ProblemSeconds(), language);
  const auto change = s.LastRatingChange();
  texts[Index(Field::Rating)] = change ? RatingChangeText(*change, language) : s.RatingLine();
  texts[Index(Field::Due)] = s.InReview() ? s.ReviewLine() : s.DueLine();
  const bool over = s.phase() == Phase::Solved || s.phase() == Phase::SolutionShown;
  texts[Index(Field::Summary)] =
      over ? ProblemSummaryText(s.CurrentProblem(), language) : CyclesText();
  // The words of a part only while it is shown: an edit control lays its
  // text out at once, which a move on the board need not wait for.
  std::string& description = texts[Index(Field::Description)];
  description = shown_.text(Field::Description);
  if (part_ == LeftPart::Description) {
    description = chess::DescribePosition(s.Position(), language) + "\n\n" + status_;
    if (over) description += "\n\n" + texts[Index(Field::Summary)];
  }
  std::string& boardWords = texts[Index(Field::BoardWords)];
  boardWords = shown_.text(Field::BoardWords);
  if (part_ == LeftPart::Board) boardWords = chess::DescribePosition(board_.position(), language);

  // The answer to a right move takes under a second: the commands keep
  // their look meanwhile (Available refuses them), rather than greying out
  // and back twice a move. A solution played out takes seconds: they are off.
  const bool steady = !PlayingSolution();
  const bool moveExpected = s.phase() == Phase::SolverToMove || Answering();
  set(Command::Play, true, steady && moveExpected);
  set(Command::Hint, true, steady && moveExpected);
  set(Command::Solution, true, steady);
  set(Command::Retry, true, steady);
  set(Command::Flip, true, true);
  // In a review Next after the last problem ends it.
  const bool later = s.InReview()                    ? true
                     : s.order() == Order::AtMyLevel ? s.ProblemAtMyLevel().has_value()
                                                     : s.ProblemIndex() + 1 < s.ProblemCount();
  const bool earlier = s.InReview() ? s.ReviewPlace() > 0 : s.ProblemIndex() > 0;
  set(Command::Previous, true, steady && earlier);
  set(Command::Next, true, steady && later);
  set(Command::ProblemList, true, steady);
  set(Command::Statistics, true, steady);
  set(Command::RestartCourse, true, steady);
  set(Command::EraseCourse, true, steady);
  set(Command::Review, true, steady);
  // The Тактика-N courses are meant in their order; the collections may
  // follow the user's rating.
  set(Command::AtMyLevel, s.Course().family == SolverFamily::ProblemBookSolver, steady,
      s.order() == Order::AtMyLevel);
  set(Command::ShowClock, true, true, clockShown_);

  if (part_ == LeftPart::ProblemList) {
    for (std::size_t i = 0; i < s.ProblemCount(); ++i)
      next.list.push_back(ProblemOfText(i + 1, s.ProblemCount(), language) + " — " +
                          std::string(StateText(s.StateOf(i), language)));
    next.listChoice = s.ProblemIndex();
  }
  return next;
}

std::string TrainerScreen::CyclesText() const {
  // The cycles side by side once there is more than one, the latest last.
  constexpr std::size_t kShown = 4;
  const std::vector<CycleSummary> cycles = session_->Cycles();
  if (cycles.size() < 2) return {};
  std::string text;
  for (std::size_t c = cycles.size() - std::min(kShown, cycles.size()); c < cycles.size(); ++c)
    text += (text.empty() ? "" : "\n") + CycleSummaryText(cycles[c], c + 1, start_.language);
  return text;
}

void TrainerScreen::SyncClockTimer() {
  const bool tick = session_ && session_->ClockRunning() && clockShown_;
  if (tick == clockTicking_) return;
  clockTicking_ = tick;
  if (tick)
    view_.StartTimer(Timer::Clock, 1000);
  else
    view_.StopTimer(Timer::Clock);
}

void TrainerScreen::Push() {
  SyncBoard();
  SyncClockTimer();
  ScreenState next = Render();
  const bool all = !everShown_;
  if (all || next.part != shown_.part) view_.ShowPart(next.part);
  for (std::size_t f = 0; f < kFieldCount; ++f)
    if (all || next.texts[f] != shown_.texts[f] ||
        (f == Index(Field::Status) && next.statusSaid != shown_.statusSaid))
      view_.SetText(static_cast<Field>(f), next.texts[f]);
  for (std::size_t c = 0; c < kCommandCount; ++c)
    if (all || next.commands[c] != shown_.commands[c])
      view_.SetCommand(static_cast<Command>(c), next.commands[c]);
  if (IsList(next.part) && (all || next.part != shown_.part || next.list != shown_.list))
    view_.SetList(next.list, next.listChoice);
  // The board's first damage is all of it; a board control paints itself
  // whole when it is new, so ShowAll asks for nothing more.
  const BoardDamage damage = board_.TakeDamage();
  if (damage.any()) view_.RepaintBoard(damage);
  shown_ = std::move(next);
  everShown_ = true;
}

// --- The user's actions --------------------------------------------------------

void TrainerScreen::Do(Command command) {
  if (!Available(command)) return;
  Act([&] {
    switch (command) {
      case Command::Play:
        PlayTyped();
        break;
      case Command::Hint:
        GiveHint();
        break;
      case Command::Solution:
        ShowSolution();
        break;
      case Command::Retry:
        Retry();
        break;
      case Command::Flip:
        flipped_ = !flipped_;
        break;
      case Command::Previous:
        Step(false);
        break;
      case Command::Next:
        Step(true);
        break;
      case Command::ProblemList:
        part_ = LeftPart::ProblemList;
        Push();
        view_.Focus(FocusTarget::List);
        break;
      case Command::RestartCourse:
        RestartCourse();
        break;
      case Command::EraseCourse:
        EraseCourse();
        break;
      case Command::Statistics:
        ShowStatistics();
        break;
      case Command::Review:
        StartReview();
        break;
      case Command::AtMyLevel:
        order_ = session_->order() == Order::AtMyLevel ? Order::Course : Order::AtMyLevel;
        session_->SetOrder(order_);
        break;
      case Command::ShowClock:
        clockShown_ = !clockShown_;
        break;
      case Command::ListOpen:
        OpenChosen();
        break;
      case Command::ListClose:
        part_ = PlayPart();
        Push();
        view_.Focus(PlayFocus());
        break;
      case Command::Count:
        break;
    }
  });
}

void TrainerScreen::OnTimer(Timer timer) {
  Act([&] {
    switch (timer) {
      case Timer::Reply:
        PlayReply();
        break;
      case Timer::SolutionStep:
        StepSolution();
        break;
      case Timer::Animation:
        if (board_.Advance(clock_.SteadyMilliseconds())) {
          view_.StopTimer(Timer::Animation);
          AnimationDone();
        }
        break;
      case Timer::Clock:  // the clock's text is made anew as the screen is shown
      case Timer::Count:
        break;
    }
  });
}

void TrainerScreen::BoardResized(int width, int height) {
  board_.Resize(width, height);
  if (everShown_) Push();
}

void TrainerScreen::BoardPressed(Point at) {
  Act([&] {
    if (const auto gesture = board_.Press(at)) PlayGesture(*gesture);
  });
}

void TrainerScreen::BoardDragged(Point at, int dragThreshold) {
  board_.Drag(at, dragThreshold);
  Push();
}

void TrainerScreen::BoardReleased(Point at) {
  Act([&] {
    if (const auto gesture = board_.Release(at)) PlayGesture(*gesture);
  });
}

void TrainerScreen::BoardLostMouse() {
  board_.CancelDrag();
  Push();
}

void TrainerScreen::BoardRightClicked() {
  board_.ClearSelection();
  Push();
}

void TrainerScreen::Activated(bool active) {
  active_ = active;
  if (!session_) return;
  // Time away from the window is not time on the problem.
  if (active)
    session_->ResumeClock();
  else
    session_->PauseClock();
  Push();
}

void TrainerScreen::Closing() {
  if (!session_ || !session_->HasUnsavedChanges()) return;
  // Keeping the window open would not make the disk writable: the user
  // hears of it, and the window closes all the same.
  try {
    session_->SaveAgain();
  } catch (const platform::Failure& failure) {
    view_.Report(Text::ProgressNotSaved, failure);
  }
}

// --- Courses and problems --------------------------------------------------------

void TrainerScreen::OpenCourse(const CourseInfo& course) {
  const CourseProblems* problems = data_.Find(course.key);
  if (!problems || problems->problems.empty()) {
    // The family's list, to choose another.
    SetStatus(Say(Text::NoProblems));
    if (!session_) part_ = LeftPart::CourseList;
    return;
  }
  session_ = std::make_unique<Session>(files_, clock_, course, *problems, start_.language);
  session_->SetOrder(order_);
  if (!active_) session_->PauseClock();
  flipped_ = false;
  hint_.reset();
  SetStatus(Say(Text::YourMove));
  part_ = PlayPart();
  Push();
  view_.Focus(PlayFocus());
}

void TrainerScreen::OpenChosen() {
  const std::optional<std::size_t> chosen = view_.ListChoice();
  if (!chosen) return;
  if (part_ == LeftPart::CourseList) {
    const auto courses = CoursesOf(start_.family);
    if (*chosen >= courses.size()) return;
    try {
      OpenCourse(courses[*chosen]);
    } catch (const platform::Failure& failure) {
      Push();
      view_.Report(Text::ProgressUnreadable, failure);
    }
    return;
  }
  GoTo(*chosen);
  Push();
  view_.Focus(PlayFocus());
}

void TrainerScreen::StopMotion() {
  view_.StopTimer(Timer::Reply);
  view_.StopTimer(Timer::SolutionStep);
  view_.StopTimer(Timer::Animation);
  board_.StopAnimation();
}

void TrainerScreen::LeaveProblem() {
  // The screen first: the session's write may fail after it has moved on.
  StopMotion();
  flipped_ = false;
  SetStatus(Say(Text::YourMove));
  part_ = PlayPart();
}

void TrainerScreen::GoTo(std::size_t index) {
  if (!session_ || index >= session_->ProblemCount()) return;
  LeaveProblem();
  session_->GoTo(index);
}

void TrainerScreen::Step(bool forward) {
  LeaveProblem();
  const bool reviewing = session_->InReview();
  const bool moved = forward ? session_->Next() : session_->Previous();
  if (!moved && reviewing && !session_->InReview()) SetStatus(Say(Text::ReviewComplete));
}

void TrainerScreen::Retry() {
  StopMotion();
  session_->Retry();
  SetStatus(Say(Text::YourMove));
}

void TrainerScreen::RestartCourse() {
  Push();
  if (!view_.Confirm(Say(Text::RestartQuestion), session_->Title())) return;
  LeaveProblem();
  session_->StartNewCycle();
}

void TrainerScreen::EraseCourse() {
  Push();
  if (!view_.Confirm(Say(Text::EraseQuestion), session_->Title())) return;
  LeaveProblem();
  session_->EraseCourse();
}

void TrainerScreen::ShowStatistics() {
  try {
    view_.ShowStatistics();
  } catch (const platform::Failure& failure) {
    view_.Report(Text::ProgressUnreadable, failure);
  }
}

void TrainerScreen::StartReview() {
  if (session_->DueCount() == 0) {
    SetStatus(Say(Text::NothingDue));
    return;
  }
  LeaveProblem();
  session_->StartReview();
}

// --- Moves -----------------------------------------------------------------------

std::optional<chess::PieceType> TrainerScreen::AskPromotion() {
  const std::string before = status_;
  SetStatus(Say(Text::ChoosePromotion));
  Push();
  const auto chosen = view_.AskPromotion();
  if (!chosen) SetStatus(before);  // the user changed his mind: no move, nothing counted
  return chosen;
}

template <typename Try>
MoveResult TrainerScreen::Attempt(const chess::Position& before, std::optional<chess::Move> tried,
                                  Try&& attempt) {
  const int mistakes = session_->Mistakes();
  try {
    return attempt();
  } catch (const platform::Failure&) {
    // Only a verdict that changes a problem's state writes: a solved problem
    // or a mistake.
    Judge(session_->phase() == Phase::Solved ? MoveResult::Solved
          : session_->Mistakes() > mistakes  ? MoveResult::Wrong
                                             : MoveResult::Right,
          before, tried);
    throw;
  }
}

void TrainerScreen::PlayGesture(const BoardGesture& gesture) {
  if (!YourMove()) return;
  chess::PieceType promotion = chess::NoPieceType;
  if (session_->NeedsPromotion(gesture.from, gesture.to)) {
    const auto chosen = AskPromotion();
    if (!chosen) return;
    promotion = *chosen;
  }
  const chess::Position before = session_->Position();
  const auto tried = chess::MoveFromSquares(before, gesture.from, gesture.to, promotion);
  Judge(Attempt(before, tried,
                [&] { return session_->TrySquares(gesture.from, gesture.to, promotion); }),
        before, tried);
}

void TrainerScreen::PlayTyped() {
  std::string typed = view_.TypedMove();
  const chess::Position before = session_->Position();
  chess::ParsedMove parsed = chess::ParseMoveText(before, typed);
  if (parsed.fault == chess::ParsedMove::Fault::NeedsPromotion) {
    const auto chosen = AskPromotion();
    if (!chosen) return;
    typed += chess::RowOf(*chosen).fen;
    parsed = chess::ParseMoveText(before, typed);
  }
  const auto tried = parsed.fault == chess::ParsedMove::Fault::None ? parsed.move : std::nullopt;
  const MoveResult result = Attempt(before, tried, [&] { return session_->TryTyped(typed); });
  // A move that was played leaves the field empty for the next one; any
  // other stays, selected, to be corrected.
  if (result == MoveResult::Right || result == MoveResult::Solved) {
    view_.ClearTypedMove();
  } else {
    view_.SelectTypedMove();
  }
  Judge(result, before, tried);
  Push();
  if (YourMove()) view_.Focus(FocusTarget::MoveField);
}

void TrainerScreen::Judge(MoveResult result, const chess::Position& before,
                          std::optional<chess::Move> tried) {
  switch (result) {
    case MoveResult::NotNow:
      return;
    case MoveResult::Right:
      // The defender answers after a pause, so that the user sees his own
      // move first.
      SetStatus(session_->ResultText(result));
      view_.StartTimer(Timer::Reply, timing_.replyPauseMs);
      return;
    case MoveResult::Solved:
      SetStatus(session_->ResultText(result));
      if (session_->AllSolved()) status_ += " " + std::string(Say(Text::CourseComplete));
      return;
    case MoveResult::Wrong:
      SetStatus(tried ? WrongMoveText(before, *tried, start_.language)
                      : std::string(session_->ResultText(result)));
      view_.Beep();
      return;
    default:
      SetStatus(session_->ResultText(result));
      return;
  }
}

void TrainerScreen::GiveHint() {
  const auto hint = session_->RequestHint();
  if (!hint) return;
  hint_ = HintMarks{session_->ProblemIndex(), session_->Ply(), hint->from,
                    hint->move ? std::optional(hint->move->to) : std::nullopt};
  SetStatus(hint->text);
}

void TrainerScreen::ShowSolution() {
  // The screen first: the session's write of the fault may fail.
  SetStatus(Say(Text::SolutionShowing));
  view_.StartTimer(Timer::SolutionStep, timing_.solutionStepMs);
  session_->ShowSolution();
}

void TrainerScreen::PlayReply() {
  view_.StopTimer(Timer::Reply);
  if (!session_) return;
  const chess::Position before = session_->Position();
  const auto reply = session_->PlayReply();
  if (!reply) return;
  SetStatus(ReplyText(before, *reply, start_.language));
  if (part_ == LeftPart::Board) {
    StartAnimation(*reply);
    return;
  }
  Push();
  view_.Focus(FocusTarget::MoveField);
}

void TrainerScreen::StepSolution() {
  view_.StopTimer(Timer::SolutionStep);
  if (!session_) return;
  const chess::Position before = session_->Position();
  const auto move = session_->StepSolution();
  if (!move) {
    SetStatus(Say(Text::SolutionShown));
    return;
  }
  SetStatus(std::string(Say(Text::SolutionShowing)) + " " +
            chess::MoveText(before, *move, start_.language));
  if (part_ == LeftPart::Board) {
    StartAnimation(*move);  // AnimationDone goes on
  } else if (session_->phase() == Phase::SolutionShown) {
    status_ += "\n" + std::string(Say(Text::SolutionShown));
  } else {
    view_.StartTimer(Timer::SolutionStep, timing_.solutionStepMs);
  }
}

void TrainerScreen::StartAnimation(const chess::Move& move) {
  board_.Animate(move, clock_.SteadyMilliseconds(), timing_.animationMs);
  view_.StartTimer(Timer::Animation, timing_.frameMs);
}

void TrainerScreen::AnimationDone() {
  if (!session_) return;
  if (session_->phase() == Phase::ShowingSolution) {
    view_.StartTimer(Timer::SolutionStep, timing_.solutionStepMs);
    return;
  }
  if (session_->phase() == Phase::SolutionShown) SetStatus(Say(Text::SolutionShown));
  Push();
  if (part_ == LeftPart::Board) view_.Focus(FocusTarget::Board);
}

}  // namespace zel::solver
