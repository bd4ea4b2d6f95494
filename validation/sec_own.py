"""Section 5: dramolex's own game, sigma^2/N in successive windows of rounds."""

import numpy as np

import configs
import estimators as est
from section import Section, new_figure, save
from stats import Check, Estimate, fmt, greater_test, pm, weighted_line

INITIAL_SCORE = 100


def outcome_period(results, longest):
    """The smallest p <= longest with results[t] == results[t + p] throughout, or 0."""
    results = np.asarray(results)
    for p in range(1, min(longest, results.size // 2) + 1):
        if np.array_equal(results[p:], results[:-p]):
            return p
    return 0


def _measure(settings, result, window, longest):
    agents = settings["agents"]
    attendance = result.rounds["attendance"].to_numpy()
    windows = attendance.size // window
    s2 = np.array([est.sigma2_over_n(attendance[i * window:(i + 1) * window], agents) for i in range(windows)])
    early = np.log(s2[0])
    late = np.log(s2[-max(1, windows // 4):].mean())
    midpoint = (early + late) / 2
    below = np.nonzero(np.log(s2) < midpoint)[0]
    collapse = float((below[0] + 0.5) * window) if below.size and late < early else float("nan")
    results = result.rounds["result"].to_numpy()[-window:]
    return dict(s2=s2, collapse=collapse, period=outcome_period(results, longest),
                best=result.rounds["best_strategy_score"].to_numpy()[::window].copy(),
                avg=result.rounds["avg_strategy_score"].to_numpy()[::window].copy())


def run(quick, tools):
    config, analysis = configs.load("own_model", quick)
    window, longest = int(analysis["window"]), int(analysis["longest_period"])
    played = configs.play(configs.expand(config), keep=lambda s, r: _measure(s, r, window, longest))
    sizes = config["parameters"]["agents"]
    rows = [["N", "alpha", "sigma^2/N, first window", "sigma^2/N, last quarter", "collapse round",
             "collapse / 101^2", "periodic runs", "periods"]]
    checks = []
    per_n = {}
    for n in sizes:
        mine = [m for s, m in played if s["agents"] == n]
        first = Estimate.of([np.log(m["s2"][0]) for m in mine])
        late = Estimate.of([np.log(m["s2"][-max(1, m["s2"].size // 4):].mean()) for m in mine])
        collapse = Estimate.of([m["collapse"] for m in mine])
        periods = [m["period"] for m in mine]
        per_n[n] = dict(first=first, late=late, collapse=collapse, periods=periods,
                        s2=np.exp(np.mean([np.log(m["s2"]) for m in mine], axis=0)))
        rows.append([str(n), fmt(8 / n), f"{fmt(np.exp(first.mean))} (x/÷ {fmt(np.exp(first.se), 3)})",
                     f"{fmt(np.exp(late.mean))} (x/÷ {fmt(np.exp(late.se), 3)})", pm(collapse),
                     fmt(collapse.mean / (INITIAL_SCORE + 1) ** 2, 3),
                     f"{sum(p > 0 for p in periods)} of {len(periods)}",
                     ", ".join(str(p) for p in sorted(set(periods)) if p > 0) or "none"])
        z, p = greater_test(first.mean, first.se, first.n - 1)
        checks.append(Check(f"N = {n}: crowded at first, log sigma^2/N of the first window > 0",
                            fmt(first.mean), "> 0 (alpha = 8/N < alpha_c)", f"t = {z:+.2f} (one-sided)", p))
        z, p = greater_test(first.mean - late.mean, float(np.hypot(first.se, late.se)))
        checks.append(Check(f"N = {n}: sigma^2/N collapses once strategies are replaced (first minus last, log)",
                            fmt(first.mean - late.mean), "> 0", f"z = {z:+.2f} (one-sided)", p))
    ns = np.array(sizes, float)
    tau = [per_n[n]["collapse"] for n in sizes]
    ok = [np.isfinite(t.mean) and t.se > 0 for t in tau]
    if sum(ok) >= 2:
        x = np.log(ns[ok])
        y = np.log([t.mean for t, k in zip(tau, ok) if k])
        se = np.array([t.se / t.mean for t, k in zip(tau, ok) if k])
        _, exponent, _, exponent_se = weighted_line(x, y, se)
    else:
        exponent, exponent_se = float("nan"), float("nan")
    all_collapse = [m["collapse"] for _, m in played]
    periodic = sum(m["period"] > 0 for _, m in played)

    figure = new_figure(10, 4)
    left, right = figure.subplots(1, 2)
    for i, n in enumerate(sizes):
        s2 = per_n[n]["s2"]
        centres = (np.arange(s2.size) + 0.5) * window
        left.plot(centres, s2, color=f"C{i}", label=f"N = {n}")
        if np.isfinite(per_n[n]["collapse"].mean):
            left.axvline(per_n[n]["collapse"].mean, color=f"C{i}", linestyle=":", linewidth=0.8)
    left.axvline((INITIAL_SCORE + 1) ** 2, color="black", linestyle="--", linewidth=0.8, label=r"$101^2$")
    left.axhline(1.0, color="grey", linewidth=0.6)
    left.set_yscale("log")
    left.set_xlabel("round")
    left.set_ylabel(rf"$\sigma^2/N$ per window of {window} rounds (geometric mean of seeds)")
    left.legend(fontsize="small")
    right.errorbar(ns, [t.mean for t in tau], yerr=[t.se for t in tau], fmt="o", color="C3")
    right.axhline((INITIAL_SCORE + 1) ** 2, color="black", linestyle="--", linewidth=0.8, label=r"$101^2$")
    right.set_xscale("log")
    right.set_xlabel("N")
    right.set_ylabel("collapse round")
    right.legend(fontsize="small")
    save(figure, tools["out"] / "own_model.svg")
    intro = (
        f"Ten strategies, the record rule, replacement of strategies whose score falls below 0, M = 3, so alpha = "
        f"8/N is deep in the crowded phase; N = {', '.join(str(n) for n in sizes)}, {config['rounds']} rounds, "
        f"{config['replications']} seeds each, sigma^2/N measured in windows of {window} rounds. The collapse round "
        f"of a run is the middle of the first window whose log sigma^2/N lies below the midpoint between the first "
        f"window and the last quarter of the run. Every strategy starts at score {INITIAL_SCORE} and is replaced "
        f"at -1: an unbiased +-1 score needs of the order of {(INITIAL_SCORE + 1) ** 2} rounds (101^2, first "
        f"passage of a random walk) to get there, so the crowded regime lasts about 10^4 rounds. Measured: the "
        f"collapse comes after {fmt(np.nanmin(all_collapse))} to {fmt(np.nanmax(all_collapse))} rounds, growing "
        f"like N^{exponent:.3f} ± {exponent_se:.3f}. Afterwards the winning sides of the last {window} rounds were "
        f"exactly periodic (period up to {longest}) in {periodic} of {len(played)} runs."
    )
    notes = (
        "After the collapse the population plays freshly drawn strategies against a history of only 2^3 = 8 "
        "states; the outcome sequence then locks into a cycle through the history states, which the periods in "
        "the table show."
    )
    return Section("5. dramolex's own game", intro, rows, "own_model.svg",
                   "Left: sigma^2/N in successive windows (dotted: each N's mean collapse round; dashed: 101^2). "
                   "Right: the collapse round against N.", checks, notes)
