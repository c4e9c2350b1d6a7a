// Test support for the solver: a small Zadachi.dat whose problems were
// checked by hand, each one for a rule of the session, and readable states in
// GoogleTest's messages.
#pragma once

#include <ostream>
#include <string_view>

#include "solver/progress.h"

namespace zel::solver {

// For GoogleTest's messages: "first" rather than "1-byte object <03>".
inline void PrintTo(ProblemState state, std::ostream* out) {
  constexpr const char* kNames[] = {"new", "missed", "solved", "first"};
  *out << kNames[static_cast<int>(state)];
}

}  // namespace zel::solver

namespace zel::solver::testing {

// p0001: a rook ladder, mate in two; one answer only (Kg8), one mate (Ra8#).
// p0002: the line is a quiet rook move first, though Ra8# mates at once.
// p0003: queenside castling mates; so does Rd1#.
// p0004: black to move: a1=Q# or a1=R#; a1=N is no mate.
// c0001: a collection of the other solver, so the file holds two families.
inline constexpr std::string_view kTestData =
    "# Test problems\r\n"
    "[practice]\r\n"
    "p0001;7k/8/8/8/8/8/8/RR4K1 w - - 0 1;b1b7 h8g8 a1a8;ladder mate-in-2;600\r\n"
    "p0002;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a2 g8h8 a2a8;back-rank;500\r\n"
    "p0003;2rkr3/2p1p3/8/8/8/8/8/R3K3 w Q - 0 1;e1c1;castling;700\r\n"
    "p0004;6k1/8/8/8/8/8/p5PP/7K b - - 0 1;a2a1q;promotion;650\r\n"
    "\r\n"
    "[checkmate]\r\n"
    "c0001;6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1;a1a8;back-rank;450\r\n";

}  // namespace zel::solver::testing
