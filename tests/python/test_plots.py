"""The standard figures come back as matplotlib figures with their data."""

import numpy as np
import pandas as pd
import pytest
from matplotlib.figure import Figure

import dramolex
from dramolex import plots


def test_phase_diagram_has_one_line_per_population_size():
    summary = pd.DataFrame({
        "agents": [101, 101, 201, 201, 201],
        "memory": [2, 3, 2, 3, 3],
        "alpha": [4 / 101, 8 / 101, 4 / 201, 8 / 201, 8 / 201],
        "sigma2_over_n": [2.0, 0.5, 3.0, 0.8, 1.0],
        "h_over_n": [0.01, 0.02, 0.0, 0.03, 0.05],
        "status": ["done"] * 4 + ["failed"],
    })
    figure = plots.phase_diagram(summary)
    assert isinstance(figure, Figure)
    sigma, h = figure.axes
    assert sigma.get_xscale() == "log" and sigma.get_yscale() == "log" and h.get_yscale() == "log"
    lines = [line for line in sigma.get_lines() if line.get_label().startswith("agents")]
    assert [line.get_label() for line in lines] == ["agents = 101", "agents = 201"]
    # The failed run is left out of the mean.
    np.testing.assert_allclose(lines[1].get_ydata(), [3.0, 0.8])
    # H = 0 cannot be drawn on a log axis and is dropped.
    assert len([line for line in h.get_lines() if line.get_label() == "agents = 201"][0].get_xdata()) == 1


def test_attendance_series():
    r = dramolex.run(agents=101, rounds=50, seed=1)
    figure = plots.attendance(r)
    ax = figure.axes[0]
    series, half = ax.get_lines()
    np.testing.assert_array_equal(series.get_ydata(), r.rounds["attendance"])
    assert half.get_ydata()[0] == pytest.approx(50.5)


def test_age_distribution_against_the_renewal_prediction(tmp_path):
    r = dramolex.run(agents=501, lifespan=20, rounds=400, seed=1, ages=True)
    figure = plots.age_distribution(r, skip=200)
    ax = figure.axes[0]
    bars = [patch.get_height() for patch in ax.patches]
    np.testing.assert_allclose(bars, r.ages[200:].mean(axis=0))
    prediction = ax.get_lines()[0].get_ydata()
    assert prediction.sum() == pytest.approx(501)
    # The simulated steady state is close to the renewal prediction.
    assert np.abs(np.asarray(bars) - prediction).sum() < 0.15 * 501
    for suffix in ("svg", "pdf", "png"):
        figure.savefig(tmp_path / f"ages.{suffix}")
        assert (tmp_path / f"ages.{suffix}").stat().st_size > 0


def test_renewal_prediction_matches_a_direct_count():
    # Life span 10 for everybody (tiny spread around 10.5, truncated): ages 0..9 equally often.
    predicted = plots.renewal_age_distribution(10.5, 100, sd=1e-9)
    np.testing.assert_allclose(predicted[:10], 10.0)
    assert predicted[10:].sum() == pytest.approx(0.0)
    assert plots.lifespan_probabilities(50).sum() == pytest.approx(1.0)


def test_age_distribution_needs_ages():
    with pytest.raises(ValueError, match="ages"):
        plots.age_distribution(dramolex.run(agents=11, lifespan=5, rounds=5, seed=1))
