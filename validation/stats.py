"""Statistics shared by the report's sections: replicate means, their standard
errors, and the tests that decide a verdict.

Every check is a two-sided test at the confidence of its section: the section's
checks together hold at CONFIDENCE (Bonferroni), so each of its k checks is made
at level (1 - CONFIDENCE) / k. Standard errors come from independent replicates
(different seeds); with R replicates a mean's deviation is judged against
Student's t with R - 1 degrees of freedom.
"""

from dataclasses import dataclass

import numpy as np
from scipy import stats as sps

CONFIDENCE = 0.999


@dataclass
class Estimate:
    mean: float
    se: float
    n: int  # replicates behind it

    @classmethod
    def of(cls, values):
        v = np.asarray(values, dtype=float)
        v = v[np.isfinite(v)]
        if v.size == 0:
            return cls(float("nan"), float("nan"), 0)
        se = float(v.std(ddof=1) / np.sqrt(v.size)) if v.size > 1 else float("nan")
        return cls(float(v.mean()), se, int(v.size))


@dataclass
class Check:
    """One test: what is compared and its p-value, at the level (1 -
    CONFIDENCE) / (checks in the section). An agreement (a value against its
    prediction) passes when p >= level: the data do not reject the prediction.
    A directional claim ("larger than") passes when p < level: the data reject
    its opposite. An exact check has p 1 (holds) or 0 (does not)."""

    name: str
    measured: str
    predicted: str
    statistic: str
    p_value: float
    directional: bool = False
    level: float = float("nan")

    @property
    def passed(self):
        if self.directional:
            return bool(self.p_value < self.level)
        return bool(self.p_value >= self.level)


def t_test(estimate, predicted, *, extra_sd=0.0):
    """(t, two-sided p) of a replicate mean against a prediction. extra_sd: an
    independent uncertainty of the comparison, added in quadrature (the
    normal distribution is then used)."""
    se = float(np.hypot(estimate.se, extra_sd))
    if not np.isfinite(se) or se == 0:
        return (0.0, 1.0) if estimate.mean == predicted else (float("inf"), 0.0)
    t = (estimate.mean - predicted) / se
    if extra_sd == 0 and estimate.n > 1:
        return float(t), float(2 * sps.t.sf(abs(t), estimate.n - 1))
    return float(t), float(2 * sps.norm.sf(abs(t)))


def greater_test(difference, se, dof=None):
    """(z, one-sided p) for difference > 0."""
    if se == 0:
        return (float("inf"), 0.0) if difference > 0 else (float("-inf"), 1.0)
    z = difference / se
    return float(z), float(sps.t.sf(z, dof) if dof else sps.norm.sf(z))


def upper_test(difference, se, dof=None):
    """(t, one-sided p) for "difference is not above 0": small p when it is."""
    if se == 0:
        return (float("inf"), 0.0) if difference > 0 else (float("-inf"), 1.0)
    t = difference / se
    return float(t), float(sps.t.sf(t, dof) if dof else sps.norm.sf(t))


def exact(holds):
    return 1.0 if holds else 0.0


def weighted_line(x, y, se):
    """Weighted least squares y = a + b x; returns (a, b, se_a, se_b)."""
    x = np.asarray(x, float)
    y = np.asarray(y, float)
    w = 1.0 / np.asarray(se, float) ** 2
    design = np.vstack([np.ones_like(x), x]).T
    normal = design.T @ (design * w[:, None])
    cov = np.linalg.inv(normal)
    a, b = cov @ (design.T @ (w * y))
    return float(a), float(b), float(np.sqrt(cov[0, 0])), float(np.sqrt(cov[1, 1]))


def fmt(value, digits=4):
    """A number with `digits` significant digits, plain notation where it reads well."""
    if value is None or not np.isfinite(value):
        return "n/a"
    if value == 0:
        return "0"
    magnitude = abs(value)
    if 1e-3 <= magnitude < 1e6:
        decimals = max(0, digits - 1 - int(np.floor(np.log10(magnitude))))
        return f"{value:.{decimals}f}"
    return f"{value:.{digits - 1}e}"


def pm(estimate, digits=4):
    """mean +- standard error, the error with two significant digits and the mean to match."""
    if not np.isfinite(estimate.se) or estimate.se == 0:
        return fmt(estimate.mean, digits)
    decimals = max(0, 1 - int(np.floor(np.log10(estimate.se))))
    return f"{estimate.mean:.{decimals}f} ± {estimate.se:.{decimals}f}"
