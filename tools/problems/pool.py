"""Reads and appends content/problems.txt and reads content/courses.txt.

The pool is edited by two kinds of writers: the miner, which only ever
appends whole entries, and a teacher, who types entries by hand. So the reader
is strict and names the file and line of every fault, and every problem is
checked by our chess rules: a legal position, each move legal in turn, and a
line that ends on a move of the solver (an odd number of moves).

Format (content/README.md has the full description):

    id: g0001
    fen: <FEN, the solver to move>
    moves: <UCI moves, solver first, ending on a solver move>
    themes: <tokens>
    difficulty: <integer>
    source: <how to reproduce it, or "hand">
"""
from __future__ import annotations

import fcntl
import os
import re
import sys
from dataclasses import dataclass

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "content"))
import chess  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROBLEMS = os.path.join(ROOT, "content", "problems.txt")
COURSES = os.path.join(ROOT, "content", "courses.txt")

KEYS = ("id", "fen", "moves", "themes", "difficulty", "source")
ID = re.compile(r"[a-z][0-9]{4,}")
THEME = re.compile(r"[a-z0-9]+(?:-[a-z0-9]+)*")
MAX_SOLVER_MOVES = 5
# The solver's data file is ASCII and ';'-separated: a source may say anything,
# but what goes into Zadachi.dat must not break a line or a field.
FIELD_CHARS = re.compile(r"[ -:<-~]*")    # printable ASCII without ';'

# The course keys in the order the solver's data file and courses.txt use.
COURSE_KEYS = (("practice",) + tuple(f"tactics{n}" for n in range(1, 10))
               + ("checkmate", "tactics", "problembook", "material"))


class PoolError(Exception):
    def __init__(self, path: str, line: int, message: str):
        super().__init__(f"{path}:{line}: {message}")
        self.path, self.line, self.message = path, line, message


def position_key(fen: str) -> str:
    """The position without the move counters: two problems on it are one."""
    return " ".join(fen.split()[:4])


@dataclass(frozen=True)
class Problem:
    id: str
    fen: str
    moves: tuple          # UCI strings
    themes: tuple         # tokens
    difficulty: int
    source: str
    line: int = 0         # where the entry starts in its file

    def solver_moves(self) -> int:
        return (len(self.moves) + 1) // 2

    def position_key(self) -> str:
        return position_key(self.fen)

    def text(self) -> str:
        return (f"id: {self.id}\nfen: {self.fen}\nmoves: {' '.join(self.moves)}\n"
                f"themes: {' '.join(self.themes)}\ndifficulty: {self.difficulty}\n"
                f"source: {self.source}\n")


def positions(fen: str, moves) -> list:
    """The start and the position after each move, by our rules; raises ChessError."""
    pos = chess.parse_fen(fen)
    out = [pos]
    for i, uci in enumerate(moves):
        try:
            move = pos.move_from_uci(uci)
        except chess.ChessError:
            raise chess.ChessError(f"move {i + 1} '{uci}' is not legal in its position") from None
        pos = pos.push(move)
        out.append(pos)
    return out


def _entry(path: str, start: int, values: dict) -> Problem:
    for key in KEYS:
        if key not in values:
            raise PoolError(path, start, f"the entry has no '{key}:' line")
    where = lambda key: values[key][0]  # noqa: E731
    pid = values["id"][1]
    if not ID.fullmatch(pid):
        raise PoolError(path, where("id"), f"id '{pid}' is not a lower-case letter and "
                        "at least four digits, like g0001")
    fen = " ".join(values["fen"][1].split())
    moves = tuple(values["moves"][1].split())
    if not moves:
        raise PoolError(path, where("moves"), "no moves")
    if len(moves) % 2 == 0:
        raise PoolError(path, where("moves"), f"{len(moves)} moves: the line must end on a "
                        "move of the solver (an odd number of moves)")
    if (len(moves) + 1) // 2 > MAX_SOLVER_MOVES:
        raise PoolError(path, where("moves"), f"{(len(moves) + 1) // 2} solver moves, "
                        f"more than {MAX_SOLVER_MOVES}")
    try:
        chess.parse_fen(fen)
    except chess.ChessError as e:
        raise PoolError(path, where("fen"), f"the position is not legal: {e}") from None
    try:
        positions(fen, moves)
    except chess.ChessError as e:
        raise PoolError(path, where("moves"), str(e)) from None
    themes = tuple(values["themes"][1].split())
    for token in themes:
        if not THEME.fullmatch(token):
            raise PoolError(path, where("themes"), f"theme '{token}' is not lower-case "
                            "words joined by '-'")
    difficulty = values["difficulty"][1]
    if not re.fullmatch(r"[0-9]{1,5}", difficulty):
        raise PoolError(path, where("difficulty"), f"difficulty '{difficulty}' is not a "
                        "whole number")
    source = values["source"][1]
    if not source or not FIELD_CHARS.fullmatch(source):
        raise PoolError(path, where("source"), "the source must be printable ASCII "
                        "without ';'")
    return Problem(pid, fen, moves, themes, int(difficulty), source, start)


