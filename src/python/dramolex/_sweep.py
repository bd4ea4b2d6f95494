"""dramolex.sweep: dramolex-sweep's runs from Python, on any executor.

The config is read, checked and expanded by the same C++ code as
dramolex-sweep's, so the runs, their numbers and their seeds are the same and
each run's row is the row summary.csv would hold. Tasks carry the config's
text and a range of run numbers; a worker rebuilds the plan (cached) and plays
the range in C++ without the GIL.
"""

import functools
import io
import os
import re

import pandas as pd

from . import _core
from ._batches import batches, run_work, seconds_per_unit
from ._executors import check_executor, executor_or_local
from ._toml import toml_text


def _config_text(config):
    """(TOML text, name used in messages) for a path or a dict."""
    if isinstance(config, (str, os.PathLike)):
        path = os.fspath(config)
        try:
            with open(path, encoding="utf-8") as file:
                return file.read(), path
        except OSError as error:
            raise ValueError(f"config '{path}': cannot read it ({error.strerror})") from None
    return toml_text(config), _DICT_NAME


# A dict's problems are reported against "config", without the line numbers
# of the TOML text written for it.
_DICT_NAME = "config"
_DICT_LINE = re.compile(r"^config:\d+: ", re.MULTILINE)


@functools.lru_cache(maxsize=4)
def _plan(text, name):
    return _core.SweepPlan(text, name)


def _checked_plan(config, text, name):
    try:
        return _plan(text, name)
    except ValueError as error:
        if isinstance(config, (str, os.PathLike)):
            raise
        raise ValueError(_DICT_LINE.sub("config: ", str(error))) from None


def _play_range(text, name, start, stop):
    """A task: the summary rows of runs start..stop-1 (and their failures), played where it runs."""
    return _plan(text, name).play(start, stop)


def _run_works(plan):
    per_point = [run_work(plan.point_settings(point), plan.rounds) for point in range(plan.points)]
    return [work for work in per_point for _ in range(plan.replications)]


def sweep(config, *, executor=None, batch_seconds=1.0):
    """Plays every run of a sweep and returns its summary as a DataFrame.

    config: the path of a dramolex-sweep TOML file, or a dict with the same
    keys ({"rounds": ..., "seed": ..., "parameters": {"agents": [...], ...}}).
    executor: None (every local core), or any concurrent.futures.Executor:
    ThreadPoolExecutor, ProcessPoolExecutor, a Dask Client's get_executor(),
    mpi4py's MPIPoolExecutor. batch_seconds: runs are grouped into tasks of at
    least about this long.

    The columns are summary.csv's (run, replication, seed, the parameters, the
    observables, seconds, status), one row per run in run order. A run that
    fails has status "failed" and empty observables; the others go on.
    df.attrs["failures"] maps each failed run to its message.
    """
    check_executor(executor)
    text, name = _config_text(config)
    plan = _checked_plan(config, text, name)
    ranges = batches(_run_works(plan), seconds_per_unit(), batch_seconds)
    rows = []
    failures = {}
    with executor_or_local(executor) as pool:
        futures = [pool.submit(_play_range, text, name, start, stop) for start, stop in ranges]
        for future, (start, stop) in zip(futures, ranges):
            try:
                text_rows, failed = future.result()
            except Exception as error:  # the task itself was lost: its runs fail, the others stand
                message = f"{type(error).__name__}: {error}"
                text_rows = plan.failed_rows(start, stop)
                failed = [(run, message) for run in range(start, stop)]
            rows.append(text_rows)
            failures.update(failed)
    table = pd.read_csv(io.StringIO(plan.header + "\n" + "".join(rows)), float_precision="round_trip")
    table.attrs["failures"] = failures
    return table
