"""dramolex.run and Game play exactly what dramolex-run plays."""

import json

import numpy as np
import pandas as pd
import pytest

import dramolex
from dramolex import _core
from dramolex._settings import settings_from

from conftest import run_program

CASES = {
    "plain": dict(agents=101, rounds=300, seed=1),
    "readme example": dict(agents=1001, groupers=30, groups=4, lifespan=50, rounds=400, seed=42, memory=3,
                          strategies=10, rule="record", replacement=True, lifespans="fixed", burn_in=0),
    "fixed life spans again": dict(agents=301, lifespan=20, rounds=300, seed=5),
    "standard game": dict(agents=201, memory=5, strategies=2, rule="best", replacement=False, rounds=500,
                          burn_in=100, seed=9),
    "seeded life spans": dict(agents=151, groupers=50, groups=3, lifespan=10, lifespans="seeded", rounds=300,
                              seed=11),
}


def seeded_life_spans_are_the_runs_own():
    """Whether the model gives "seeded" runs a normal generator of their own, as the runner documents."""
    settings = dict(agents=21, lifespan=5, lifespans="seeded", rounds=50, seed=3)
    first, second = dramolex.run(**settings), dramolex.run(**settings)
    return first.rounds.equals(second.rounds)


def runner_arguments(settings):
    options = {info["key"]: info["option"] for info in _core.setting_infos()}
    arguments = []
    for key, value in settings_from(settings).items():
        arguments += [options[key], str(value)]
    return arguments


@pytest.fixture(scope="module", params=list(CASES))
def case(request, bin_dir, tmp_path_factory):
    """A case's settings with dramolex-run's CSV and summary for them."""
    settings = CASES[request.param]
    if settings.get("lifespans") == "seeded" and not seeded_life_spans_are_the_runs_own():
        pytest.skip("this build's model still draws seeded life spans from the process-wide generator")
    out = tmp_path_factory.mktemp("runner")
    run_program(bin_dir / "dramolex-run", *runner_arguments(settings), "--quiet", "--csv", out / "run.csv",
                "--summary", out / "summary.json")
    csv = pd.read_csv(out / "run.csv", float_precision="round_trip")
    summary = json.loads((out / "summary.json").read_text())
    return settings, csv, summary


def same_run(summary):
    """The summary without the build's commit, which a program built at another commit than the module
    (a partial rebuild) reports differently."""
    return {key: value for key, value in summary.items() if key != "git_commit"}


def assert_same_rounds(ours, runner):
    assert list(ours.columns) == list(runner.columns)
    for column in runner.columns:
        # Exact: the CSV's doubles are written in their shortest round-trip form.
        np.testing.assert_array_equal(ours[column].to_numpy(), runner[column].to_numpy(), err_msg=column)


def test_run_equals_runner(case):
    settings, csv, summary = case
    r = dramolex.run(**settings)
    assert_same_rounds(r.rounds, csv)
    assert same_run(r.summary) == same_run(summary)


def test_game_steps_equal_runner(case):
    settings, csv, summary = case
    g = dramolex.Game(**settings)
    rounds = settings["rounds"]
    for chunk in (1, 7, 92, rounds):
        g.step(min(chunk, rounds - g.round))
    assert g.round == rounds
    assert_same_rounds(g.rounds, csv)
    assert same_run(g.summary) == same_run(summary)
    assert g.last_report["attendance"] == csv["attendance"].iloc[-1]


def test_runs_in_threads_equal_runner(case):
    from concurrent.futures import ThreadPoolExecutor

    settings, csv, summary = case
    with ThreadPoolExecutor(3) as pool:
        results = list(pool.map(lambda _: dramolex.run(**settings), range(3)))
    for r in results:
        assert_same_rounds(r.rounds, csv)
        assert same_run(r.summary) == same_run(summary)
