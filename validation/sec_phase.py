"""Section 3: the standard minority game's phase diagram."""

import numpy as np

import configs
import phase
from section import Section, new_figure, save
from stats import Check, Estimate, fmt, greater_test, pm, t_test, upper_test

SOURCE_MIN = "Challet, Marsili & Zecchina, PRL 84, 1824 (2000)"
SOURCE_CROWD = "Savit, Manuca & Riolo, PRL 82, 2203 (1999)"


def run(quick, tools):
    config, analysis = configs.load("phase", quick)
    table = configs.sweep(config, int(analysis.get("rounds_per_history", 0)),
                          int(analysis.get("burn_in_per_history", 0)))
    cells = phase.cells(table)
    rng = np.random.default_rng(int(config["seed"]))
    alpha_c = float(analysis["alpha_c"])
    factors = [float(f) for f in analysis["fit_factors"]]
    location, statistical, spread, fitted = phase.minimum(cells, factors, int(analysis["bootstrap"]), rng)
    lowest = min(cells, key=lambda c: c["s2"].mean)
    crowded_edge = alpha_c / float(analysis["crowded_factor"])
    b, se_b, n_crowded = phase.slope(cells, lambda a: a < crowded_edge)
    largest = cells[-1]
    # The symmetric phase just below alpha_c (deep in the crowded phase the herd's swings make H/N large again).
    band = float(analysis["symmetric_band"])
    below = [c for c in cells if alpha_c / band < c["alpha"] <= alpha_c]
    if not below:
        below = [max((c for c in cells if c["alpha"] <= alpha_c), key=lambda c: c["alpha"])]
    above = [c for c in cells if c["alpha"] > 2 * alpha_c]
    # sigma^2/N x P / T: what the noise of the conditional means alone gives H/N.
    def measured_rounds(m):
        return (max(int(config["rounds"]), int(analysis["rounds_per_history"]) * 2 ** m)
                - max(int(config["burn_in"]), int(analysis["burn_in_per_history"]) * 2 ** m))

    h_below = Estimate.of(np.mean([c["h_values"] - c["s2_values"] * 2 ** c["memory"] / measured_rounds(c["memory"])
                                   for c in below], axis=0))
    floor_below = float(np.mean([c["s2"].mean * 2 ** c["memory"] / measured_rounds(c["memory"]) for c in below]))
    smallest = cells[0]
    h_high = largest["h"]
    h_rise, h_rise_p = greater_test(h_high.mean - h_below.mean, float(np.hypot(h_high.se, h_below.se)))

    checks = []
    t, p = t_test(location, alpha_c)
    checks.append(Check("location of the minimum of sigma^2/N", pm(location), f"alpha_c = {alpha_c} ({SOURCE_MIN})",
                        f"z = {t:+.2f} (bootstrap and fit-window error)", p))
    t2, p2 = t_test(Estimate(b, se_b, 0), -1.0)
    checks.append(Check(f"crowded phase: slope of log sigma^2/N against log alpha (alpha < {fmt(crowded_edge)}, "
                        f"{n_crowded} points)", f"{b:.3f} ± {se_b:.3f}", f"-1 ({SOURCE_CROWD})", f"z = {t2:+.2f}", p2))
    # sigma^2/N -> 1: the deficit 1 - sigma^2/N shrinks as alpha grows (a negative slope in log-log).
    large = float(analysis["large_alpha"])
    deficit_cells = [dict(c, d=Estimate(1 - c["s2"].mean, c["s2"].se, c["s2"].n)) for c in cells
                     if c["alpha"] >= large and c["s2"].mean < 1]
    if len(deficit_cells) >= 2:
        d_slope, d_se, n_large = phase.slope(deficit_cells, lambda a: True, field="d")
    else:
        d_slope, d_se, n_large = float("nan"), float("nan"), len(deficit_cells)
    t3, p3 = greater_test(-d_slope, d_se)
    checks.append(Check(f"sigma^2/N -> 1 for large alpha: slope of log(1 - sigma^2/N) against log alpha over the "
                        f"{n_large} points with alpha >= {large:g} (largest alpha {fmt(largest['alpha'])}: "
                        f"sigma^2/N = {pm(largest['s2'])})", f"{d_slope:.3f} ± {d_se:.3f}",
                        "< 0 (independent choices at large alpha; " + SOURCE_CROWD + ")",
                        f"z = {t3:+.2f} (one-sided)", p3, directional=True))
    t4, p4 = upper_test(h_below.mean, h_below.se, h_below.n - 1)
    checks.append(Check(f"H/N just below alpha_c does not exceed the noise of the conditional means (sigma^2/N x "
                        f"P/T, {fmt(floor_below)} on average): H/N minus that noise, mean over the {len(below)} points "
                        f"with alpha_c / {band:g} < alpha <= alpha_c", pm(h_below),
                        "<= 0 (H = 0 in the symmetric phase; " + SOURCE_MIN + ")", f"t = {t4:+.2f} (one-sided)", p4))
    checks.append(Check(f"H/N rises above alpha_c: H/N at alpha = {fmt(largest['alpha'])} minus that just below "
                        f"alpha_c", f"{fmt(h_high.mean - h_below.mean)}", "> 0", f"z = {h_rise:+.2f} (one-sided)", h_rise_p, directional=True))

    rows = [["N", "M", "alpha", "sigma^2/N", "H/N"]]
    for c in sorted(cells, key=lambda c: (c["agents"], c["memory"])):
        rows.append([str(c["agents"]), str(c["memory"]), fmt(c["alpha"]), pm(c["s2"]), pm(c["h"])])
    figure = _figure(cells, location, alpha_c, "agents")
    save(figure, tools["out"] / "phase.svg")
    intro = (
        f"Two strategies per agent, the best-scoring one played (ties broken at random), no replacement; "
        f"N = {', '.join(str(n) for n in config['parameters']['agents'])} and M = "
        f"{', '.join(str(m) for m in config['parameters']['memory'])}; max({config['rounds']}, "
        f"{analysis['rounds_per_history']} x 2^M) rounds of which the first max({config['burn_in']}, "
        f"{analysis['burn_in_per_history']} x 2^M) are left out, so every history index is visited often enough for "
        f"the scores to settle; {config['replications']} seeds per point (dramolex.sweep). The minimum "
        f"is located by a parabola in log sigma^2/N against log alpha through the {fitted} points within a factor "
        f"{factors[len(factors) // 2]} of the lowest point (alpha = {fmt(lowest['alpha'])}, sigma^2/N = "
        f"{fmt(lowest['s2'].mean)}); its standard error combines {analysis['bootstrap']} bootstrap resamplings of "
        f"the replicates ({fmt(statistical, 2)}) with the spread of the location over fit windows of factors "
        f"{', '.join(str(f) for f in factors)} ({fmt(spread, 2)}). **Measured minimum: alpha = "
        f"{pm(location)}** against alpha_c = {alpha_c}. In the crowded phase the measured slope of log sigma^2/N "
        f"against log alpha is {b:.3f} ± {se_b:.3f} (prediction -1, sigma^2/N ~ 1/alpha). H/N vanishes only near "
        f"alpha_c: at the smallest alpha ({fmt(smallest['alpha'])}) it is {pm(smallest['h'])}, against sigma^2/N = "
        f"{pm(smallest['s2'])} there."
    )
    section = Section("3. The standard minority game", intro, rows, "phase.svg",
                   "sigma^2/N (left) and H/N (right) against alpha = 2^M/N, one colour per N; the dotted line marks "
                   "alpha_c, the dashed one 1/alpha scaled through the crowded points, the band the measured "
                   "minimum's location ± 2 standard errors.", checks)
    section.minimum = location
    return section


