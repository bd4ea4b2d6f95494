"""Section 1: deaths and ages under mortality against renewal theory, the
shared, periodic life-span sequence of --lifespans fixed, and seeded
generators kept off that sequence's cycle."""

import json
import subprocess

import numpy as np
from scipy import stats as sps

import configs
import renewal
from section import Section, new_figure, save
from stats import Check, Estimate, exact, fmt, pm, t_test

SOURCE_RENEWAL = "renewal theory (Feller 1941; Cox, *Renewal Theory*, 1962)"


def _measure(settings, result):
    burn = settings["burn_in"]
    deaths = result.rounds["deaths"].to_numpy()
    return {
        "deaths": float(deaths[burn:].mean()),
        "summary_deaths": result.summary["observables"]["mean_deaths"],
        "ages": np.asarray(result.ages, dtype=float)[burn:].mean(axis=0),
        "first_round": int(result.rounds["round"].iloc[0]),
    }


def _deaths_series(settings, result):
    return result.rounds["deaths"].to_numpy().copy()


def run(quick, tools):
    config, analysis = configs.load("mortality", quick)
    runs = configs.expand(config)
    played = configs.play(runs, ages=True, keep=_measure)
    agents = int(config["parameters"]["agents"])
    rounds, burn = int(config["rounds"]), int(config["burn_in"])
    lifespans = config["parameters"]["lifespan"]

    period = json.loads(subprocess.run([tools["lifespan_period"], "--seeds", str(analysis["cycle_seeds"]),
                                        "--draws", str(analysis["cycle_draws"]), *map(str, lifespans)],
                                       check=True, capture_output=True, text=True).stdout)
    seeded, folding = period["seeded"], period["folding"]
    folding_cycles = sorted(folding["cycles"], key=lambda c: -c["seeds"])
    folding_on_fixed = sum(c["seeds"] for c in folding_cycles if c["smallest_state"] == period["smallest_state"])

    rows = [["mean life span", "E[L]", "deaths per round (measured)", "exact window expectation",
             "N / E[L]", "t", "ages: largest abs t (ages tested)"]]
    checks = []
    per_lifespan = {}
    for mean in lifespans:
        measured = [m for s, m in played if s["lifespan"] == mean]
        deaths = Estimate.of([m["deaths"] for m in measured])
        # The rounds the measurement covers, 1-based: the first measured round is burn + 1.
        expected_deaths, expected_ages = renewal.expected_window(mean, agents, burn + 1, rounds)
        stationary_deaths, stationary_ages = renewal.stationary(mean, agents)
        t, p = t_test(deaths, expected_deaths)
        checks.append(Check(f"deaths per round, mean life span {mean}", pm(deaths),
                            f"{fmt(expected_deaths, 6)} ({SOURCE_RENEWAL})",
                            f"t = {t:+.2f}, {len(measured) - 1} dof", p))
        ages = np.array([m["ages"] for m in measured])
        age_means = ages.mean(axis=0)
        age_se = ages.std(axis=0, ddof=1) / np.sqrt(len(ages))
        # Ages seen at least a few times in the whole measurement are tested.
        tested = expected_ages * (rounds - burn) * len(ages) >= 5
        tested &= age_se > 0
        age_t = (age_means[tested] - expected_ages[tested]) / age_se[tested]
        age_p = min(1.0, tested.sum() * float(2 * sps.t.sf(np.abs(age_t).max(), len(ages) - 1)))
        checks.append(Check(f"age histogram, mean life span {mean} ({tested.sum()} ages)",
                            f"largest abs t {np.abs(age_t).max():.2f}",
                            "N u(t - a) P(L > a) averaged over the rounds (renewal equation)",
                            f"Bonferroni over ages, {len(ages) - 1} dof", age_p))
        per_lifespan[mean] = dict(deaths=deaths, expected=expected_deaths, stationary=stationary_deaths,
                                  age_means=age_means, age_se=age_se, stationary_ages=stationary_ages,
                                  expected_ages=expected_ages)
        rows.append([str(mean), fmt(renewal.mean_lifespan(mean)), pm(deaths), fmt(expected_deaths, 6),
                     fmt(stationary_deaths, 6), f"{t:+.2f}", f"{np.abs(age_t).max():.2f} ({tested.sum()})"])
        summary_gap = max(abs(m["deaths"] - m["summary_deaths"]) for m in measured)
        checks.append(Check(f"summary mean_deaths equals the CSV's deaths, mean life span {mean}",
                            f"largest difference {fmt(summary_gap)}", "0", "exact", exact(summary_gap < 1e-9)))

    # --lifespans fixed: every replicate draws the same life spans.
    fixed_mean = int(analysis["fixed_lifespan"])
    fixed_runs = []
    for kind in ("fixed", "seeded"):
        cfg = dict(config, replications=int(analysis["fixed_replications"]), rounds=int(analysis["fixed_rounds"]),
                   burn_in=0, seed=int(config["seed"]) + (7 if kind == "fixed" else 8),
                   parameters=dict(config["parameters"], lifespan=fixed_mean, lifespans=kind))
        fixed_runs += [(kind, s, series) for s, series in configs.play(configs.expand(cfg), keep=_deaths_series)]
    series = {kind: np.array([d for k, _, d in fixed_runs if k == kind]) for kind in ("fixed", "seeded")}
    fixed_spread = int(np.abs(series["fixed"] - series["fixed"][0]).max())
    seeded_differ = int((np.abs(series["seeded"] - series["seeded"][0]).max(axis=1) > 0).sum())
    checks.append(Check(f"--lifespans fixed: deaths of every round equal across {len(series['fixed'])} seeds",
                        f"largest difference {fixed_spread}", "0", "exact", exact(fixed_spread == 0)))
    checks.append(Check("--lifespans seeded: deaths differ between seeds",
                        f"{seeded_differ} of {len(series['seeded']) - 1} replicates differ from the first",
                        f"{len(series['seeded']) - 1}", "exact", exact(seeded_differ == len(series["seeded"]) - 1)))

    repeats_all = all(period["repeats"].values())
    checks.append(Check("life spans repeat with the generator state's period",
                        f"period {period['period']}, run-in {period['run_in']}, checked {period['checked']} draws",
                        "every mean life span repeats", "exact", exact(repeats_all)))
    checks.append(Check(f"--lifespans seeded: no generator follows the fixed generator's cycle "
                        f"({seeded['seeds']} seeds, {seeded['draws']} agents each)",
                        f"{seeded['seeds_following']} seeds follow it; "
                        f"longest stretch {seeded['longest_follow']} agents",
                        "0 seeds", "exact", exact(seeded["seeds_following"] == 0)))

    figure = _figure(per_lifespan, series, agents, fixed_mean)
    save(figure, tools["out"] / "mortality.svg")
    births_per_round = agents / renewal.mean_lifespan(fixed_mean)
    # Agents created before the first repeated one, the initial population included.
    rounds_to_wrap = (period["run_in"] + period["period"] - agents) / births_per_round
    first50 = period["first"].get("50")
    intro = (
        f"{agents} agents, no groupers, `--lifespans seeded`, {rounds} rounds of which the first {burn} are left out, "
        f"{len(played) // len(lifespans)} seeds per mean life span. L is the specified life span: "
        f"v = 5 z + mean (z standard normal), truncated toward zero, clamped to 1..100; P(L = l) is computed from "
        f"the normal CDF. The model rounds v in single precision; that moves a class boundary by at most 2^-16 "
        f"and any P(L = l) by at most {fmt(renewal.rounding_bound(50), 2)}, far below the statistical errors "
        f"here. All agents are newborn before round 1, so the slots renew in step at first; the exact expectation "
        f"over the measured rounds follows from the renewal equation u(t) = sum_l P(L = l) u(t - l) and is the "
        f"value tested. It differs from the stationary N / E[L] by less than "
        f"{fmt(max(abs(v['expected'] / v['stationary'] - 1) for v in per_lifespan.values()) * 100, 2)} %; "
        f"for mean life span 100 (half the draws clamp to 100, so the slots stay nearly in step for many "
        f"generations) that difference is "
        f"{fmt(abs(per_lifespan[100]['expected'] - per_lifespan[100]['stationary']) / per_lifespan[100]['deaths'].se, 2) if 100 in per_lifespan else 'n/a'} "
        f"standard errors, which is why the stationary value alone would be the wrong yardstick."
    )
    notes = (
        f"**Fixed life spans.** With `--lifespans fixed` every mortal agent folds the seed 1684623 into the "
        f"process-wide normal generator (XOR) and takes one variate, and the Python module gives each run the "
        f"generator as a fresh process has it. The deaths of every round were identical in all "
        f"{len(series['fixed'])} replicates with different seeds (largest difference {fixed_spread}), while "
        f"{seeded_differ} of {len(series['seeded']) - 1} `seeded` replicates differed from the first. A fresh "
        f"process's first life spans at mean 50 are {first50}. Because the same constant is folded in before "
        f"every draw, the generator's 32-bit state follows one fixed map, and the state, and with it the "
        f"life-span sequence, is periodic: Brent's cycle search (`lifespan_period`) finds period "
        f"**{period['period']}** after a run-in of {period['run_in']} agents, and the life spans of every mean "
        f"tested repeat with it. What it means: (1) replicates that differ only in the seed share their whole "
        f"demography, so with `fixed` the scatter between replicates says nothing about the life-span draws and "
        f"standard errors of death- or age-related quantities are too small; use `--lifespans seeded` for "
        f"statistics. (2) From agent {period['run_in']} on, the same life spans come back in the same order every "
        f"{period['period']} agents created: with {agents} agents (created before round 1) and mean life span "
        f"{fixed_mean} ({fmt(births_per_round)} births a round) the first repetition begins after about "
        f"{fmt(rounds_to_wrap, 3)} rounds, and longer runs reuse the sequence. (3) Long runs average "
        f"over that one cycle of {period['period']} draws rather than over the specified distribution: the mean "
        f"life span over one cycle is "
        + ", ".join(f"{fmt(float(period['cycle_mean'][str(m)]), 6)} (E[L] = {fmt(renewal.mean_lifespan(m), 6)}) at "
                    f"mean {m}" for m in lifespans if str(m) in period["cycle_mean"])
        + ", so statistics of very long fixed runs converge to these values, which differ from E[L] by up to "
        f"{fmt(max(abs(float(period['cycle_mean'][str(m)]) / renewal.mean_lifespan(m) - 1) for m in lifespans if str(m) in period['cycle_mean']) * 100, 2)} %."
        f"\n\n**Seeded life spans are independent draws.** `--lifespans seeded` gives each population a generator "
        f"of its own: the SHR3 shift register started from SplitMix64(seed), into which nothing is folded per "
        f"agent, so its states run through the shift register's single cycle of 2^32 - 1 states (Marsaglia, "
        f"*Xorshift RNGs*, 2003) and do not share the fixed generator's cycle. Folding per agent is what makes "
        f"that short cycle: started from the same states as seeds 1 to {folding['seeds']} but folding 1684623 in "
        f"before every agent, the generators end in "
        + "; ".join(f"a cycle of length {c['period']}, reached by {c['seeds']} seeds after a run-in of "
                    f"{c['shortest_run_in']} to {c['longest_run_in']} agents" for c in folding_cycles)
        + f"; {folding_on_fixed} of {folding['seeds']} end on the very cycle of the process-wide generator, so "
        f"seeds would only choose where in one list of {period['period']} life spans a run starts. The run's own "
        f"generators of seeds 1 to {seeded['seeds']}, followed over {seeded['draws']} agents each, were on that "
        f"cycle at {seeded['on_cycle']} of {seeded['seeds'] * seeded['draws']} agents (a shift register of period "
        f"2^32 - 1 lands on its {period['period']} states by chance about {fmt(seeded['chance_on_cycle'], 4)} "
        f"± {fmt(seeded['chance_on_cycle'] ** 0.5, 2)} times) and never followed it: the longest stretch of "
        f"agents stepping along it was {seeded['longest_follow']}. The deaths and ages of the seeded runs above "
        f"are therefore tested against the renewal predictions from the specified distribution itself."
    )
    return Section("1. Mortality and renewal theory", intro, rows, "mortality.svg",
                   "Left: mean deaths per round against the mean life span, with N / E[L]. Middle: mean agents "
                   "of each age over the measured rounds (points) and N P(L > a) / E[L] (lines). Right: deaths "
                   "per round of the fixed-life-span replicates (identical, drawn over each other) and of seeded ones.",
                   checks, notes)


