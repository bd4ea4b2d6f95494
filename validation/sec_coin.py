"""Section 2: the estimators on a population of independent fair coins."""

import numpy as np
from scipy import stats as sps

import configs
import estimators as est
from section import Section, new_figure, save
from stats import Check, Estimate, exact, fmt, pm, t_test


def expected_winners(agents):
    """E[winners] for binomial(N, 1/2) side-1 counts under the winner rule."""
    n = np.arange(agents + 1)
    # Far tails underflow to 0, which is what they contribute.
    probabilities = np.exp(sps.binom.logpmf(n, agents, 0.5))
    return float(np.dot(probabilities, est.winners(n, agents)))


def run(quick, tools):
    config, analysis = configs.load("coin", quick)
    rng = np.random.default_rng(int(analysis["seed"]))
    rounds, memory = int(analysis["rounds"]), int(analysis["memory"])
    histories = 2 ** memory
    rows = [["N", "sigma^2/N", "predicted (T-1)/T", "mean winners", "exact E[winners]",
             "N/2 - sqrt(N/(2 pi))", "H/N", "predicted ~ P/T"]]
    checks = []
    measured = {}
    for agents in analysis["agents"]:
        values = [est.observables(est.coin_attendance(rng, agents, rounds), agents, memory)
                  for _ in range(int(analysis["replications"]))]
        s2 = Estimate.of([v["sigma2_over_n"] for v in values])
        w = Estimate.of([v["mean_winners"] for v in values])
        h = Estimate.of([v["h_over_n"] for v in values])
        s2_pred = (rounds - 1) / rounds
        w_pred = expected_winners(agents)
        asymptotic = agents / 2 - np.sqrt(agents / (2 * np.pi))
        # Each conditional mean averages about T/P rounds of variance N: E[H/N] = E[1/n_mu] ~ P/T (1 + P/T).
        h_pred = histories / rounds * (1 + histories / rounds)
        measured[agents] = (s2, w, h, w_pred, asymptotic)
        rows.append([str(agents), pm(s2), fmt(s2_pred, 6), pm(w), fmt(w_pred, 7), fmt(asymptotic, 7), pm(h),
                     fmt(h_pred, 4)])
        for name, e, pred in (("sigma^2/N", s2, s2_pred), ("mean winners", w, w_pred), ("H/N", h, h_pred)):
            t, p = t_test(e, pred)
            checks.append(Check(f"{name}, N = {agents}", pm(e), fmt(pred, 6), f"t = {t:+.2f}", p))

    # The same estimators on a dramolex run reproduce the C++ summary.
    (settings, result), = configs.play(configs.expand(config))
    agents = int(settings["agents"])
    mine = est.observables(result.rounds["attendance"].to_numpy(), agents, 3, skip=settings["burn_in"])
    theirs = result.summary["observables"]
    gap = max(abs(mine[k] - theirs[k]) / max(abs(theirs[k]), 1e-300) for k in mine)
    winners_match = bool((est.winners(result.rounds["attendance"], agents) == result.rounds["winners"]).all())
    checks.append(Check("these estimators on a dramolex run equal its C++ summary (sigma^2/N, H/N, mean winners)",
                        f"largest relative difference {fmt(gap, 2)}", "0 (rounding)", "exact",
                        exact(gap < 1e-12)))
    checks.append(Check("the winner rule reproduces the run's winners column", str(winners_match), "True", "exact",
                        exact(winners_match)))

    figure = new_figure(10, 3.6)
    left, right = figure.subplots(1, 2)
    ns = sorted(measured)
    left.errorbar(ns, [measured[n][0].mean for n in ns], yerr=[measured[n][0].se for n in ns], fmt="o",
                  label="measured")
    left.axhline((rounds - 1) / rounds, color="grey", linestyle="--", label="(T-1)/T")
    left.set_xscale("log")
    left.set_xlabel("N")
    left.set_ylabel(r"$\sigma^2/N$")
    left.legend()
    grid = np.unique(np.geomspace(5, max(ns) * 1.5, 60).astype(int) | 1)
    deficit = [n / 2 - expected_winners(n) for n in grid]
    right.plot(grid, np.sqrt(grid / (2 * np.pi)), color="grey", label=r"$\sqrt{N/(2\pi)}$")
    right.plot(grid, deficit, color="C1", linewidth=0.8, label="exact N/2 - E[winners]")
    right.errorbar(ns, [n / 2 - measured[n][1].mean for n in ns], yerr=[measured[n][1].se for n in ns], fmt="o",
                   color="C3", label="measured")
    right.set_xscale("log")
    right.set_yscale("log")
    right.set_xlabel("N")
    right.set_ylabel("N/2 - mean winners")
    right.legend(fontsize="small")
    save(figure, tools["out"] / "coin.svg")
    intro = (
        f"Every agent's choice is an independent fair coin (numpy, seed {analysis['seed']}), {rounds} rounds, "
        f"{analysis['replications']} replicates per N, memory M = {memory} for H/N. Then A = 2 x attendance - N has "
        f"variance N, so sigma^2/N = 1; the variance over T rounds about their own mean has expectation "
        f"(T - 1)/T, the tested value. The winners are the smaller side, min(n, N - n) for odd N, whose "
        f"expectation N/2 - sqrt(N/(2 pi)) + O(1) (the mean absolute deviation of a binomial, de Moivre) is "
        f"computed exactly from the binomial distribution and tested; the asymptotic form is shown beside it. "
        f"H/N of a population without information is only the noise of the conditional means, about P/T with "
        f"P = 2^M. The same estimator code is then applied to the rows of a dramolex run "
        f"({agents} agents, {settings['rounds']} rounds, burn-in {settings['burn_in']}) and matches the "
        f"C++ summary."
    )
    return Section("2. Coin-tossing baseline", intro, rows, "coin.svg",
                   "Left: sigma^2/N of fair coins. Right: the winners' shortfall from N/2 against sqrt(N/(2 pi)) "
                   "and its exact binomial value.", checks)
