#!/usr/bin/env python3
"""The courses: the committed courses.txt is what the rules build from the
committed pool, and the rules give each course what the help promises."""
import dataclasses
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_courses  # noqa: E402
import pool  # noqa: E402

FEN = "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1"


def fake_pool(count: int) -> list:
    """Problems with a spread of themes, lengths and ratings; the builder reads no board."""
    kinds = [("mate", "mate-in-1", "back-rank-mate"), ("material", "fork"),
             ("material", "pin", "quiet-move"), ("mate", "mate-in-2", "sacrifice"),
             ("material", "hanging-piece"), ("mate", "mate-in-1"), ("material", "skewer"),
             ("material", "discovered-check"), ("mate", "mate-in-3", "attraction"),
             ("material", "fork", "double-attack"), ("mate", "mate-in-2", "deflection"),
             ("material", "deflection"), ("mate", "mate-in-1", "fork"),
             ("material", "removal-of-the-defender")]
    out = []
    for n in range(count):
        tags = kinds[n % len(kinds)]
        # Outside practice a single move must mate, so the others take two or three.
        moves = 1 if "mate-in-1" in tags else 3 if "mate-in-3" in tags else (n % 2) + 2
        line = tuple(["d1d8", "g8h8"] * (moves - 1) + ["d1d8"])
        # Ratings in steps of 100, so that many are equal and the order of
        # equal ratings counts.
        rating = 400 + (n * 37) % 2000 // 100 * 100
        out.append(pool.Problem(f"g{n + 1:04d}", FEN, line, tags, rating, "hand"))
    return out


