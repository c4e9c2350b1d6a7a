"""Engine work over many items on several processes, each with its own engine.

Each engine runs on one thread with the rules' hash, so what a worker computes
is what one process alone would: the split changes the wall time only.
Worker k takes the items k, k + n, k + 2n, ...; results come back as they
finish, with their index, so a caller can store each at once and resume.
"""
from __future__ import annotations

import multiprocessing
import os
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pool  # noqa: E402  (puts tools/content on the path)
import engine  # noqa: E402
import rules  # noqa: E402


class WorkerError(RuntimeError):
    pass


def _worker(work, items, first: int, step: int, results) -> None:
    try:
        with engine.Engine(hash_mb=rules.HASH_MB) as eng:
            for i in range(first, len(items), step):
                results.put((i, work(eng, items[i]), None))
    except Exception as e:  # noqa: BLE001  (handed to the parent, which raises it)
        results.put((None, None, f"{type(e).__name__}: {e}\n{traceback.format_exc()}"))
    results.put((None, None, None))


def run(work, items: list, workers: int = 1):
    """Yields (index, work(engine, items[index])) for every item, in the order they end."""
    if workers <= 1 or len(items) <= 1:
        with engine.Engine(hash_mb=rules.HASH_MB) as eng:
            for i, item in enumerate(items):
                yield i, work(eng, item)
        return
    context = multiprocessing.get_context("fork")
    results = context.Queue()
    processes = [context.Process(target=_worker, args=(work, items, k, workers, results),
                                 daemon=True) for k in range(workers)]
    for p in processes:
        p.start()
    try:
        running = workers
        while running:
            index, value, failure = results.get()
            if failure:
                raise WorkerError(failure)
            if index is None:
                running -= 1
            else:
                yield index, value
    finally:
        for p in processes:
            if p.is_alive():
                p.terminate()
            p.join()
