"""Analysis of phase-diagram sweeps: cells of replicates, the minimum of
sigma^2/N and its location, the crowded-phase slope."""

import numpy as np

from stats import Estimate, weighted_line


def cells(table, by=("agents", "memory")):
    """One row per grid point: alpha, the replicate values and their estimates."""
    out = []
    for key, group in table.groupby(list(by)):
        s2 = group["sigma2_over_n"].to_numpy(float)
        h = group["h_over_n"].to_numpy(float)
        out.append(dict(zip(by, key), alpha=float(group["alpha"].iloc[0]), s2_values=s2, h_values=h,
                        s2=Estimate.of(s2), h=Estimate.of(h)))
    out.sort(key=lambda c: c["alpha"])
    return out


def _fit_minimum(alpha, s2, window):
    if window.sum() < 4:  # a parabola through three points has no freedom left
        return float("nan")
    x = np.log(alpha[window])
    y = np.log(s2[window])
    c2, c1, _ = np.polyfit(x, y, 2)
    if c2 <= 0:
        return float("nan")
    return float(np.exp(-c1 / (2 * c2)))


def minimum(cell_list, fit_factors, bootstrap, rng):
    """Location of the minimum of sigma^2/N over the collapsed cells.

    A parabola in log sigma^2/N against log alpha is fitted through the cells
    within a factor f of the lowest cell, for each f in fit_factors (the
    middle one gives the value). Its standard error combines the statistical
    part, from resampling every cell's replicates (bootstrap), with the
    spread of the location over the fit windows (the parabola is only an
    approximation near a minimum that need not be symmetric).
    Returns (Estimate, statistical se, window spread, cells in the middle window)."""
    alpha = np.array([c["alpha"] for c in cell_list])
    s2 = np.array([c["s2"].mean for c in cell_list])
    lowest = alpha[np.argmin(s2)]
    windows = [(alpha >= lowest / f) & (alpha <= lowest * f) for f in fit_factors]
    middle = windows[len(windows) // 2]
    locations = np.array([_fit_minimum(alpha, s2, w) for w in windows])
    location = locations[len(windows) // 2]
    draws = []
    for _ in range(bootstrap):
        resampled = np.array([rng.choice(c["s2_values"], size=c["s2_values"].size).mean() for c in cell_list])
        draws.append(_fit_minimum(alpha, resampled, middle))
    draws = np.array(draws)
    draws = draws[np.isfinite(draws)]
    statistical = float(draws.std(ddof=1)) if draws.size > 1 else float("nan")
    spread = float(np.nanstd(locations, ddof=1)) if np.isfinite(locations).sum() > 1 else 0.0
    se = float(np.hypot(statistical, spread))
    return Estimate(location, se, 0), statistical, spread, int(middle.sum())


def slope(cell_list, selected, field="s2"):
    """Weighted slope of log(field) against log(alpha) over the selected cells, with its standard error."""
    chosen = [c for c in cell_list if selected(c["alpha"])]
    x = np.log([c["alpha"] for c in chosen])
    y = np.log([c[field].mean for c in chosen])
    se = np.array([c[field].se / c[field].mean for c in chosen])
    _, b, _, se_b = weighted_line(x, y, se)
    return b, se_b, len(chosen)