class Rules(unittest.TestCase):
    def check_rules(self, problems, courses):
        by_id = {p.id: p for p in problems}
        everything = [pid for key in pool.COURSE_KEYS for pid in courses[key]]
        self.assertEqual(len(everything), len(set(everything)), "a problem in two places")
        self.assertLessEqual(set(everything), set(by_id))
        practice = [by_id[i] for i in courses["practice"]]
        self.assertTrue(all(p.solver_moves() <= make_courses.PRACTICE_MAX_MOVES for p in practice))
        # Practice follows the textbook: each problem has the theme of the
        # page it stands under (and none the page leaves out), and the pages
        # never go back.
        page = 0
        for p in practice:
            fits = [g for g, (number, tokens) in enumerate(make_courses.PRACTICE_PAGES)
                    if g >= page and set(tokens) & set(p.themes)
                    and not set(make_courses.PRACTICE_EXCLUDED.get(number, ())) & set(p.themes)]
            self.assertTrue(fits, f"{p.id} {p.themes} after page group {page}")
            page = fits[0]
        singles = [p for p in practice if make_courses.is_single_capture(p)]
        self.assertLessEqual(len(singles), len(practice) * make_courses.PRACTICE_SINGLE_SHARE)
        self.assertTrue(all(p.difficulty <= make_courses.PRACTICE_MAX_RATING for p in practice))
        self.assertEqual([i for i in everything if make_courses.is_unfinished(by_id[i])], [],
                         "a line that neither mates nor wins material")
        outside = [by_id[i] for i in everything if i not in courses["practice"]]
        self.assertEqual([p.id for p in outside if make_courses.is_single_capture(p)], [],
                         "a single capture outside practice")
        mates = [by_id[i] for i in courses["checkmate"]]
        self.assertTrue(all("mate" in p.themes for p in mates))
        self.assertEqual([p.solver_moves() for p in mates], sorted(p.solver_moves() for p in mates))
        for key in ("material", "tactics"):
            self.assertTrue(all(make_courses.is_material(by_id[i]) for i in courses[key]), key)
        # Тактика-1 to -9 rise: each is easiest first, and each lies wholly
        # above the one before, so its median does too.
        runs = [[(by_id[i].difficulty, by_id[i].solver_moves()) for i in courses[f"tactics{n}"]]
                for n in range(1, 10)]
        for run in runs:
            self.assertEqual(run, sorted(run))
        for easier, harder in zip(runs, runs[1:]):
            if easier and harder:
                self.assertLessEqual(max(easier), min(harder))

    def test_a_pool_of_the_minimum_fills_every_course_exactly(self):
        problems = fake_pool(sum(make_courses.MINIMUM.values()))
        self.assertFalse(any(make_courses.is_single_capture(p) for p in problems))
        courses, short = make_courses.build(problems)
        self.check_rules(problems, courses)
        self.assertEqual(short, [])
        self.assertEqual({k: len(v) for k, v in courses.items()}, make_courses.MINIMUM)

    def test_a_small_pool_reports_shortfalls_and_still_fills_every_course(self):
        problems = fake_pool(120)
        courses, short = make_courses.build(problems)
        self.check_rules(problems, courses)
        self.assertTrue(all(courses[k] for k in pool.COURSE_KEYS), courses)
        self.assertEqual(len(short), len(pool.COURSE_KEYS))
        self.assertRegex(short[0], r"^practice: \d+ problems, fewer than the 40 wanted$")

    def test_the_tactics_book_has_every_theme_there_is(self):
        problems = fake_pool(600)
        courses, _ = make_courses.build(problems)
        by_id = {p.id: p for p in problems}
        themes = {t for i in courses["tactics"] for t in by_id[i].themes}
        self.assertLessEqual({"fork", "pin", "skewer", "hanging-piece", "double-attack",
                              "discovered-check", "deflection", "removal-of-the-defender"}, themes)


    def test_the_checkmate_book_has_mates_of_every_length_there_is(self):
        # The courses take the hardest problems in their runs, long mates
        # among them; the book sets its share aside first.
        # A dozen long mates, rated where the last course has its run.
        long_mates = [p for p in fake_pool(600) if p.solver_moves() == 3 and "mate" in p.themes]
        problems = [dataclasses.replace(p, difficulty=1900) if p in long_mates[:12] else p
                    for p in fake_pool(600) if p not in long_mates[12:]]
        courses, _ = make_courses.build(problems)
        by_id = {p.id: p for p in problems}
        lengths = {p.solver_moves() for p in problems if "mate" in p.themes}
        self.assertEqual({by_id[i].solver_moves() for i in courses["checkmate"]}, lengths)
        for n in lengths - {1}:
            there = sum(1 for p in problems if "mate" in p.themes and p.solver_moves() == n)
            book = sum(1 for i in courses["checkmate"] if by_id[i].solver_moves() == n)
            self.assertGreaterEqual(book * 4, there, f"a quarter of the mates in {n}")

    def test_where_mates_lie_lower_the_wins_collections_still_get_their_minimums(self):
        # As in a mined pool: many easy mates, and wins rated higher, so the
        # nine courses' runs would take nearly every win.
        problems = []
        for n in range(sum(make_courses.MINIMUM.values()) + 200):
            if n % 2:
                problems.append(pool.Problem(f"g{n + 1:04d}", FEN, ("d1d8",),
                                             ("mate", "mate-in-1"), 500 + n % 400, "hand"))
            else:
                problems.append(pool.Problem(f"g{n + 1:04d}", FEN, ("d1d8", "g8h8", "d1d8"),
                                             ("material", "fork"), 900 + n, "hand"))
        courses, short = make_courses.build(problems)
        self.check_rules(problems, courses)
        self.assertEqual(short, [])
        # The hardest wins are not what the collections set aside: the last
        # course keeps them.
        hardest = max((p for p in problems if make_courses.is_material(p)),
                      key=lambda p: p.difficulty)
        self.assertIn(hardest.id, courses["tactics9"])

    def test_the_knights_fork_page_leaves_other_double_attacks_to_page_4(self):
        # Queen double attacks (easier) and knight forks: every double attack
        # is a fork, but page 5 shows the knight's alone.
        queens = [pool.Problem(f"g{n + 1:04d}", FEN, ("d1d8",),
                               ("material", "fork", "double-attack"), 400 + 10 * n, "hand")
                  for n in range(5)]
        knights = [pool.Problem(f"g{n + 6:04d}", FEN, ("d1d8",), ("material", "fork"),
                                600 + 10 * n, "hand") for n in range(5)]
        filler = [pool.Problem(f"g{n + 11:04d}", FEN, ("d1d8", "g8h8", "d1d8"), ("material",),
                               900, "hand") for n in range(470)]
        courses, _ = make_courses.build(queens + knights + filler)
        self.assertEqual(courses["practice"], [p.id for p in queens + knights])


class Committed(unittest.TestCase):
    def test_the_help_says_how_hard_the_courses_are_now(self):
        # Page 2 of the help gives the medians of Тактика-1 and -9, rounded:
        # a pool grown since must bring the help along.
        with open(os.path.join(pool.ROOT, "content", "help.txt"), encoding="utf-8") as f:
            said = re.search(r"сейчас от (\d+) до (\d+) в среднем", f.read())
        self.assertIsNotNone(said, "help.txt no longer says how hard the courses are")
        by_id = {p.id: p for p in pool.load()}
        courses = {c.key: c.ids for c in pool.load_courses()}
        for key, figure in (("tactics1", said[1]), ("tactics9", said[2])):
            median = make_courses.median([by_id[i] for i in courses[key]])
            self.assertLessEqual(abs(median - int(figure)), 50,
                                 f"{key}: the help says {figure}, the median is {median:.0f}")

    def test_courses_txt_is_built_from_the_pool(self):
        problems = pool.load()
        courses, _ = make_courses.build(problems)
        with open(pool.COURSES, encoding="utf-8") as f:
            self.assertEqual(f.read(), make_courses.render(courses),
                             "run tools/problems/make_courses.py and commit courses.txt")
        Rules().check_rules(problems, {c.key: c.ids for c in pool.load_courses()})


if __name__ == "__main__":
    unittest.main()
