// Every text the solvers show the user, in Russian and in English, in one
// table; the texts with numbers, pieces or moves in them are made by the
// functions below. UTF-8. Command captions carry "&" before their access key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "chess/notation.h"
#include "chess/position.h"
#include "chess/types.h"
#include "platform/clock.h"
#include "solver/glicko.h"
#include "solver/problem_data.h"
#include "solver/progress.h"
#include "solver/user_rating.h"

namespace zel::solver {

using chess::Language;

enum class Text : std::uint8_t {
  // After a move or a request
  Right,
  Wrong,
  Illegal,
  NotUnderstood,
  Ambiguous,
  ChoosePromotion,
  Solved,
  SolvedByOtherMate,
  YourMove,
  SolutionShown,
  CourseComplete,
  // Whose move it is
  WhiteToMove,
  BlackToMove,
  // Problem states in the problem list
  StateNew,
  StateMissed,
  StateSolved,
  StateSolvedFirst,
  // The course list, questions and failures
  ChooseCourse,
  ChooseCollection,
  NoProblems,
  RestartQuestion,
  DataUnreadable,
  ProgressNotSaved,
  ProgressUnreadable,
  // Commands
  CommandHint,
  CommandSolution,
  CommandRetry,
  CommandNext,
  CommandPrevious,
  CommandFlipBoard,
  CommandProblemList,
  CommandRestartCourse,
  CommandTypeMove,
  CommandPlay,
  CommandOpen,
  CommandClose,
  // The piece a pawn becomes, as a menu offers them
  PromoteQueen,
  PromoteRook,
  PromoteBishop,
  PromoteKnight,
  // While the board moves by itself
  Reply,
  SolutionShowing,
  // Cycles, review, rating and statistics
  CommandReview,
  CommandStatistics,
  CommandEraseCourse,
  CommandAtMyLevel,
  CommandShowClock,
  EraseQuestion,
  ReviewComplete,
  NothingDue,
  StatisticsTitle,
  Count
};

struct TextRow {
  Text id;
  std::string_view russian;
  std::string_view english;
};

// clang-format off
inline constexpr TextRow kTexts[] = {
  {Text::Right, "Правильно!", "Right!"},
  {Text::Wrong, "Неверно. Попробуйте ещё раз.", "Wrong move. Try again."},
  {Text::Illegal, "Так ходить нельзя.", "That move is not legal."},
  {Text::NotUnderstood, "Это не ход. Введите, например, Кf3 или e2e4.",
   "That is not a move. Type, for example, Nf3 or e2e4."},
  {Text::Ambiguous, "Так может пойти не одна фигура. Уточните, какая.",
   "More than one piece can make that move. Say which one."},
  {Text::ChoosePromotion, "Выберите, в какую фигуру превращается пешка.",
   "Choose the piece the pawn becomes."},
  {Text::Solved, "Задача решена!", "Solved!"},
  {Text::SolvedByOtherMate, "Мат! Задача решена.", "Checkmate! Solved."},
  {Text::YourMove, "Ваш ход.", "Your move."},
  {Text::SolutionShown, "Это решение. Чтобы решить задачу самостоятельно, нажмите «Заново».",
   "That is the solution. To solve the problem yourself, choose Retry."},
  {Text::CourseComplete, "Все задачи решены!", "Every problem is solved!"},
  {Text::WhiteToMove, "Ход белых", "White to move"},
  {Text::BlackToMove, "Ход чёрных", "Black to move"},
  {Text::StateNew, "не решена", "not solved yet"},
  {Text::StateMissed, "не решена, были ошибки", "not solved yet, with mistakes"},
  {Text::StateSolved, "решена", "solved"},
  {Text::StateSolvedFirst, "решена с первой попытки", "solved at the first attempt"},
  {Text::ChooseCourse, "Выберите курс", "Choose a course"},
  {Text::ChooseCollection, "Выберите сборник", "Choose a collection"},
  {Text::NoProblems, "В этом курсе пока нет задач.", "This course has no problems yet."},
  {Text::RestartQuestion,
   "Начать новый круг? Все задачи курса снова станут нерешёнными, а результаты прежних кругов "
   "останутся в статистике.",
   "Start a new cycle? Every problem of the course becomes unsolved again; the earlier cycles' "
   "results stay in the statistics."},
  {Text::DataUnreadable, "Не удалось прочитать файл задач.", "The problem file could not be read."},
  {Text::ProgressNotSaved, "Не удалось сохранить результаты.", "Your results could not be saved."},
  {Text::ProgressUnreadable, "Не удалось прочитать результаты курса.",
   "The course's results could not be read."},
  {Text::CommandHint, "&Подсказка", "&Hint"},
  {Text::CommandSolution, "&Решение", "&Solution"},
  {Text::CommandRetry, "&Заново", "&Retry"},
  {Text::CommandNext, "&Дальше", "&Next"},
  {Text::CommandPrevious, "&Назад", "&Previous"},
  {Text::CommandFlipBoard, "Пере&вернуть доску", "&Flip board"},
  {Text::CommandProblemList, "&Список задач", "Problem &list"},
  {Text::CommandRestartCourse, "Новый &круг", "New &cycle"},
  {Text::CommandTypeMove, "Ввести &ход:", "&Type a move:"},
  {Text::CommandPlay, "С&ыграть", "Pl&ay"},
  {Text::CommandOpen, "&Открыть", "&Open"},
  // Shown beside the panel's commands: its access key must differ from theirs.
  {Text::CommandClose, "Закры&ть", "Clos&e"},
  {Text::PromoteQueen, "&Ферзь", "&Queen"},
  {Text::PromoteRook, "&Ладья", "&Rook"},
  {Text::PromoteBishop, "&Слон", "&Bishop"},
  {Text::PromoteKnight, "&Конь", "K&night"},
  {Text::Reply, "Ответ: ", "Reply: "},
  {Text::SolutionShowing, "Решение:", "Solution:"},
  {Text::CommandReview, "Повторени&е", "Re&view"},
  {Text::CommandStatistics, "Ст&атистика", "Stat&istics"},
  {Text::CommandEraseCourse, "Стереть резу&льтаты", "Erase res&ults"},
  {Text::CommandAtMyLevel, "По &моему уровню", "At &my level"},
  {Text::CommandShowClock, "Показывать &часы", "Show the cloc&k"},
  {Text::EraseQuestion,
   "Стереть все результаты этого курса, все круги и повторения? Этого нельзя отменить. "
   "Рейтинг останется.",
   "Erase every result of this course, all its cycles and reviews? This cannot be undone. "
   "Your rating stays."},
  {Text::ReviewComplete, "Повторение закончено.", "Review complete."},
  {Text::NothingDue, "Сегодня повторять нечего.", "Nothing to review today."},
  {Text::StatisticsTitle, "Статистика", "Statistics"},
};
// clang-format on

constexpr bool TextsInOrder() {
  for (std::size_t i = 0; i < std::size(kTexts); ++i)
    if (static_cast<std::size_t>(kTexts[i].id) != i) return false;
  return std::size(kTexts) == static_cast<std::size_t>(Text::Count);
}
static_assert(TextsInOrder(), "one row per Text, in enum order");

constexpr std::string_view TextOf(Text id, Language language) {
  const TextRow& row = kTexts[static_cast<std::size_t>(id)];
  return language == Language::Russian ? row.russian : row.english;
}

// "Ход белых" / "White to move".
std::string_view ToMoveText(chess::Color side, Language language);
std::string_view StateText(ProblemState state, Language language);
// "Задача 5 из 30" / "Problem 5 of 30"; `number` counts from 1.
std::string ProblemOfText(std::size_t number, std::size_t count, Language language);
// "Решено 12 из 30, с первой попытки 9" / "Solved 12 of 30, 9 at the first attempt".
std::string ProgressText(std::size_t solved, std::size_t count, std::size_t first,
                         Language language);
// The first hint, the man to move: "Подсказка: ходит конь с f3." /
// "Hint: move the knight on f3."
std::string PieceHintText(chess::PieceType piece, chess::Square from, Language language);
// The second hint, the move itself in the language's notation:
// "Подсказка: ход К:e5." / "Hint: play Nxe5."
std::string MoveHintText(const chess::Position& before, const chess::Move& move, Language language);
// A problem's clock: "4:05", "1:02:03".
std::string ClockText(std::uint32_t seconds);
// A length of time in words: "1 ч 02 мин", "4 мин 05 с" / "1 h 02 min", "4 min 05 s".
std::string DurationText(std::uint64_t seconds, Language language);
// "05.01.2026" / "2026-01-05".
std::string DayText(platform::Day day, Language language);
// A share from 0 to 1 as whole percent: "64 %" / "64%".
std::string PercentText(double share, Language language);
// "Круг 2" / "Cycle 2".
std::string CycleText(std::size_t number, Language language);
// "Рейтинг 1432 ± 81" / "Rating 1432 ± 81".
std::string RatingText(const Glicko& rating, Language language);
// "К повторению сегодня: 3" / "Due for review today: 3".
std::string DueText(std::size_t due, Language language);
// "Повторение: задача 2 из 5" / "Review: problem 2 of 5"; `place` counts from 1.
std::string ReviewProblemText(std::size_t place, std::size_t size, Language language);
// The access key of a caption: the character after "&", as UTF-8.
std::string_view AccessKeyOf(std::string_view caption);

// A legal move that is not the solution, named: "Ф:d1 — неверно. Попробуйте
// ещё раз." / "Qxd1 — wrong. Try again."
std::string WrongMoveText(const chess::Position& before, const chess::Move& move,
                          Language language);
// The defender's answer: "Ответ: Крg8. Ваш ход." / "Reply: Kg8. Your move."
std::string ReplyText(const chess::Position& before, const chess::Move& reply, Language language);
// A line of moves numbered from 1, the side to move first: "1. Лb7 Крg8
// 2. Лa8#"; "1... a1Ф#" when Black begins.
std::string LineText(const chess::Position& start, std::span<const chess::Move> line,
                     Language language);
// What the user learns after a problem, solved or shown, one line each: its
// themes (the line left out when none is shown), its rating and the solution.
//   "Темы: Мат в 2 хода, Связка\nРейтинг: 600\nРешение: 1. Лb7 Крg8 2. Лa8#"
//   "Theme: Pin\nRating: 600\nSolution: 1. Rb7 Kg8 2. Ra8#"
std::string ProblemSummaryText(const Problem& problem, Language language);
// The time spent on a problem: "Время: 0:42", "Time: 1:05:09".
std::string TimeSpentText(std::uint32_t seconds, Language language);
// The rating after a first attempt with the change it made:
// "Рейтинг 1512 ± 290 (+12)" / "Rating 1488 ± 290 (−12)".
std::string RatingChangeText(const RatingChange& change, Language language);

}  // namespace zel::solver
