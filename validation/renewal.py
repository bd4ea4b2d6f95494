"""The life-span distribution and renewal theory for the mortality section.

A life span is v = 5 z + mean (z standard normal), truncated toward zero and
clamped to 1..100, so P(L = l) follows from the normal CDF: L = 1 for v < 2,
L = l for l <= v < l + 1 (l = 2..99), L = 100 for v >= 100.

Each agent slot is a renewal process: the initial agents are born before
round 1, an agent with life span L dies in the L-th round after its birth and
a newborn (age 0) takes its slot in that round. u(t), the probability that a
slot renews in round t, obeys u(0) = 1, u(t) = sum_l P(L = l) u(t - l); the
expected deaths of round t are N u(t) and the expected agents of age a after
round t are N u(t - a) P(L > a). As t grows u(t) -> 1 / E[L]: N / E[L] deaths
per round and N P(L > a) / E[L] agents of age a.
"""

import numpy as np
from scipy.stats import norm

SD = 5.0
MAX_LIFE = 100


def lifespan_pmf(mean, sd=SD):
    """P(L = l) for l = 0..100 (entry 0 is 0)."""
    p = np.zeros(MAX_LIFE + 1)
    p[1] = norm.cdf((2 - mean) / sd)
    l = np.arange(2, MAX_LIFE)
    p[2:MAX_LIFE] = norm.cdf((l + 1 - mean) / sd) - norm.cdf((l - mean) / sd)
    p[MAX_LIFE] = norm.sf((MAX_LIFE - mean) / sd)
    return p


def mean_lifespan(mean):
    p = lifespan_pmf(mean)
    return float(np.dot(np.arange(MAX_LIFE + 1), p))


def survival(mean):
    """P(L > a) for a = 0..100."""
    return 1.0 - np.cumsum(lifespan_pmf(mean))


def rounding_bound(mean, sd=SD):
    """Largest change of any P(L = l) that single precision can cause.

    v = float(float(5 z) + mean): each rounding moves v by at most half a unit
    in the last place of a float below 128 (2^-17), so each class boundary
    moves by at most 2^-16 in v, and a probability by at most the density's
    peak times twice that."""
    shift = 2.0 ** -16
    return 2 * shift / (sd * np.sqrt(2 * np.pi))


def renewal_density(mean, rounds, pmf=None):
    """u(t) for t = 0..rounds; pmf: P(L = l), l = 0..100, instead of the specified one."""
    p = lifespan_pmf(mean) if pmf is None else np.asarray(pmf, float)
    u = np.zeros(rounds + 1)
    u[0] = 1.0
    for t in range(1, rounds + 1):
        l = np.arange(1, min(t, MAX_LIFE) + 1)
        u[t] = np.dot(p[l], u[t - l])
    return u


def expected_window(mean, agents, first_round, last_round, pmf=None):
    """Expected mean deaths per round and mean age counts (ages 0..100) over rounds
    first_round..last_round (1-based, inclusive), from the all-newborn start.
    pmf: P(L = l), l = 0..100, instead of the specified distribution."""
    u = renewal_density(mean, last_round, pmf)
    rounds = np.arange(first_round, last_round + 1)
    deaths = agents * float(u[rounds].mean())
    surv = survival(mean) if pmf is None else 1.0 - np.cumsum(np.asarray(pmf, float))
    ages = np.zeros(MAX_LIFE + 1)
    for a in range(MAX_LIFE + 1):
        born = rounds - a
        born = born[born >= 0]
        ages[a] = agents * surv[a] * u[born].sum() / rounds.size
    return deaths, ages


def stationary(mean, agents):
    """N / E[L] deaths per round and N P(L > a) / E[L] agents of age a."""
    e = mean_lifespan(mean)
    return agents / e, agents * survival(mean) / e