def _figure(per_lifespan, series, agents, fixed_mean):
    figure = new_figure(13, 4)
    left, middle, right = figure.subplots(1, 3)
    means = sorted(per_lifespan)
    grid = np.linspace(1, 100, 200)
    left.plot(grid, [agents / renewal.mean_lifespan(m) for m in grid], color="grey", label="N / E[L]")
    left.errorbar(means, [per_lifespan[m]["deaths"].mean for m in means],
                  yerr=[per_lifespan[m]["deaths"].se for m in means], fmt="o", color="C3", label="measured")
    left.set_xscale("log")
    left.set_yscale("log")
    left.set_xlabel("mean life span")
    left.set_ylabel("deaths per round")
    left.legend()
    age = np.arange(101)
    for i, m in enumerate(means):
        v = per_lifespan[m]
        seen = v["age_means"] > 0
        middle.plot(age[seen], v["age_means"][seen], "o", markersize=2.5, color=f"C{i}", label=f"mean {m}")
        middle.plot(age, v["stationary_ages"], color=f"C{i}", linewidth=0.8)
    middle.set_yscale("log")
    middle.set_ylim(0.1, agents)
    middle.set_xlabel("age")
    middle.set_ylabel("agents")
    middle.legend(fontsize="small")
    for d in series["seeded"]:
        right.plot(d, color="C0", linewidth=0.5, alpha=0.6)
    for d in series["fixed"]:
        right.plot(d, color="C3", linewidth=0.8)
    right.plot([], [], color="C3", label=f"fixed ({len(series['fixed'])} seeds)")
    right.plot([], [], color="C0", label=f"seeded ({len(series['seeded'])} seeds)")
    right.set_xlabel("round")
    right.set_ylabel(f"deaths (mean life span {fixed_mean})")
    right.legend(fontsize="small")
    return figure
