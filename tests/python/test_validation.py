"""The validation report's own analysis: life-span distribution and renewal
expectations, the estimators, the periodic-stretch measure, check verdicts
and the configs' quick overrides."""

import pathlib
import sys

import numpy as np
import pytest
from scipy.stats import norm

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "validation"))

import configs  # noqa: E402
import estimators as est  # noqa: E402
import renewal  # noqa: E402
from sec_own import periodic_stretches  # noqa: E402
from stats import Check, Estimate, t_test  # noqa: E402


@pytest.mark.parametrize("mean, life, probability", [
    (1, 1, norm.cdf(0.2)),                      # every v below 2 gives 1
    (50, 50, norm.cdf(0.2) - norm.cdf(0.0)),    # 50 <= v < 51
    (50, 49, norm.cdf(0.0) - norm.cdf(-0.2)),
    (100, 100, 0.5),                            # v >= 100 is clamped to 100
    (100, 99, 0.5 - norm.cdf(-0.2)),
])
def test_lifespan_probabilities(mean, life, probability):
    p = renewal.lifespan_pmf(mean)
    assert p.sum() == pytest.approx(1.0, abs=1e-12)
    assert p[0] == 0
    assert p[life] == pytest.approx(probability, rel=1e-12)


def test_renewal_expectations():
    agents = 1000
    p = renewal.lifespan_pmf(20)
    deaths, ages = renewal.expected_window(20, agents, 1, 1)
    # Round 1: only agents with life span 1 die; all others are then aged 1.
    assert deaths == pytest.approx(agents * p[1])
    assert ages.sum() == pytest.approx(agents)
    assert ages[1] == pytest.approx(agents * (1 - p[1]))
    late_deaths, late_ages = renewal.expected_window(20, agents, 3001, 4000)
    stationary_deaths, stationary_ages = renewal.stationary(20, agents)
    assert late_deaths == pytest.approx(stationary_deaths, rel=1e-9)
    assert late_ages == pytest.approx(stationary_ages, rel=1e-9, abs=1e-9)
    assert stationary_deaths == pytest.approx(agents / np.dot(np.arange(101), p))


def test_winner_rule_and_history_indices():
    assert list(est.winners([2, 3, 1], 4)) == [2, 1, 1]
    assert list(est.winners([3, 2], 5)) == [2, 2]
    assert list(est.winning_sides([2, 3], 4)) == [1, 0]
    # Results 1, 0, 1 (oldest first) give the next round index 5; 1, 1, 0 give 6.
    assert est.history_indices([1, 0, 1, 0], 3)[-1] == 5
    assert est.history_indices([1, 1, 0, 0], 3)[-1] == 6
    assert est.history_indices([1, 1, 1, 1], 3)[0] == 0


def test_estimators_on_a_known_sequence():
    agents = 5
    attendance = np.array([1, 4, 1, 4])   # A = -3, 3, -3, 3
    assert est.sigma2_over_n(attendance, agents) == pytest.approx(9 / 5)
    mu = np.array([0, 0, 1, 1])
    # <A|0> = 0, <A|1> = 0: no information.
    assert est.h_over_n(attendance, agents, 1, mu) == 0
    assert est.h_over_n(attendance, agents, 1, np.array([0, 1, 0, 1])) == pytest.approx((9 + 9) / 2 / 5)


def test_periodic_stretches():
    cycle = np.tile([0, 1, 1], 100)
    covered, period = periodic_stretches(cycle, 16, 4)
    assert covered == 1.0 and period == 3
    broken = np.concatenate([np.tile([0, 1, 1], 10), np.tile([0, 0, 0, 1], 10)])
    covered, _ = periodic_stretches(broken, 16, 4)
    assert covered == 1.0
    rng = np.random.default_rng(1)
    covered, _ = periodic_stretches(rng.integers(0, 2, 4000), 16, 4)
    assert covered < 0.5


def test_check_verdicts():
    agreement = Check("a", "", "", "", p_value=0.01, level=0.001)
    claim = Check("b", "", "", "", p_value=0.01, level=0.001, directional=True)
    assert agreement.passed and not claim.passed
    t, p = t_test(Estimate(1.0, 0.1, 5), 1.5)
    assert t == pytest.approx(-5.0)
    assert 0 < p < 0.01


def test_quick_overrides_keep_the_rest():
    full, full_analysis = configs.load("phase", False)
    quick, quick_analysis = configs.load("phase", True)
    assert quick["rounds"] < full["rounds"]
    assert quick["parameters"]["strategies"] == full["parameters"]["strategies"] == 2
    assert quick_analysis["alpha_c"] == full_analysis["alpha_c"]
    runs = configs.expand({"rounds": 10, "seed": 3, "replications": 2,
                           "parameters": {"agents": [5, 7], "replacement": "off"}})
    assert [r["agents"] for r in runs] == [5, 5, 7, 7]
    assert len({r["seed"] for r in runs}) == 4
    assert runs[0]["replacement"] is False


def test_lifespan_period_tool(bin_dir):
    import json
    import subprocess

    tool = bin_dir / "lifespan_period"
    if not tool.exists():
        pytest.fail(f"no lifespan_period in {bin_dir}: build the release preset")
    found = json.loads(subprocess.run([str(tool), "1", "50", "100"], check=True, capture_output=True,
                                      text=True).stdout)
    # A fresh process's first life spans, as every mortal agent draws them.
    assert found["first"]["50"] == [59, 47, 47, 47, 50, 51, 57, 51, 56, 50]
    assert found["first"]["100"] == [100, 97, 97, 97, 100, 100, 100, 100, 100, 100]
    assert found["first"]["1"] == [10, 1, 1, 1, 1, 2, 8, 2, 7, 1]
    assert found["period"] > 0 and all(found["repeats"].values())
    assert found["cycle_mean"]["50"] == pytest.approx(renewal.mean_lifespan(50), rel=1e-2)
    bad = subprocess.run([str(tool), "101"], capture_output=True, text=True)
    assert bad.returncode == 2 and "101" in bad.stderr
    bad = subprocess.run([str(tool), "--draws", "0"], capture_output=True, text=True)
    assert bad.returncode == 2 and "--draws '0'" in bad.stderr


def test_seeded_generators_stay_off_the_fixed_cycle(bin_dir):
    import json
    import subprocess

    draws = 200_000
    found = json.loads(subprocess.run([str(bin_dir / "lifespan_period"), "--seeds", "3", "--draws", str(draws), "50"],
                                      check=True, capture_output=True, text=True).stdout)
    seeded, folding = found["seeded"], found["folding"]
    # The detector: the process-wide generator steps along its own cycle from its run-in on.
    assert seeded["fixed_longest_follow"] == draws - found["run_in"]
    # Folding the life-span seed in per agent would take these starting states onto the fixed cycle...
    assert [c["smallest_state"] for c in folding["cycles"]] == [found["smallest_state"]]
    assert folding["cycles"][0]["seeds"] == 3
    assert folding["cycles"][0]["shortest_run_in"] < draws - 1000, "folding would follow it within these draws"
    # ...but a run's own generator folds nothing in and never follows that cycle.
    assert seeded["seeds_following"] == 0 and seeded["longest_follow"] <= 1
    assert seeded["on_cycle"] < 10 * seeded["chance_on_cycle"]
