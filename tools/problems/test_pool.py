#!/usr/bin/env python3
"""The pool's format, the courses file and the solver's data file: what hand
editing and a killed miner can break."""
import multiprocessing
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_data  # noqa: E402
import mine  # noqa: E402
import pool  # noqa: E402
import rated_table  # noqa: E402
import retire  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FORK = "r1b2rk1/pp3ppp/2q5/3N4/8/8/PPP2PPP/R2Q1RK1 w - - 0 1"
BACK_RANK = "6k1/5ppp/8/8/8/8/q4PPP/3R2K1 w - - 0 1"


def entry(pid="g0001", fen=FORK, moves="d5e7 g8h8 e7c6", themes="material fork",
          difficulty="600", source="hand"):
    return (f"id: {pid}\nfen: {fen}\nmoves: {moves}\nthemes: {themes}\n"
            f"difficulty: {difficulty}\nsource: {source}\n")


def courses_text(ids: dict) -> str:
    return "".join(f"course: {k}\nproblems: {' '.join(ids.get(k, ()))}\n\n"
                   for k in pool.COURSE_KEYS)


class Reading(unittest.TestCase):
    def fault(self, text, line, message):
        with self.assertRaises(pool.PoolError) as caught:
            pool.parse("p.txt", text)
        self.assertEqual(caught.exception.line, line, str(caught.exception))
        self.assertRegex(caught.exception.message, message)
        self.assertTrue(str(caught.exception).startswith(f"p.txt:{line}: "))

    def test_entries_comments_and_blank_lines(self):
        text = "# the pool\n\n" + entry() + "\n# a hand problem\n" + \
            entry("h0001", BACK_RANK, "d1d8", "mate mate-in-1", "400") + "\n\n"
        first, second = pool.parse("p.txt", text)
        self.assertEqual((first.id, first.moves, first.themes, first.difficulty, first.line),
                         ("g0001", ("d5e7", "g8h8", "e7c6"), ("material", "fork"), 600, 3))
        self.assertEqual((second.id, second.solver_moves(), second.line), ("h0001", 1, 11))

    def test_faults_name_the_line(self):
        self.fault(entry(moves="d5e7 g8h8"), 3, "must end on a move of the solver")
        self.fault(entry(moves="d5e7 g8g7 e7c6"), 3, "move 2 'g8g7' is not legal")
        self.fault(entry(fen="4k3/8/8/8/8/8/8/4r1K1 b - - 0 1"), 2,
                   "not legal: White is in check")
        self.fault(entry(fen="8/8/8/8/8/8/8/8 w - - 0 1"), 2, "kings")
        self.fault(entry(pid="G1"), 1, "id 'G1'")
        self.fault(entry(themes="Fork"), 4, "theme 'Fork'")
        self.fault(entry(difficulty="easy"), 5, "difficulty 'easy'")
        self.fault(entry(source="партия"), 6, "printable ASCII")
        self.fault(entry(source="a;b"), 6, "without ';'")
        self.fault(entry().replace("source: hand\n", ""), 1, "no 'source:' line")
        self.fault(entry() + "colour: white\n", 7, "unknown key 'colour'")
        self.fault(entry() + "id: g0002\n", 7, "a second 'id:'")
        self.fault("fen is here\n", 1, "no 'key: value' line")
        self.fault(entry(moves=" ".join(["d1d2", "g8h8", "d2d1", "h8g8"] * 2 + ["d1d2", "g8h8",
                                                                                  "d2d1"])),
                   3, "6 solver moves, more than 5")

    def test_an_id_or_a_position_twice(self):
        self.fault(entry() + "\n" + entry(fen=BACK_RANK, moves="d1d8"), 8, "id g0001 is used again")
        # The same position with other move counters is the same problem.
        self.fault(entry() + "\n" + entry("g0002", FORK.replace("0 1", "3 17")), 8,
                   "g0002 has the position of g0001")


