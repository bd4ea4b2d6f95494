"""The shapes, columns and types the package hands back."""

import numpy as np
import pandas as pd
import pytest

import dramolex
from dramolex import _core

CSV_COLUMNS = ["round", "capital_gap", "winners", "avg_strategy_score", "best_strategy_score", "deaths",
               "attendance", "result"]


def test_run_returns_the_csv_columns_one_row_per_round():
    r = dramolex.run(agents=101, rounds=120, seed=3)
    assert isinstance(r.rounds, pd.DataFrame)
    assert list(r.rounds.columns) == list(_core.round_columns) == CSV_COLUMNS
    assert len(r.rounds) == 120
    assert r.rounds["round"].tolist() == list(range(120))
    assert r.rounds["attendance"].between(0, 101).all()
    assert r.rounds["result"].isin([0, 1]).all()


def test_summary_has_the_runner_summary_keys():
    r = dramolex.run(agents=101, rounds=100, seed=1)
    assert list(r.summary) == ["program", "version", "git_commit", "parameters", "seed", "rounds", "burn_in",
                               "rounds_played", "rounds_measured", "observables"]
    assert r.summary["seed"] == 1 and r.summary["rounds"] == 100
    assert r.summary["parameters"]["agents"] == 101
    assert r.summary["observables"]["alpha"] == pytest.approx(8 / 101)


def test_ages_only_when_asked_for():
    assert dramolex.run(agents=51, rounds=30, seed=1, lifespan=10).ages is None
    r = dramolex.run(agents=51, rounds=30, seed=1, lifespan=10, ages=True)
    assert r.ages.shape == (30, 101)
    # Every round counts every agent once.
    assert (r.ages.sum(axis=1) == 51).all()


def memory_owner(array):
    """The object at the end of an array's chain of bases."""
    while isinstance(array, np.ndarray) and array.base is not None:
        array = array.base
    return array


def test_arrays_are_handed_over_not_copied():
    r = dramolex.run(agents=51, rounds=10, seed=1, ages=True)
    # The memory is the C++ buffers the values were filled in, owned through a capsule.
    assert type(memory_owner(r.ages)).__name__ == "PyCapsule"
    for column in r.rounds.columns:
        assert type(memory_owner(r.rounds[column].to_numpy())).__name__ == "PyCapsule", column


def test_seed_is_drawn_when_not_given_and_reported():
    r = dramolex.run(agents=21, rounds=5)
    seed = r.settings["seed"]
    assert 0 <= seed < 2**32
    assert r.summary["seed"] == seed
    again = dramolex.run(agents=21, rounds=5, seed=seed)
    pd.testing.assert_frame_equal(r.rounds, again.rounds)


def test_game_steps_and_reports():
    g = dramolex.Game(agents=101, seed=1)
    assert g.round == 0 and g.last_report is None
    g.step(100)
    assert g.round == 100
    report = g.last_report
    assert set(CSV_COLUMNS) <= set(report) and report["round"] == 99
    assert report["age_dist"].shape == (101,)
    last = g.rounds.iloc[-1]
    for column in CSV_COLUMNS:
        assert report[column] == last[column], column
    assert g.step().round == 101


def test_game_rounds_are_a_snapshot():
    g = dramolex.Game(agents=51, seed=2).step(10)
    before = g.rounds
    g.step(10)
    assert len(before) == 10 and len(g.rounds) == 20


def test_setting_keys_are_the_runners():
    assert dramolex.SETTING_KEYS == ("agents", "groupers", "groups", "lifespan", "rounds", "seed", "burn_in",
                                     "memory", "strategies", "rule", "replacement", "lifespans")


def test_plain_python_and_numpy_numbers_are_accepted():
    a = dramolex.run(agents=np.int64(31), rounds=np.int32(20), seed=7)
    b = dramolex.run(agents=31, rounds=20, seed=7)
    pd.testing.assert_frame_equal(a.rounds, b.rounds)
