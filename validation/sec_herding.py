"""Section 6: herding, sigma^2/N and the capital of groupers against the
grouper percentage and the number of groups."""

import math

import numpy as np

import configs
from section import Section, new_figure, save
from stats import Check, Estimate, exact, fmt, greater_test, pm

SOURCE = "Cont & Bouchaud, Macroecon. Dyn. 4, 170 (2000); Eguíluz & Zimmermann, PRL 85, 5659 (2000)"


def _trunc_div(a, b):
    return int(math.trunc(a / b)) if b != 0 else 0


def _measure(settings, result):
    rounds = result.rounds
    agents = settings["agents"]
    obs = result.summary["observables"]
    total = 100 * agents + int((2 * rounds["winners"] - agents).sum())
    grouped, others = obs["mean_capital_groupers"], obs["mean_capital_nongroupers"]
    log_gap = int(rounds["capital_gap"].iloc[-1])
    predicted_log_gap = None
    groupers = 0
    if grouped is not None and others is not None and grouped != others:
        # Total capital = g x grouped mean + (N - g) x other mean gives the grouper count g.
        groupers = round((total - agents * others) / (grouped - others))
        # The log's gap: grouped sum over g + 1, ungrouped sum over N - (g + 1), both truncated.
        predicted_log_gap = (_trunc_div(round(grouped * groupers), groupers + 1)
                             - _trunc_div(round(others * (agents - groupers)), agents - groupers - 1))
    elif grouped is None and others is not None:
        predicted_log_gap = -_trunc_div(round(others * agents), agents - 1)
    return dict(s2=obs["sigma2_over_n"], gap=(grouped - others) if grouped is not None and others is not None else None,
                log_gap=log_gap, predicted_log_gap=predicted_log_gap, groupers=groupers,
                total_matches=grouped is None or abs(groupers * grouped + (agents - groupers) * others - total) < 1e-6)


def run(quick, tools):
    config, _ = configs.load("herding", quick)
    played = configs.play(configs.expand(config), keep=_measure)
    groups = config["parameters"]["groups"]
    percents = config["parameters"]["groupers"]
    rows = [["groups", "groupers %", "sigma^2/N", "capital: groupers minus others (session)",
             "capital gap in the log (last round)", "log gap as specified, from the session's means"]]
    cells = {}
    for g in groups:
        for pct in percents:
            mine = [m for s, m in played if s["groups"] == g and s["groupers"] == pct]
            s2 = Estimate.of([m["s2"] for m in mine])
            gap = Estimate.of([m["gap"] for m in mine if m["gap"] is not None])
            log_gap = Estimate.of([m["log_gap"] for m in mine])
            predicted = Estimate.of([m["predicted_log_gap"] for m in mine if m["predicted_log_gap"] is not None])
            cells[(g, pct)] = dict(s2=s2, gap=gap, log_gap=log_gap)
            rows.append([str(g), str(pct), pm(s2), pm(gap) if gap.n else "no groupers", pm(log_gap), pm(predicted)])
    checks = []
    for g in groups:
        base = cells[(g, percents[0])]["s2"]
        for pct in percents[1:]:
            s2 = cells[(g, pct)]["s2"]
            z, p = greater_test(s2.mean - base.mean, float(np.hypot(s2.se, base.se)))
            checks.append(Check(f"{g} groups: herding raises sigma^2/N, {pct} % against {percents[0]} % groupers",
                                f"{fmt(s2.mean)} against {fmt(base.mean)}", f"larger ({SOURCE})",
                                f"z = {z:+.2f} (one-sided)", p, directional=True))
    consistent = [m["predicted_log_gap"] == m["log_gap"] for _, m in played if m["predicted_log_gap"] is not None]
    totals = [m["total_matches"] for _, m in played]
    checks.append(Check("the log's capital gap equals its specified integer formula applied to the session's "
                        "corrected means", f"{sum(consistent)} of {len(consistent)} runs", "all runs", "exact",
                        exact(all(consistent))))
    checks.append(Check("capital is conserved: 100 N plus the sum of (2 x winners - N) equals the session's total",
                        f"{sum(totals)} of {len(totals)} runs", "all runs", "exact", exact(all(totals))))

    figure = new_figure(10, 4)
    left, right = figure.subplots(1, 2)
    for i, g in enumerate(groups):
        left.errorbar(percents, [cells[(g, p)]["s2"].mean for p in percents],
                      yerr=[cells[(g, p)]["s2"].se for p in percents], fmt="o-", color=f"C{i}", label=f"{g} groups")
        shown = [p for p in percents if cells[(g, p)]["gap"].n]
        right.errorbar(shown, [cells[(g, p)]["gap"].mean for p in shown], yerr=[cells[(g, p)]["gap"].se for p in shown],
                       fmt="o-", color=f"C{i}", label=f"{g} groups: session")
        right.errorbar(percents, [cells[(g, p)]["log_gap"].mean for p in percents],
                       yerr=[cells[(g, p)]["log_gap"].se for p in percents], fmt="x--", color=f"C{i}",
                       label=f"{g} groups: log")
    left.set_yscale("log")
    left.set_xlabel("groupers (%)")
    left.set_ylabel(r"$\sigma^2/N$")
    left.legend(fontsize="small")
    right.axhline(0, color="grey", linewidth=0.6)
    right.set_xlabel("groupers (%)")
    right.set_ylabel("mean capital, groupers minus others")
    right.legend(fontsize="x-small")
    save(figure, tools["out"] / "herding.svg")
    intro = (
        f"The own game (ten strategies, record rule, replacement on, M = 3) with N = {config['parameters']['agents']}, "
        f"no mortality, {config['rounds']} rounds (burn-in {config['burn_in']}), {config['replications']} seeds per "
        f"point; groups = {', '.join(map(str, groups))} and groupers = {', '.join(map(str, percents))} %. The session "
        f"reports the plain mean capital of groupers and of the others at the end of the run; the log's capital gap "
        f"is specified with the grouped count starting at 1, so its grouped mean divides by one agent too many and "
        f"its ungrouped mean by one too few, each truncated. The grouper count of a run follows from capital "
        f"conservation; the specified formula applied to the session's means gives the log's last gap in "
        f"{sum(consistent)} of {len(consistent)} runs."
    )
    return Section("6. Herding", intro, rows, "herding.svg",
                   "Left: sigma^2/N against the grouper percentage, one colour per number of groups. Right: mean "
                   "capital of groupers minus others, from the session (circles) and the log's gap (crosses).",
                   checks)