def _figure(cells, location, alpha_c, by, label="N", crowd_line=True):
    figure = new_figure(10, 4)
    left, right = figure.subplots(1, 2)
    keys = sorted({c[by] for c in cells})
    for i, key in enumerate(keys):
        mine = [c for c in cells if c[by] == key]
        a = [c["alpha"] for c in mine]
        left.errorbar(a, [c["s2"].mean for c in mine], yerr=[c["s2"].se for c in mine], fmt="o-", markersize=3,
                      linewidth=0.8, color=f"C{i}", label=f"{label} = {key}")
        right.errorbar(a, [max(c["h"].mean, 1e-6) for c in mine], yerr=[c["h"].se for c in mine], fmt="o-",
                       markersize=3, linewidth=0.8, color=f"C{i}", label=f"{label} = {key}")
    for ax in (left, right):
        ax.axvline(alpha_c, color="grey", linestyle=":", label=r"$\alpha_c$ = " + str(alpha_c))
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_xlabel(r"$\alpha = 2^M/N$")
        ax.grid(True, which="both", linewidth=0.3)
    crowded = [c for c in cells if c["alpha"] < alpha_c / 4]
    if crowded and crowd_line:
        k = np.exp(np.mean([np.log(c["s2"].mean * c["alpha"]) for c in crowded]))
        grid = np.geomspace(min(c["alpha"] for c in cells), alpha_c, 20)
        left.plot(grid, k / grid, color="black", linestyle="--", linewidth=0.8, label=r"$\propto 1/\alpha$")
    left.axhline(1.0, color="black", linewidth=0.6)
    if np.isfinite(location.mean):
        left.axvspan(location.mean - 2 * location.se, location.mean + 2 * location.se, color="C3", alpha=0.2,
                     label="measured minimum")
    left.set_ylabel(r"$\sigma^2/N$")
    right.set_ylabel(r"$H/N$")
    left.legend(fontsize="x-small")
    return figure
