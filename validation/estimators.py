"""The observables of a run computed from its per-round attendance, the same
definitions as the C++ summary (dramolex-run --summary), so they can be
applied to any sequence of rounds, a run's or a coin-tossing population's.

A = 2 x attendance - N (attendance: agents on side 1); sigma^2/N = Var(A) / N
over the rounds; H/N = (1 / 2^M) sum over history indices mu of <A | mu>^2 / N,
where mu codes the last M winning sides (the latest worth 1) and rounds start
from an all-zero history.
"""

import numpy as np


def winning_sides(attendance, agents):
    """Side 0 wins when more than N // 2 agents are on side 1, else side 1."""
    return np.where(np.asarray(attendance) > agents // 2, 0, 1)


def winners(attendance, agents):
    attendance = np.asarray(attendance)
    return np.where(attendance > agents // 2, agents - attendance, attendance)


def history_indices(results, memory):
    """The history index in force in each round, from the winning sides before it."""
    results = np.asarray(results, dtype=np.int64)
    mu = np.zeros(results.size, dtype=np.int64)
    for k in range(memory):
        shifted = np.zeros(results.size, dtype=np.int64)
        shifted[k + 1:] = results[: results.size - k - 1]
        mu += shifted << k
    return mu


def sigma2_over_n(attendance, agents):
    a = 2 * np.asarray(attendance, dtype=np.float64) - agents
    return float(a.var() / agents)


def h_over_n(attendance, agents, memory, mu):
    a = 2 * np.asarray(attendance, dtype=np.float64) - agents
    count = np.bincount(mu, minlength=2 ** memory)
    total = np.bincount(mu, weights=a, minlength=2 ** memory)
    seen = count > 0
    conditional = total[seen] / count[seen]
    return float((conditional ** 2).sum() / 2 ** memory / agents)


def observables(attendance, agents, memory, *, skip=0):
    """sigma2_over_n, h_over_n and mean_winners over the rounds after `skip`."""
    attendance = np.asarray(attendance)
    mu = history_indices(winning_sides(attendance, agents), memory)
    kept = slice(skip, None)
    return {
        "sigma2_over_n": sigma2_over_n(attendance[kept], agents),
        "h_over_n": h_over_n(attendance[kept], agents, memory, mu[kept]),
        "mean_winners": float(winners(attendance[kept], agents).mean()),
    }


def coin_attendance(rng, agents, rounds):
    """Side-1 counts of a population whose every choice is a fair coin."""
    return rng.binomial(agents, 0.5, size=rounds)
