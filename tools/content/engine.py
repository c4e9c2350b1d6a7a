"""A small UCI driver for the textbook checks.

The engine runs over a pipe with one thread and a fixed hash, and a search is
always to a fixed depth, so a check gives the same answer on every machine.
Every read has a deadline: a hung engine fails the test instead of hanging CI.
Each command is answered by reading up to its own answer line ("uciok",
"readyok", "bestmove", "Nodes searched"), and stdin stays open until "quit":
an engine whose input closes right after "go" answers with an aborted search.
"""
from __future__ import annotations

import os
import queue
import subprocess
import threading
from dataclasses import dataclass

DEFAULT_PATH = "/usr/games/stockfish"
MATE = 100000    # a mate score, in centipawns, before the plies to it are taken off


class EngineError(RuntimeError):
    pass


@dataclass(frozen=True)
class Line:
    """One principal variation of a search."""
    multipv: int
    depth: int
    kind: str          # "cp" or "mate"
    value: int         # centipawns, or moves to mate (negative: being mated)
    pv: tuple
    nodes: int = 0     # nodes searched when the engine printed the line

    def centipawns(self) -> int:
        """Comparable with cp scores: a mate is worth more than any material."""
        if self.kind == "cp":
            return self.value
        return MATE - self.value if self.value > 0 else -MATE - self.value

    def describe(self) -> str:
        return f"mate {self.value}" if self.kind == "mate" else f"{self.value:+d} cp"


class Engine:
    def __init__(self, path: str | None = None, timeout: float = 60.0, hash_mb: int = 64):
        self.path = path or os.environ.get("ZEL_STOCKFISH", DEFAULT_PATH)
        self.timeout = timeout
        try:
            self.proc = subprocess.Popen([self.path], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                         text=True, bufsize=1)
        except OSError as e:
            raise EngineError(f"cannot start the engine {self.path}: {e}") from None
        self.lines: queue.Queue = queue.Queue()
        threading.Thread(target=self._pump, daemon=True).start()
        try:
            self.send("uci")
            self.read_until(lambda l: l == "uciok")
            self.set_option("Threads", 1)
            self.set_option("Hash", hash_mb)
            self.ready()
        except EngineError:
            self.quit()
            raise

    def _pump(self) -> None:
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def __enter__(self) -> "Engine":
        return self

    def __exit__(self, *exc) -> None:
        self.quit()

    def send(self, command: str) -> None:
        try:
            self.proc.stdin.write(command + "\n")
            self.proc.stdin.flush()
        except OSError as e:
            raise EngineError(f"the engine stopped taking commands ({command}): {e}") from None

    def read_until(self, done) -> list[str]:
        """The lines up to and including the first for which done(line) holds."""
        got = []
        while True:
            try:
                line = self.lines.get(timeout=self.timeout)
            except queue.Empty:
                raise EngineError(f"the engine gave no answer within {self.timeout:.0f} s") from None
            if line is None:
                raise EngineError("the engine ended unexpectedly")
            got.append(line)
            if done(line):
                return got

    def ready(self) -> None:
        self.send("isready")
        self.read_until(lambda l: l == "readyok")

    def set_option(self, name: str, value) -> None:
        self.send(f"setoption name {name} value {value}")

    def new_game(self) -> None:
        self.send("ucinewgame")
        self.ready()

    def position(self, fen: str, moves=()) -> None:
        self.send(f"position fen {fen}" + (" moves " + " ".join(moves) if moves else ""))

    def perft1(self, fen: str, moves=()) -> set[str]:
        """The legal moves the engine sees, as coordinates."""
        self.position(fen, moves)
        self.send("go perft 1")
        found = set()
        for line in self.read_until(lambda l: l.startswith("Nodes searched")):
            head, sep, _ = line.partition(":")
            if sep and not line.startswith("Nodes") and " " not in head:
                found.add(head)
        return found

    def checkers(self, fen: str) -> list[str]:
        """The squares of the men giving check to the side to move."""
        self.position(fen)
        self.send("d")
        for line in self.read_until(lambda l: l.startswith("Checkers:")):
            if line.startswith("Checkers:"):
                return line[len("Checkers:"):].split()
        return []

    def search(self, fen: str, depth: int, multipv: int = 1) -> dict[int, Line]:
        """The last line of each multipv number at `depth`, from a fresh hash."""
        self.new_game()
        self.set_option("MultiPV", multipv)
        self.position(fen)
        self.send(f"go depth {depth}")
        return self._lines(self.read_until(lambda l: l.startswith("bestmove")))

    def mate(self, fen: str, n: int) -> Line | None:
        """The engine's answer to "go mate n": its last line, or None without one."""
        self.new_game()
        self.set_option("MultiPV", 1)
        self.position(fen)
        self.send(f"go mate {n}")
        lines = self._lines(self.read_until(lambda l: l.startswith("bestmove")))
        return lines.get(1)

    def go(self, fen: str, moves=(), *, nodes: int | None = None, depth: int | None = None,
           multipv: int = 1, searchmoves=()) -> list[Line]:
        """Every exact line the engine prints for a search from a fresh hash, in order.

        A node limit on one thread from a cleared hash is as repeatable as a depth
        and bounds the time; `searchmoves` restricts the root moves.
        """
        if (nodes is None) == (depth is None):
            raise ValueError("give exactly one of nodes and depth")
        self.new_game()
        self.set_option("MultiPV", multipv)
        self.position(fen, moves)
        limit = f"nodes {nodes}" if nodes is not None else f"depth {depth}"
        restrict = " searchmoves " + " ".join(searchmoves) if searchmoves else ""
        self.send(f"go {limit}{restrict}")
        return self._infos(self.read_until(lambda l: l.startswith("bestmove")))

    @staticmethod
    def best_lines(infos: list[Line]) -> dict[int, Line]:
        """The last line of each multipv number: what the search ended with."""
        return {line.multipv: line for line in infos}

    @staticmethod
    def _lines(output: list[str]) -> dict[int, Line]:
        return Engine.best_lines(Engine._infos(output))

    @staticmethod
    def _infos(output: list[str]) -> list[Line]:
        found: list[Line] = []
        for text in output:
            words = text.split()
            if not words or words[0] != "info" or "score" not in words or "pv" not in words:
                continue
            if "lowerbound" in words or "upperbound" in words:
                continue
            field = {w: words[i + 1] for i, w in enumerate(words[:-1])
                     if w in ("depth", "multipv", "nodes")}
            s = words.index("score")
            found.append(Line(multipv=int(field.get("multipv", 1)), depth=int(field.get("depth", 0)),
                              kind=words[s + 1], value=int(words[s + 2]),
                              pv=tuple(words[words.index("pv") + 1:]),
                              nodes=int(field.get("nodes", 0))))
        return found

    def quit(self) -> None:
        if self.proc.poll() is None:
            try:
                self.send("quit")
            except EngineError:
                pass
            try:
                self.proc.wait(timeout=min(10.0, self.timeout))
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if self.proc.stdin:
            self.proc.stdin.close()
        if self.proc.stdout:
            self.proc.stdout.close()