def parse(path: str, text: str) -> list[Problem]:
    problems: list[Problem] = []
    values: dict = {}
    start = 0

    def close():
        nonlocal values
        if values:
            problems.append(_entry(path, start, values))
        values = {}

    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        if line.startswith("#"):
            continue
        if not line:
            close()
            continue
        m = re.fullmatch(r"([a-z]+):\s*(.*)", line)
        if not m:
            raise PoolError(path, number, f"'{line[:40]}' is no 'key: value' line")
        key, value = m.group(1), m.group(2)
        if key not in KEYS:
            raise PoolError(path, number, f"unknown key '{key}' (keys: {', '.join(KEYS)})")
        if not values:
            start = number
        if key in values:
            raise PoolError(path, number, f"a second '{key}:' in the entry of line {start}")
        values[key] = (number, value)
    close()
    seen_id: dict = {}
    seen_position: dict = {}
    for p in problems:
        if p.id in seen_id:
            raise PoolError(path, p.line, f"id {p.id} is used again (first on line {seen_id[p.id]})")
        seen_id[p.id] = p.line
        key = p.position_key()
        if key in seen_position:
            raise PoolError(path, p.line, f"problem {p.id} has the position of "
                            f"{seen_position[key]} again")
        seen_position[key] = p.id
    return problems


SOURCE = re.compile(r"mined seed=(\d+) ply=(\d+)\b")


def game_and_ply(problem: Problem) -> tuple[int, int] | None:
    """(seed, ply) of a mined problem, from its source line."""
    m = SOURCE.match(problem.source)
    return (int(m.group(1)), int(m.group(2))) if m else None


MISTAKE = re.compile(r"mined\b.*\bmistake=([a-h][1-8][a-h][1-8][qrbn]?)(?:\s|$)")


def mistake(problem: Problem) -> str | None:
    """The opponent's move that set a mined problem, in coordinates, from its source line."""
    m = MISTAKE.match(problem.source)
    return m.group(1) if m else None


def load(path: str = PROBLEMS) -> list[Problem]:
    with open(path, encoding="utf-8") as f:
        return parse(path, f.read())


HEADER = ("# The problem pool: one entry a problem, separated by blank lines.\n"
          "# Format and how to add a problem: content/README.md.\n\n")


def _locked(path: str) -> int:
    """An open descriptor of path holding its exclusive lock.

    A rewrite (retag.py) puts a new file in place under the same lock, so a
    writer that got the lock on the file it replaced tries again on the new one.
    """
    while True:
        fd = os.open(path, os.O_RDWR | os.O_CREAT, 0o644)
        fcntl.flock(fd, fcntl.LOCK_EX)
        try:
            if os.fstat(fd).st_ino == os.stat(path).st_ino:
                return fd
        except FileNotFoundError:
            pass
        os.close(fd)


def rewrite(path: str, change) -> None:
    """Replaces the pool by change(problems) -> text, under the lock, all or nothing."""
    fd = _locked(path)
    try:
        with os.fdopen(os.dup(fd), encoding="utf-8") as f:
            problems = parse(path, f.read())
        text = change(problems)
        temporary = path + ".tmp"
        with open(temporary, "w", encoding="utf-8") as f:
            f.write(text)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    finally:
        os.close(fd)


def append(problem_for_id, path: str = PROBLEMS) -> Problem | None:
    """Appends one problem under an exclusive lock, numbering it after the last id.

    problem_for_id(next_id, existing) gets the pool as it is under the lock and
    returns the Problem to write, or None to write nothing (e.g. its position
    is already there). The entry is written with one write() and fsync'ed
    while the lock is held, so two miners never take the same id and a kill
    leaves whole entries only.
    """
    fd = _locked(path)
    try:
        with os.fdopen(os.dup(fd), encoding="utf-8") as f:
            text = f.read()
        existing = parse(path, text)
        numbers = [int(p.id[1:]) for p in existing if p.id.startswith("g")]
        next_id = f"g{(max(numbers) + 1 if numbers else 1):04d}"
        problem = problem_for_id(next_id, existing)
        if problem is None:
            return None
        prefix = "" if text else HEADER
        if text and not text.endswith("\n"):
            prefix = "\n"
        chunk = prefix + ("\n" if text else "") + problem.text()
        os.lseek(fd, 0, os.SEEK_END)
        os.write(fd, chunk.encode("utf-8"))
        os.fsync(fd)
        return problem
    finally:
        os.close(fd)


@dataclass(frozen=True)
class Course:
    key: str
    ids: tuple
    line: int


def parse_courses(path: str, text: str) -> list[Course]:
    courses: list[Course] = []
    pending = None
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        if not line or line.startswith("#"):
            continue
        m = re.fullmatch(r"([a-z]+):\s*(.*)", line)
        if not m or m.group(1) not in ("course", "problems"):
            raise PoolError(path, number, "expected 'course: <key>' or 'problems: <ids>'")
        key, value = m.groups()
        if key == "course":
            if pending:
                raise PoolError(path, pending[1], f"course {pending[0]} has no 'problems:' line")
            pending = (value.strip(), number)
        else:
            if not pending:
                raise PoolError(path, number, "'problems:' before any 'course:'")
            courses.append(Course(pending[0], tuple(value.split()), pending[1]))
            pending = None
    if pending:
        raise PoolError(path, pending[1], f"course {pending[0]} has no 'problems:' line")
    keys = tuple(c.key for c in courses)
    if keys != COURSE_KEYS:
        raise PoolError(path, courses[0].line if courses else 1,
                        f"the courses must be {' '.join(COURSE_KEYS)} in that order, "
                        f"not {' '.join(keys)}")
    return courses


def load_courses(path: str = COURSES) -> list[Course]:
    with open(path, encoding="utf-8") as f:
        return parse_courses(path, f.read())
