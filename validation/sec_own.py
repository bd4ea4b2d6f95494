"""Section 5: dramolex's own game, sigma^2/N in successive windows of rounds."""

import numpy as np

import configs
import estimators as est
from section import Section, new_figure, save
from stats import Check, Estimate, fmt, greater_test, pm, weighted_line

INITIAL_SCORE = 100
REPEATS = 4  # a periodic stretch repeats its period at least this often


def periodic_stretches(results, longest, repeats):
    """Rounds that lie in exactly periodic stretches: for some period p <= longest,
    results[t] == results[t - p] holds through at least `repeats` x p
    consecutive rounds. Returns (covered fraction, the period covering most rounds)."""
    results = np.asarray(results)
    covered = np.zeros(results.size, dtype=bool)
    by_period = {}
    for p in range(1, longest + 1):
        same = np.zeros(results.size, dtype=bool)
        same[p:] = results[p:] == results[:-p]
        # Runs of True in `same` of length >= repeats x p, and the p rounds they repeat.
        edges = np.diff(np.concatenate([[0], same.astype(np.int8), [0]]))
        starts, ends = np.nonzero(edges == 1)[0], np.nonzero(edges == -1)[0]
        mine = np.zeros(results.size, dtype=bool)
        for a, b in zip(starts, ends):
            if b - a >= repeats * p:
                mine[a - p:b] = True
        by_period[p] = int(mine.sum())
        covered |= mine
    dominant = max(by_period, key=by_period.get) if covered.any() else 0
    return float(covered.mean()), dominant


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
    results = result.rounds["result"].to_numpy()
    late_cover, period = periodic_stretches(results[-4 * window:], longest, REPEATS)
    early_cover, _ = periodic_stretches(results[:window], longest, REPEATS)
    return dict(s2=s2, collapse=collapse, cover=late_cover, early_cover=early_cover, period=period,
                best=result.rounds["best_strategy_score"].to_numpy()[::window].copy(),
                avg=result.rounds["avg_strategy_score"].to_numpy()[::window].copy())


def run(quick, tools):
    config, analysis = configs.load("own_model", quick)
    window, longest = int(analysis["window"]), int(analysis["longest_period"])
    played = configs.play(configs.expand(config), keep=lambda s, r: _measure(s, r, window, longest))
    sizes = config["parameters"]["agents"]
    rows = [["N", "alpha", "sigma^2/N, first window", "sigma^2/N, last quarter", "collapse round",
             "collapse / 101^2", "rounds in periodic stretches: first window", "last 4 windows",
             "commonest periods"]]
    checks = []
    per_n = {}
    # The same measure on fair coin sequences of the same length: what chance alone covers.
    rng = np.random.default_rng(int(config["seed"]))
    coin = Estimate.of([periodic_stretches(rng.integers(0, 2, 4 * window), longest, REPEATS)[0]
                        for _ in range(int(analysis["coin_sequences"]))])
    for n in sizes:
        mine = [m for s, m in played if s["agents"] == n]
        first = Estimate.of([np.log(m["s2"][0]) for m in mine])
        late = Estimate.of([np.log(m["s2"][-max(1, m["s2"].size // 4):].mean()) for m in mine])
        collapse = Estimate.of([m["collapse"] for m in mine])
        periods = [m["period"] for m in mine]
        cover = Estimate.of([m["cover"] for m in mine])
        early_cover = Estimate.of([m["early_cover"] for m in mine])
        per_n[n] = dict(first=first, late=late, collapse=collapse, periods=periods, cover=cover,
                        s2=np.exp(np.mean([np.log(m["s2"]) for m in mine], axis=0)))
        rows.append([str(n), fmt(8 / n), f"{fmt(np.exp(first.mean))} (x/÷ {fmt(np.exp(first.se), 3)})",
                     f"{fmt(np.exp(late.mean))} (x/÷ {fmt(np.exp(late.se), 3)})", pm(collapse),
                     fmt(collapse.mean / (INITIAL_SCORE + 1) ** 2, 3),
                     pm(early_cover), pm(cover),
                     ", ".join(str(p) for p in sorted(set(periods), key=periods.count, reverse=True) if p > 0)
                     or "none"])
        z, p = greater_test(first.mean, first.se, first.n - 1)
        checks.append(Check(f"N = {n}: crowded at first, log sigma^2/N of the first window > 0",
                            fmt(first.mean), "> 0 (alpha = 8/N < alpha_c)", f"t = {z:+.2f} (one-sided)", p, directional=True))
        z, p = greater_test(cover.mean - coin.mean, float(np.hypot(cover.se, coin.se)))
        checks.append(Check(f"N = {n}: after the collapse the winning sides run in periodic stretches more than "
                            f"fair coins do", f"{pm(cover)} against {pm(coin)}", "larger", f"z = {z:+.2f} (one-sided)",
                            p, directional=True))
        z, p = greater_test(first.mean - late.mean, float(np.hypot(first.se, late.se)))
        checks.append(Check(f"N = {n}: sigma^2/N collapses once strategies are replaced (first minus last, log)",
                            fmt(first.mean - late.mean), "> 0", f"z = {z:+.2f} (one-sided)", p, directional=True))
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
    late_cover = Estimate.of([m["cover"] for _, m in played])
    early_all = Estimate.of([m["early_cover"] for _, m in played])

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
    left.set_ylabel(rf"$\sigma^2/N$, windows of {window} rounds")
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
        f"8/N is deep in the crowded phase; N = {', '.join(str(n) for n in sizes)}; {config['rounds']} rounds, "
        f"{config['replications']} seeds each, sigma^2/N measured in windows of {window} rounds. The collapse round "
        f"of a run is the middle of the first window whose log sigma^2/N lies below the midpoint between the first "
        f"window and the last quarter of the run. Every strategy starts at score {INITIAL_SCORE} and is replaced "
        f"at -1: an unbiased +-1 score needs of the order of {(INITIAL_SCORE + 1) ** 2} rounds (101^2, first "
        f"passage of a random walk) to get there, so the crowded regime is expected to last of the order of 10^4 "
        f"rounds. Measured: the "
        f"collapse comes after {fmt(np.nanmin(all_collapse))} to {fmt(np.nanmax(all_collapse))} rounds, growing "
        f"like N^{exponent:.3f} ± {exponent_se:.3f}. The winning sides then fall into periodic stretches: a round "
        f"counts as periodic when, for some period p up to {longest}, the sequence repeats itself with period p "
        f"for at least {REPEATS} periods around it. Over the last {4 * window} rounds {pm(late_cover)} of the "
        f"rounds are periodic (all runs), against {pm(early_all)} in the first {window} rounds and {pm(coin)} for "
        f"fair coin sequences of the same length ({analysis['coin_sequences']} sequences). The stretches switch "
        f"from one period to another; the table lists the period that covers most rounds in "
        f"each run, commonest first."
    )
    notes = ""
    return Section("5. dramolex's own game", intro, rows, "own_model.svg",
                   "Left: sigma^2/N in successive windows (dotted: each N's mean collapse round; dashed: 101^2). "
                   "Right: the collapse round against N.", checks, notes)