class Courses(unittest.TestCase):
    def test_order_and_pairs(self):
        courses = pool.parse_courses("c.txt", courses_text({"practice": ["g0001"]}))
        self.assertEqual([c.key for c in courses], list(pool.COURSE_KEYS))
        self.assertEqual(courses[0].ids, ("g0001",))
        swapped = courses_text({}).replace("tactics1\n", "tacticsX\n")
        with self.assertRaisesRegex(pool.PoolError, "must be practice tactics1"):
            pool.parse_courses("c.txt", swapped)
        with self.assertRaisesRegex(pool.PoolError, r"c.txt:1: course practice has no 'problems:'"):
            pool.parse_courses("c.txt", "course: practice\ncourse: tactics1\n")


class DataFile(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def write(self, name, text):
        path = os.path.join(self.dir.name, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def run_tool(self, problems, courses):
        out = os.path.join(self.dir.name, "data", "Zadachi.dat")
        done = subprocess.run([sys.executable, os.path.join(HERE, "make_data.py"), out,
                               "--problems", self.write("p.txt", problems),
                               "--courses", self.write("c.txt", courses)],
                              capture_output=True, text=True)
        return done, out

    def test_sections_in_course_order_one_line_a_problem(self):
        problems = entry() + "\n" + entry("h0001", BACK_RANK, "d1d8", "mate mate-in-1", "400")
        done, out = self.run_tool(problems, courses_text({"practice": ["h0001"],
                                                          "material": ["g0001"]}))
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(out, "rb") as f:
            data = f.read()
        self.assertTrue(data.isascii())
        lines = [l for l in data.decode().splitlines() if not l.startswith("#")]
        self.assertEqual(lines[0], "[practice]")
        self.assertEqual(lines[1], f"h0001;{BACK_RANK};d1d8;mate mate-in-1;400")
        self.assertEqual(lines[-2:], ["[material]", f"g0001;{FORK};d5e7 g8h8 e7c6;material fork;600"])
        self.assertEqual([l for l in lines if l.startswith("[")],
                         [f"[{k}]" for k in pool.COURSE_KEYS])

    def test_a_fault_stops_the_build_and_leaves_no_file(self):
        done, out = self.run_tool(entry(moves="d5e7 g8g7 e7c6"), courses_text({}))
        self.assertEqual(done.returncode, 1)
        self.assertRegex(done.stderr, r"p.txt:3: move 2 'g8g7' is not legal")
        self.assertFalse(os.path.exists(out))
        done, _ = self.run_tool(entry(), courses_text({"practice": ["g0001", "g0002"]}))
        self.assertRegex(done.stderr, r"c.txt:1: course practice: no problem g0002 in the pool")
        done, _ = self.run_tool(entry(), courses_text({"practice": ["g0001"],
                                                       "tactics": ["g0001"]}))
        self.assertRegex(done.stderr, r"c.txt:\d+: course tactics: g0001 is already in practice")

    def test_the_committed_pool_builds_and_keeps_games_apart(self):
        # The real pool and courses must build: the same run as the build step.
        problems = pool.load()
        text = make_data.render(problems, pool.load_courses(), pool.COURSES)
        self.assertTrue(text.isascii())
        places: dict = {}
        for p in problems:
            place = pool.game_and_ply(p)
            if place:
                places.setdefault(place[0], []).append((place[1], p.id))
        for seed, plies in places.items():
            plies.sort()
            for (a, first), (b, second) in zip(plies, plies[1:]):
                self.assertGreaterEqual(b - a, mine.GAP_PLIES,
                                        f"{first} and {second} of seed {seed} lie too close")

    def test_no_problem_of_the_pool_is_a_rated_one(self):
        # The public puzzle site's rated problems are the ruler of the
        # difficulty measure, never content: no position of theirs in the pool.
        rated = rated_table.position_keys()
        self.assertGreater(len(rated), 900, "the rated table was not read whole")
        self.assertEqual([p.id for p in pool.load() if p.position_key() in rated], [])


# Distinct legal positions for the writers: the white king on its own square.
KING_SQUARES = [f + r for r in "123456" for f in "abcdefgh" if f + r not in ("a1", "a2")]


def _king_fen(square: str) -> str:
    board = {"h8": "k", "a1": "R", square: "K"}
    rows = []
    for r in "87654321":
        text, empty = "", 0
        for f in "abcdefgh":
            piece = board.get(f + r)
            if piece is None:
                empty += 1
            else:
                text += (str(empty) if empty else "") + piece
                empty = 0
        rows.append(text + (str(empty) if empty else ""))
    return "/".join(rows) + " w - - 0 1"


def _append_many(path, start, count):
    for square in KING_SQUARES[start:start + count]:
        fen = _king_fen(square)
        pool.append(lambda next_id, existing, fen=fen:
                    None if " ".join(fen.split()[:4]) in {p.position_key() for p in existing}
                    else pool.Problem(next_id, fen, ("a1a2",), ("quiet-move",), 400, "hand"), path)


class Appending(unittest.TestCase):
    def test_two_writers_never_share_an_id_and_leave_whole_entries(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "problems.txt")
            workers = [multiprocessing.Process(target=_append_many, args=(path, s, 20))
                       for s in (0, 20)]
            for w in workers:
                w.start()
            for w in workers:
                w.join()
            problems = pool.load(path)
            self.assertEqual(len(problems), 40)
            self.assertEqual(sorted(p.id for p in problems), [f"g{n:04d}" for n in range(1, 41)])
            # A writer that finds its position already there writes nothing.
            _append_many(path, 0, 3)
            self.assertEqual(len(pool.load(path)), 40)
            with open(path, encoding="utf-8") as f:
                self.assertTrue(f.read().startswith("# The problem pool"))


class Retiring(unittest.TestCase):
    """Problems are taken out under the lock; the rest stays as it was written."""

    def pool_with(self, d, themes_of):
        path = os.path.join(d, "problems.txt")
        for n, themes in enumerate(themes_of):
            fen = _king_fen(KING_SQUARES[n])
            pool.append(lambda next_id, existing, fen=fen, themes=themes: pool.Problem(
                next_id, fen, ("a1a2",), themes, 400 + 10 * n, "hand"), path)
        return path

    def test_unused_problems_go_and_the_last_id_stays(self):
        with tempfile.TemporaryDirectory() as d:
            # Practice takes hanging pieces only up to a third of its size,
            # and no line that neither mates nor wins; the last problem is a
            # single capture too, and keeps its id.
            path = self.pool_with(d, [("material", "hanging-piece")] * 18 + [("pin",)] * 2
                                  + [("mate", "mate-in-1")] * 20 + [("material",)])
            before = {p.id: p.text() for p in pool.load(path)}
            unused = retire.unused(pool.load(path))
            self.assertLessEqual({"g0019", "g0020"}, unused)
            self.assertTrue(unused)
            self.assertEqual(retire.main(["retire.py", "--pool", path,
                                          "--unused"]), 0)
            after = {p.id: p.text() for p in pool.load(path)}
            self.assertEqual(set(before) - set(after), unused - {"g0041"})
            self.assertIn("g0041", after)
            self.assertTrue(all(after[i] == before[i] for i in after))
            with open(path, encoding="utf-8") as f:
                self.assertTrue(f.read().startswith("# The problem pool"))

    def test_an_unknown_or_the_last_id_changes_nothing(self):
        with tempfile.TemporaryDirectory() as d:
            path = self.pool_with(d, [("quiet-move",)] * 3)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for ids in (["g0001", "g0009"], ["g0003"]):
                with self.subTest(ids=ids), self.assertRaises(SystemExit):
                    retire.main(["retire.py", "--pool", path, *ids])
                with open(path, encoding="utf-8") as f:
                    self.assertEqual(f.read(), text)
            self.assertEqual(retire.main(["retire.py", "--pool", path, "g0002"]), 0)
            self.assertEqual([p.id for p in pool.load(path)], ["g0001", "g0003"])


if __name__ == "__main__":
    unittest.main()
