"""The standard figures, drawn with matplotlib.

Each function returns a matplotlib Figure built without pyplot (no global
state, any backend); save it with fig.savefig("name.svg"), ".pdf" or ".png".
"""

import math

import numpy as np
from matplotlib.figure import Figure

# Life spans are normal around the average with this standard deviation,
# truncated to whole rounds and clamped to 1..100.
LIFESPAN_SD = 5.0
MAX_AGE = 100


def _done(summary):
    if "status" in summary.columns:
        summary = summary[summary["status"] == "done"]
    return summary


def phase_diagram(summary, *, by="agents", observables=("sigma2_over_n", "h_over_n")):
    """sigma^2/N and H/N against alpha = 2^memory / N on log-log axes, one line per N.

    summary: a sweep's DataFrame (dramolex.sweep or summary.csv) with the
    columns alpha, the observables and `by`. Replications are averaged; failed
    runs are left out.
    """
    table = _done(summary)
    figure = Figure(figsize=(10, 4.2), layout="constrained")
    axes = figure.subplots(1, len(observables))
    labels = {"sigma2_over_n": r"$\sigma^2/N$", "h_over_n": r"$H/N$"}
    for ax, observable in zip(np.atleast_1d(axes), observables):
        for value, group in table.groupby(by):
            means = group.groupby("alpha")[observable].mean().dropna()
            means = means[(means.index > 0) & (means > 0)]
            ax.plot(means.index, means.values, marker="o", markersize=4, label=f"{by} = {value}")
        if observable == "sigma2_over_n":
            ax.axhline(1.0, color="grey", linestyle="--", linewidth=1, label="random choices")
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_xlabel(r"$\alpha = 2^M / N$")
        ax.set_ylabel(labels.get(observable, observable))
        ax.grid(True, which="both", linewidth=0.3)
        ax.legend(fontsize="small")
    return figure


def _rounds_and_agents(result):
    rounds = getattr(result, "rounds", result)
    settings = getattr(result, "settings", {})
    return rounds, settings.get("agents")


def attendance(result, *, agents=None, last=None):
    """The attendance (agents on side 1) in every round, with the half-population line.

    result: a RunResult or Game (or the per-round DataFrame with agents=...).
    last: only the last that many rounds.
    """
    rounds, known_agents = _rounds_and_agents(result)
    agents = agents if agents is not None else known_agents
    if last is not None:
        rounds = rounds.tail(last)
    figure = Figure(figsize=(10, 3.5), layout="constrained")
    ax = figure.subplots()
    ax.plot(rounds["round"], rounds["attendance"], linewidth=0.6, label="attendance")
    if agents is not None:
        ax.axhline(agents / 2, color="grey", linestyle="--", linewidth=1, label="N/2")
    ax.set_xlabel("round")
    ax.set_ylabel("agents on side 1")
    ax.legend(fontsize="small", loc="upper right")
    return figure


def _normal_cdf(x):
    return 0.5 * (1.0 + math.erf(x / math.sqrt(2.0)))


def lifespan_probabilities(lifespan, sd=LIFESPAN_SD):
    """P(life span = k) for k = 0..100: a normal draw around `lifespan`, truncated to a whole number, clamped
    to 1..100."""
    p = np.zeros(MAX_AGE + 1)
    p[1] = _normal_cdf((2 - lifespan) / sd)
    for k in range(2, MAX_AGE):
        p[k] = _normal_cdf((k + 1 - lifespan) / sd) - _normal_cdf((k - lifespan) / sd)
    p[MAX_AGE] = 1.0 - _normal_cdf((MAX_AGE - lifespan) / sd)
    return p


def renewal_age_distribution(lifespan, agents, sd=LIFESPAN_SD):
    """Expected agents of each age 0..100 in the steady state of the renewal process.

    An agent is replaced in the round its age reaches its life span L, so
    ages 0..L-1 each last one round: the share of age a is P(L > a) / E[L].
    """
    p = lifespan_probabilities(lifespan, sd)
    survival = 1.0 - np.cumsum(p)  # P(L > a)
    mean = float(np.dot(np.arange(MAX_AGE + 1), p))
    return agents * survival / mean


def age_distribution(result, *, lifespan=None, agents=None, skip=0):
    """The mean number of agents of each age over the recorded rounds, against the renewal prediction.

    result: a RunResult or Game played with ages=True (or a rounds x 101 array
    with lifespan= and agents=). skip: leave out that many first rounds
    (the population starts all newborn and takes a few life spans to settle).
    """
    ages = getattr(result, "ages", result)
    if ages is None:
        raise ValueError("ages None: the run kept no age counts (accepted: a run played with ages=True)")
    settings = getattr(result, "settings", {})
    lifespan = lifespan if lifespan is not None else settings.get("lifespan")
    agents = agents if agents is not None else settings.get("agents")
    counts = np.asarray(ages)[skip:]
    if counts.shape[0] == 0:
        raise ValueError(f"skip {skip}: leaves no rounds (accepted: 0 to {np.asarray(ages).shape[0] - 1})")
    mean = counts.mean(axis=0)
    figure = Figure(figsize=(8, 4), layout="constrained")
    ax = figure.subplots()
    age = np.arange(mean.shape[0])
    ax.bar(age, mean, width=1.0, alpha=0.6, label="simulated (mean over rounds)")
    if isinstance(lifespan, int) and agents:
        ax.plot(age, renewal_age_distribution(lifespan, agents)[: mean.shape[0]], color="C3",
                label=f"renewal prediction (life span {lifespan} ± {LIFESPAN_SD:g})")
    ax.set_xlabel("age")
    ax.set_ylabel("agents")
    ax.legend(fontsize="small")
    return figure
