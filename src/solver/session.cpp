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

Session::Session(platform::Files& files, const CourseInfo& course, const CourseProblems& problems,
                 Language language)
    : course_(course),
      problems_(NotEmpty(problems)),
      language_(language),
      store_(files, course, problems.Ids()),
      progress_(store_.Load()),
      faulted_(problems.problems.size(), false) {
  const auto unsolved = std::find_if(progress_.states.begin(), progress_.states.end(),
                                     [](ProblemState s) { return !IsSolved(s); });
  StartProblem(unsolved != progress_.states.end()
                   ? static_cast<std::size_t>(unsolved - progress_.states.begin())
                   : progress_.current);
}

std::size_t Session::SolvedCount() const {
  return static_cast<std::size_t>(
      std::count_if(progress_.states.begin(), progress_.states.end(), IsSolved));
}

std::size_t Session::SolvedFirstCount() const {
  return static_cast<std::size_t>(
      std::count(progress_.states.begin(), progress_.states.end(), ProblemState::SolvedFirst));
}

void Session::StartProblem(std::size_t index) {
  index_ = std::min(index, ProblemCount() - 1);
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

void Session::Save(Outcome outcome) {
  // The session's own view first, so that a failed write loses nothing the
  // window shows; then the file's, which has the other solvers' results too.
  progress_.states[index_] = Apply(progress_.states[index_], outcome);
  progress_.current = index_;
  if (outcome != Outcome::None) unsaved_.push_back({index_, outcome});
  SaveAgain();
}

void Session::SaveAgain() {
  CourseProgress saved = store_.Update(index_, unsaved_);
  unsaved_.clear();
  progress_ = std::move(saved);
}

void Session::CountFault() {
  faulted_[index_] = true;
  // Only New changes; the file never goes back, so a Missed or solved problem
  // needs no write.
  if (progress_.states[index_] == ProblemState::New) Save(Outcome::Fault);
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
  if (promotion == chess::NoPieceType && NeedsPromotion(from, to)) return MoveResult::NeedsPromotion;
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
  if (phase_ == Phase::Solved || phase_ == Phase::SolutionShown) StartProblem(index_);
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

void Session::Retry() { StartProblem(index_); }

bool Session::GoTo(std::size_t index) {
  if (index >= ProblemCount()) return false;
  StartProblem(index);
  Save(Outcome::None);
  return true;
}

bool Session::Next() { return GoTo(index_ + 1); }

bool Session::Previous() { return index_ > 0 && GoTo(index_ - 1); }

void Session::RestartCourse() {
  std::fill(faulted_.begin(), faulted_.end(), false);
  unsaved_.clear();
  progress_ = FreshProgress(ProblemCount());
  StartProblem(0);
  progress_ = store_.Restart();
}

std::string Session::ProblemLine() const {
  return ProblemOfText(index_ + 1, ProblemCount(), language_);
}

std::string_view Session::ToMoveLine() const { return ToMoveText(SolverColor(), language_); }

std::string Session::ProgressLine() const {
  return ProgressText(SolvedCount(), ProblemCount(), SolvedFirstCount(), language_);
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
