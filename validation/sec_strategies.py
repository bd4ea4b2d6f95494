"""Section 4: the phase diagram with more strategies per agent."""

import numpy as np

import configs
import phase
from section import Section, save
from sec_phase import _figure
from stats import Check, Estimate, fmt, greater_test, pm

SOURCE = ("Challet & Zhang, Physica A 256, 514 (1998); Marsili, Challet & Zecchina, Physica A 280, 522 (2000): "
          "alpha_c grows with S")


def run(quick, tools, s2_minimum=None):
    config, analysis = configs.load("strategies", quick)
    table = configs.sweep(config, int(analysis.get("rounds_per_history", 0)),
                          int(analysis.get("burn_in_per_history", 0)))
    rng = np.random.default_rng(int(config["seed"]))
    minima = {}
    if s2_minimum is not None:
        minima[2] = s2_minimum
    all_cells = []
    for s, group in table.groupby("strategies"):
        cells = phase.cells(group, by=("agents", "memory", "strategies"))
        all_cells += cells
        minima[int(s)] = phase.minimum(cells, [float(f) for f in analysis["fit_factors"]],
                                       int(analysis["bootstrap"]), rng)[0]
    rows = [["S", "alpha at the minimum of sigma^2/N", "source"]]
    for s in sorted(minima):
        rows.append([str(s), pm(minima[s]), "section 3" if s == 2 else "this sweep"])
    checks = []
    ordered = sorted(minima)
    for low, high in zip(ordered, ordered[1:]):
        a, b = minima[low], minima[high]
        z, p = greater_test(b.mean - a.mean, float(np.hypot(a.se, b.se)))
        checks.append(Check(f"the minimum moves to larger alpha from S = {low} to S = {high}",
                            f"{fmt(b.mean - a.mean)}", f"> 0 ({SOURCE})", f"z = {z:+.2f} (one-sided)", p, directional=True))
    figure = _figure(all_cells, Estimate(float("nan"), float("nan"), 0), 0.3374, "strategies", label="S",
                     crowd_line=False)
    left = figure.axes[0]
    swept = sorted(int(s) for s in table["strategies"].unique())
    for s in sorted(minima):
        m = minima[s]
        if np.isfinite(m.mean):
            colour = f"C{swept.index(s)}" if s in swept else "black"
            left.axvline(m.mean, color=colour, linewidth=0.8, linestyle="-.")
    save(figure, tools["out"] / "strategies.svg")
    intro = (
        f"The game of section 3 with S = {', '.join(str(s) for s in config['parameters']['strategies'])} strategies "
        f"per agent; N = {', '.join(str(n) for n in config['parameters']['agents'])}, M = "
        f"{config['parameters']['memory'][0]} to {config['parameters']['memory'][-1]}, max({config['rounds']}, "
        f"{analysis['rounds_per_history']} x 2^M) rounds (burn-in max({config['burn_in']}, "
        f"{analysis['burn_in_per_history']} x 2^M)), {config['replications']} seeds per point, all N drawn together per S. "
        f"The minimum is located as in section 3. Measured: "
        + ", ".join(f"S = {s}: alpha = {pm(minima[s])}" for s in sorted(minima)) + "."
    )
    rows_cells = [["S", "N", "M", "alpha", "sigma^2/N", "H/N"]]
    for c in sorted(all_cells, key=lambda c: (c["strategies"], c["agents"], c["memory"])):
        rows_cells.append([str(c["strategies"]), str(c["agents"]), str(c["memory"]), fmt(c["alpha"]), pm(c["s2"]),
                           pm(c["h"])])
    section = Section("4. More strategies", intro, rows, "strategies.svg",
                      "sigma^2/N and H/N against alpha, one colour per S (S = 2 is section 3's sweep only in the "
                      "table); dash-dotted lines: the measured minima (black: S = 2).", checks)
    section.notes = "Every point:\n\n" + "\n".join("| " + " | ".join(r) + " |" + ("\n|" + "---|" * len(r) if i == 0 else "")
                                                 for i, r in enumerate(rows_cells))
    return section
