"""dramolex.sweep plays dramolex-sweep's runs and returns its summary rows."""

import concurrent.futures

import pandas as pd
import pytest

import dramolex

from conftest import run_program

TOML = """\
# A small grid: two sizes, two memories, herding on and off, replicated.
rounds = 300
burn_in = 100
replications = 2
seed = 7

[parameters]
agents = [41, 81]
memory = [3, 4]
groupers = [0, 30]
groups = 3
"""

CONFIG = {
    "rounds": 300,
    "burn_in": 100,
    "replications": 2,
    "seed": 7,
    "parameters": {"agents": [41, 81], "memory": [3, 4], "groupers": [0, 30], "groups": 3},
}


@pytest.fixture(scope="module")
def config_file(tmp_path_factory):
    path = tmp_path_factory.mktemp("sweep") / "grid.toml"
    path.write_text(TOML)
    return path


@pytest.fixture(scope="module")
def runner_summary(bin_dir, config_file):
    out = config_file.parent / "out"
    run_program(bin_dir / "dramolex-sweep", "run", config_file, "--out", out, "--jobs", 2, "--quiet")
    return pd.read_csv(out / "summary.csv", float_precision="round_trip")


@pytest.fixture(scope="module")
def local_summary(config_file):
    return dramolex.sweep(config_file)


def without_seconds(table):
    return table.drop(columns="seconds").reset_index(drop=True)


def test_sweep_equals_dramolex_sweep_row_for_row(local_summary, runner_summary):
    assert list(local_summary.columns) == list(runner_summary.columns)
    assert len(local_summary) == 16
    pd.testing.assert_frame_equal(without_seconds(local_summary), without_seconds(runner_summary),
                                  check_exact=True)
    assert (local_summary["status"] == "done").all()


def test_dict_config_sweeps_the_same_runs(local_summary):
    pd.testing.assert_frame_equal(without_seconds(dramolex.sweep(CONFIG)), without_seconds(local_summary),
                                  check_exact=True)


@pytest.mark.parametrize("make_pool", [
    lambda: concurrent.futures.ThreadPoolExecutor(2),
    lambda: concurrent.futures.ProcessPoolExecutor(2),
], ids=["threads", "processes"])
def test_any_executor_gives_the_same_rows(make_pool, local_summary, config_file):
    with make_pool() as pool:
        # Tiny batches: many tasks, so the order they finish in varies.
        table = dramolex.sweep(config_file, executor=pool, batch_seconds=0.0)
    pd.testing.assert_frame_equal(without_seconds(table), without_seconds(local_summary), check_exact=True)


def test_batches_last_about_the_target():
    from dramolex._batches import batches

    assert batches([10, 10, 10, 10, 10], seconds_per_unit=0.1, target_seconds=2.0) == [(0, 2), (2, 4), (4, 5)]
    assert batches([100], seconds_per_unit=0.1, target_seconds=2.0) == [(0, 1)]
    assert batches([1, 1, 1], seconds_per_unit=0.1, target_seconds=0.0) == [(0, 1), (1, 2), (2, 3)]


class LosingExecutor(concurrent.futures.ThreadPoolExecutor):
    """Loses every task that would play run 3, as a crashed worker would."""

    def submit(self, fn, *args, **kwargs):
        start, stop = args[-2], args[-1]
        if start <= 3 < stop:
            future = concurrent.futures.Future()
            future.set_exception(RuntimeError("worker lost"))
            return future
        return super().submit(fn, *args, **kwargs)


def test_a_lost_task_fails_its_runs_only(local_summary, config_file):
    with LosingExecutor(2) as pool:
        table = dramolex.sweep(config_file, executor=pool, batch_seconds=0.0)
    assert table.loc[3, "status"] == "failed"
    assert table.loc[3, ["run", "seed", "agents"]].tolist() == local_summary.loc[3, ["run", "seed", "agents"]].tolist()
    assert table.loc[3, ["sigma2_over_n"]].isna().all()
    assert "worker lost" in table.attrs["failures"][3]
    others = table.drop(index=3)
    assert (others["status"] == "done").all()
    # The failed row's empty cells make pandas read those columns as floats.
    pd.testing.assert_frame_equal(without_seconds(others), without_seconds(local_summary.drop(index=3)),
                                  check_exact=True, check_dtype=False)


class CountingExecutor(concurrent.futures.ThreadPoolExecutor):
    def __init__(self):
        super().__init__(2)
        self.ranges = []

    def submit(self, fn, *args, **kwargs):
        self.ranges.append(args[-2:])
        return super().submit(fn, *args, **kwargs)


def test_short_runs_go_to_workers_in_batches(config_file, local_summary):
    # 16 runs of about a millisecond: one task of a second would hold them all.
    with CountingExecutor() as pool:
        table = dramolex.sweep(config_file, executor=pool)
    assert pool.ranges == [(0, 16)]
    with CountingExecutor() as pool:
        dramolex.sweep(config_file, executor=pool, batch_seconds=0.0)
    assert pool.ranges == [(run, run + 1) for run in range(16)]
    pd.testing.assert_frame_equal(without_seconds(table), without_seconds(local_summary), check_exact=True)
