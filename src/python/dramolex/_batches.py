"""Groups a sweep's runs into tasks that last about a second each.

A task that lasts a few milliseconds drowns in the scheduler's overhead
(pickling, a round trip to a worker, bookkeeping), so consecutive runs are
put together until their estimated time reaches the target. The estimate is
a run's work (agents x rounds x strategies, more with herding) times the
seconds one unit of work takes here, measured once per process.
"""

import functools
import time

from . import _core

# Herding's group steps roughly double and a half a round's cost.
_HERDING_FACTOR = 2.5
_CALIBRATION = {"agents": 2001, "rounds": 500, "strategies": 10, "seed": 1}


def _whole(settings, key, default):
    value = settings.get(key, default)
    return value if isinstance(value, int) else default


def run_work(settings, rounds):
    """Work units of one run from its settings (the sweep's keys) and rounds."""
    agents = _whole(settings, "agents", 1)
    strategies = _whole(settings, "strategies", 10)
    herding = _whole(settings, "groupers", 0) > 0 and _whole(settings, "groups", 1) > 1
    return agents * max(rounds, 1) * max(strategies, 1) * (_HERDING_FACTOR if herding else 1.0)


@functools.lru_cache(maxsize=1)
def seconds_per_unit():
    """Seconds one unit of work takes on this machine (a short run, timed once)."""
    start = time.perf_counter()
    _core.run(dict(_CALIBRATION), False)
    elapsed = time.perf_counter() - start
    return elapsed / run_work(_CALIBRATION, _CALIBRATION["rounds"])


def batches(works, seconds_per_unit, target_seconds):
    """Consecutive ranges (start, stop) of run numbers, each estimated to last at least target_seconds
    (the last one may be shorter)."""
    ranges = []
    start = 0
    estimate = 0.0
    for run, work in enumerate(works):
        estimate += work * seconds_per_unit
        if estimate >= target_seconds:
            ranges.append((start, run + 1))
            start = run + 1
            estimate = 0.0
    if start < len(works):
        ranges.append((start, len(works)))
    return ranges
