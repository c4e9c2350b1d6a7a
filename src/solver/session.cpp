#include "solver/session.h"

#include <algorithm>

#include "chess/movegen.h"
#include "platform/failure.h"

namespace zel::solver {
namespace {

const CourseProblems& NotEmpty(const CourseProblems& problems) {
  if (problems.problems.empty())
    throw platform::DamagedFileFailure(kProblemDataFile, 0,
                                       "The course \"" + problems.key + "\" has no problems");
  return problems;
}

}  // namespace

Session::Session(platform::Files& files, platform::Clock& clock, const CourseInfo& course,
                 const CourseProblems& problems, Language language)
    : course_(course),
      problems_(NotEmpty(problems)),
      language_(language),
      clock_(clock),
      store_(files, clock, course, problems),
      progress_(store_.Load()),
      rating_(store_.LoadRating().now),
      faulted_(problems.problems.size(), false) {
  StartProblem(FirstUnsolved().value_or(progress_.current));
}

Session::Session(platform::Files& files, const CourseInfo& course, const CourseProblems& problems,
                 Language language)
    : Session(files, platform::SystemClock(), course, problems, language) {}

std::optional<std::size_t> Session::FirstUnsolved() const {
  for (std::size_t i = 0; i < ProblemCount(); ++i)
    if (!IsSolved(StateOf(i))) return i;
  return std::nullopt;
}

std::size_t Session::SolvedCount() const { return SummarizeCycle(progress_.Current()).solved; }

std::size_t Session::SolvedFirstCount() const {
  return SummarizeCycle(progress_.Current()).solvedFirst;
}

std::vector<CycleSummary> Session::Cycles() const {
  std::vector<CycleSummary> cycles;
  for (const Cycle& cycle : progress_.cycles) cycles.push_back(SummarizeCycle(cycle));
  return cycles;
}

void Session::StartProblem(std::size_t index) {
  index_ = std::min(index, ProblemCount() - 1);
  visitMilliseconds_ = 0;
  sentSeconds_ = 0;
  runningSince_.reset();
  StartClockIfUnsolved();
  ResetBoard();
}

void Session::ResetBoard() {
  position_ = CurrentProblem().start;
  lastMove_.reset();
  ply_ = 0;
  phase_ = Phase::SolverToMove;
  hintLevel_ = 0;
  mistakes_ = 0;
}

void Session::Play(const chess::Move& move) {
  position_ = position_.After(move);
  lastMove_ = move;
  ++ply_;
  hintLevel_ = 0;
}

// --- The clock

std::uint32_t Session::VisitSeconds() const {
  std::int64_t milliseconds = visitMilliseconds_;
  if (runningSince_) milliseconds += clock_.SteadyMilliseconds() - *runningSince_;
  return static_cast<std::uint32_t>(
      std::clamp<std::int64_t>(milliseconds / 1000, 0, kLongestVisitSeconds));
}

std::uint32_t Session::TakeUnsentSeconds() {
  const std::uint32_t unsent = UnsentSeconds();
  sentSeconds_ += unsent;
  return unsent;
}

void Session::StopClock() {
  if (!runningSince_) return;
  visitMilliseconds_ += clock_.SteadyMilliseconds() - *runningSince_;
  runningSince_.reset();
}

void Session::StartClockIfUnsolved() {
  if (!runningSince_ && !clockPaused_ && !IsSolved(StateOf(index_)))
    runningSince_ = clock_.SteadyMilliseconds();
}

void Session::PauseClock() {
  StopClock();
  clockPaused_ = true;
}

void Session::ResumeClock() {
  clockPaused_ = false;
  StartClockIfUnsolved();
}

std::uint32_t Session::ProblemSeconds() const {
  return std::min(kMostSeconds, progress_.Current().records[index_].seconds + UnsentSeconds());
}

// --- Writing

void Session::Record(const Change& change) {
  // The session's own view first, so that a failed write loses nothing the
  // window shows; then the file's, which has the other solvers' results too.
  ApplyChange(progress_, change, clock_.Today());
  if (change.outcome != Outcome::None || change.seconds > 0) unsaved_.push_back(change);
}

void Session::Save(Outcome outcome) {
  Record({index_, outcome, TakeUnsentSeconds()});
  progress_.current = index_;
  // Solved in the cycle: its time is taken.
  if (IsSolved(StateOf(index_))) StopClock();
  Write();
}

void Session::Write() {
  SavedProgress saved = store_.Update(index_, unsaved_);
  unsaved_.clear();
  progress_ = std::move(saved.progress);
  rating_ = saved.rating;
  if (saved.rated) lastRated_ = saved.rated;
}

void Session::SaveAgain() { Save(Outcome::None); }

void Session::CountFault() {
  faulted_[index_] = true;
  // A fault changes the file only for a problem new in the cycle or due for
  // review: a Missed problem is already in the first box, a solved one is
  // being looked at again.
  if (StateOf(index_) == ProblemState::New || IsDue(index_)) Save(Outcome::Fault);
}

MoveResult Session::Judge(const chess::Move& move) {
  const chess::MoveList legal = chess::LegalMoves(position_);
  const auto played = std::find_if(legal.begin(), legal.end(),
                                   [&](const chess::Move& m) { return chess::SameMove(m, move); });
  if (played == legal.end()) return MoveResult::Illegal;

  const std::vector<chess::Move>& line = CurrentProblem().line;
  const bool mates = chess::IsCheckmate(position_.After(*played));
  if (!mates && !chess::SameMove(*played, line[ply_])) {
    ++mistakes_;
    CountFault();
    return MoveResult::Wrong;
  }
  otherMate_ = mates && !chess::SameMove(*played, line[ply_]);
  Play(*played);
  if (mates || ply_ == line.size()) {
    phase_ = Phase::Solved;
    Save(faulted_[index_] ? Outcome::SolvedAfterFault : Outcome::SolvedClean);
    return MoveResult::Solved;
  }
  phase_ = Phase::ReplyPending;
  return MoveResult::Right;
}

// By its squares, so that a king put onto its own rook castles here too.
MoveResult Session::Try(const chess::Move& move) {
  return TrySquares(move.from, move.to, move.promotion);
}

bool Session::NeedsPromotion(chess::Square from, chess::Square to) const {
  for (const chess::Move& move : chess::LegalMoves(position_))
    if (move.from == from && move.to == to && move.promotion != chess::NoPieceType) return true;
  return false;
}

MoveResult Session::TrySquares(chess::Square from, chess::Square to, chess::PieceType promotion) {
  if (phase_ != Phase::SolverToMove) return MoveResult::NotNow;
  if (promotion == chess::NoPieceType && NeedsPromotion(from, to))
    return MoveResult::NeedsPromotion;
  const std::optional<chess::Move> move = chess::MoveFromSquares(position_, from, to, promotion);
  return move ? Judge(*move) : MoveResult::Illegal;
}

MoveResult Session::TryTyped(std::string_view typed) {
  if (phase_ != Phase::SolverToMove) return MoveResult::NotNow;
  const chess::ParsedMove parsed = chess::ParseMoveText(position_, typed);
  using Fault = chess::ParsedMove::Fault;
  switch (parsed.fault) {
    case Fault::None:
      return parsed.move ? Judge(*parsed.move) : MoveResult::NotUnderstood;
    case Fault::NotAMove:
      return MoveResult::NotUnderstood;
    case Fault::Illegal:
      return MoveResult::Illegal;
    case Fault::Ambiguous:
      return MoveResult::Ambiguous;
    case Fault::NeedsPromotion:
      return MoveResult::NeedsPromotion;
  }
  return MoveResult::NotUnderstood;
}

std::optional<chess::Move> Session::PendingReply() const {
  if (phase_ != Phase::ReplyPending) return std::nullopt;
  return CurrentProblem().line[ply_];
}

std::optional<chess::Move> Session::PlayReply() {
  const std::optional<chess::Move> reply = PendingReply();
  if (!reply) return std::nullopt;
  Play(*reply);
  phase_ = Phase::SolverToMove;
  return reply;
}

std::optional<Hint> Session::RequestHint() {
  if (phase_ != Phase::SolverToMove) return std::nullopt;
  const chess::Move& move = CurrentProblem().line[ply_];
  hintLevel_ = std::min(hintLevel_ + 1, 2);
  ++mistakes_;
  Hint hint{move.from, std::nullopt, {}};
  if (hintLevel_ == 1) {
    hint.text = PieceHintText(position_.TypeAt(move.from), move.from, language_);
  } else {
    hint.move = move;
    hint.text = MoveHintText(position_, move, language_);
  }
  CountFault();
  return hint;
}

void Session::ShowSolution() {
  if (phase_ == Phase::ShowingSolution) return;
  if (phase_ == Phase::Solved || phase_ == Phase::SolutionShown) ResetBoard();
  phase_ = Phase::ShowingSolution;
  CountFault();
}

std::optional<chess::Move> Session::StepSolution() {
  if (phase_ != Phase::ShowingSolution) return std::nullopt;
  const std::vector<chess::Move>& line = CurrentProblem().line;
  if (ply_ >= line.size()) {
    phase_ = Phase::SolutionShown;
    return std::nullopt;
  }
  const chess::Move move = line[ply_];
  Play(move);
  if (ply_ == line.size()) phase_ = Phase::SolutionShown;
  return move;
}

void Session::Retry() { ResetBoard(); }

void Session::MoveTo(std::size_t index) {
  const std::uint32_t seconds = TakeUnsentSeconds();
  if (seconds > 0) Record({index_, Outcome::None, seconds});
  StartProblem(index);
  progress_.current = index_;
  Write();
}

bool Session::GoTo(std::size_t index) {
  if (index >= ProblemCount()) return false;
  EndReview();
  MoveTo(index);
  return true;
}

bool Session::Next() {
  if (InReview()) {
    if (reviewPlace_ + 1 >= review_.size()) {
      EndReview();
      return false;
    }
    MoveTo(review_[++reviewPlace_]);
    return true;
  }
  if (order_ == Order::AtMyLevel) {
    const std::optional<std::size_t> next = ProblemAtMyLevel();
    if (next) MoveTo(*next);
    return next.has_value();
  }
  if (index_ + 1 >= ProblemCount()) return false;
  MoveTo(index_ + 1);
  return true;
}

bool Session::Previous() {
  if (InReview()) {
    if (reviewPlace_ == 0) return false;
    MoveTo(review_[--reviewPlace_]);
    return true;
  }
  if (index_ == 0) return false;
  MoveTo(index_ - 1);
  return true;
}

void Session::StartNewCycle() {
  SaveAgain();  // the cycle that ends gets what it is owed, or nothing starts
  EndReview();
  std::fill(faulted_.begin(), faulted_.end(), false);
  progress_ = store_.StartNewCycle();
  StartProblem(0);
}

void Session::EraseCourse() {
  EndReview();
  std::fill(faulted_.begin(), faulted_.end(), false);
  unsaved_.clear();
  progress_ = FreshProgress(ProblemCount(), clock_.Today());
  StartProblem(0);
  progress_ = store_.Erase();
}

// --- Review

std::size_t Session::DueCount() const { return progress_.DueCount(clock_.Today()); }

bool Session::IsDue(std::size_t index) const { return progress_.IsDue(index, clock_.Today()); }

bool Session::StartReview() {
  std::vector<std::size_t> due;
  for (std::size_t i = 0; i < ProblemCount(); ++i)
    if (IsDue(i)) due.push_back(i);
  if (due.empty()) return false;
  std::stable_sort(due.begin(), due.end(), [this](std::size_t a, std::size_t b) {
    return progress_.reviews[a].due < progress_.reviews[b].due;
  });
  review_ = std::move(due);
  reviewPlace_ = 0;
  MoveTo(review_[0]);
  return true;
}

void Session::EndReview() {
  review_.clear();
  reviewPlace_ = 0;
}

// --- At my level

std::optional<std::size_t> Session::ProblemAtMyLevel() const {
  std::optional<std::size_t> above;
  std::optional<std::size_t> below;
  for (std::size_t i = 0; i < ProblemCount(); ++i) {
    if (i == index_ || IsSolved(StateOf(i))) continue;
    const int rating = problems_.problems[i].difficulty;
    if (rating >= rating_.rating) {
      if (!above || rating < problems_.problems[*above].difficulty) above = i;
    } else if (!below || rating > problems_.problems[*below].difficulty) {
      below = i;
    }
  }
  return above ? above : below;
}

std::string Session::ProblemLine() const {
  return ProblemOfText(index_ + 1, ProblemCount(), language_);
}

std::string_view Session::ToMoveLine() const { return ToMoveText(SolverColor(), language_); }

std::string Session::ProgressLine() const {
  return ProgressText(SolvedCount(), ProblemCount(), SolvedFirstCount(), language_);
}

std::string Session::ClockLine() const { return ClockText(ProblemSeconds()); }

std::string Session::CycleLine() const { return CycleText(CycleNumber(), language_); }

std::string Session::RatingLine() const { return RatingText(rating_, language_); }

std::string Session::DueLine() const { return DueText(DueCount(), language_); }

std::string Session::ReviewLine() const {
  return InReview() ? ReviewProblemText(reviewPlace_ + 1, review_.size(), language_) : "";
}

std::string_view Session::ResultText(MoveResult result) const {
  switch (result) {
    case MoveResult::Right:
      return TextOf(Text::Right, language_);
    case MoveResult::Solved:
      return TextOf(otherMate_ ? Text::SolvedByOtherMate : Text::Solved, language_);
    case MoveResult::Wrong:
      return TextOf(Text::Wrong, language_);
    case MoveResult::Illegal:
      return TextOf(Text::Illegal, language_);
    case MoveResult::NotUnderstood:
      return TextOf(Text::NotUnderstood, language_);
    case MoveResult::Ambiguous:
      return TextOf(Text::Ambiguous, language_);
    case MoveResult::NeedsPromotion:
      return TextOf(Text::ChoosePromotion, language_);
    case MoveResult::NotNow:
      return {};
  }
  return {};
}

}  // namespace zel::solver
