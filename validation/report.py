#!/usr/bin/env python3
"""Plays the validation sweeps and writes docs/validation.md with its figures.

    PYTHONPATH=build/release/python /usr/bin/python3 validation/report.py [--quick]
        [--build-dir build/release] [--out docs]

Exits 1 when a check fails its test (the report is written either way), 2 on
bad arguments. scripts/validate.sh builds what is needed and runs this.
"""

import argparse
import os
import platform
import subprocess
import sys
import time
from datetime import datetime, timezone
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import sec_coin  # noqa: E402
import sec_herding  # noqa: E402
import sec_mortality  # noqa: E402
import sec_own  # noqa: E402
import sec_phase  # noqa: E402
import sec_strategies  # noqa: E402
from section import Section  # noqa: E402
from stats import CONFIDENCE, Check, exact, fmt  # noqa: E402

TITLES = {1: "Mortality and renewal theory", 2: "Coin-tossing baseline", 3: "The standard minority game",
          4: "More strategies", 5: "dramolex's own game", 6: "Herding"}


def machine():
    model, cores = "unknown CPU", os.cpu_count()
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{model}, {cores} cores, {platform.system()} {platform.release()}, Python {platform.python_version()}"


def commit():
    def git(*args):
        return subprocess.run(["git", *args], cwd=HERE, capture_output=True, text=True).stdout.strip()

    head = git("rev-parse", "HEAD") or "unknown"
    dirty = git("status", "--porcelain", "--untracked-files=no", "--", ".", ":!docs/validation.md",
                ":!docs/validation")
    return head + (" (with uncommitted changes)" if dirty else "")


def table(rows):
    lines = ["| " + " | ".join(rows[0]) + " |", "|" + "---|" * len(rows[0])]
    lines += ["| " + " | ".join(r) + " |" for r in rows[1:]]
    return "\n".join(lines)


def render(sections, mode, seconds, started):
    failed = sum(not c.passed for s in sections for c in s.checks)
    total = sum(len(s.checks) for s in sections)
    out = [
        "# Validation",
        "",
        "This report is written by `scripts/validate.sh`"
        + (" `--quick`" if mode == "quick" else "")
        + " from the sweeps in `validation/`; every number in it was measured or computed by that run. "
        "Do not edit it by hand: rerun the script.",
        "",
        f"- Mode: **{mode}**" + (" (smaller runs for CI; not the full report)" if mode == "quick" else ""),
        f"- Commit: `{commit()}`",
        f"- Machine: {machine()}",
        f"- Date: {started.strftime('%Y-%m-%d %H:%M UTC')}; the runs and analysis took {fmt(seconds, 3)} s",
        f"- Checks: {total - failed} of {total} pass.",
        "",
        "How the checks are decided: every measured value is a mean over independent replicates (different "
        "seeds) with its standard error from their scatter; a mean is compared with its prediction by Student's t "
        "with (replicates - 1) degrees of freedom, a difference of two means or a fitted slope by the normal "
        "distribution, the location of a minimum with a bootstrap error. The checks of a section hold together at "
        f"{CONFIDENCE * 100:g} % confidence: each of a section's k checks passes when its p-value is at least "
        f"{fmt((1 - CONFIDENCE) * 100, 2)} % / k (Bonferroni), so a prediction fails when the data reject it at "
        "that level; a directional claim (\"larger than\", marked one-sided) passes only when the data reject its "
        "opposite at that level. Identities (equal values, conservation) are exact "
        "checks with p = 1 when they hold and 0 when not.",
        "",
        "| section | checks | passed |",
        "|---|---|---|",
    ]
    for s in sections:
        out.append(f"| {s.title} | {len(s.checks)} | {sum(c.passed for c in s.checks)} |")
    for s in sections:
        out += ["", f"## {s.title}", "", s.intro, ""]
        if s.figure:
            out += [table(s.table), "", f"![{s.title}](validation/{s.figure})", "", f"*{s.caption}*", ""]
        out += ["Checks:", "",
                table([["check", "measured", "predicted (source)", "statistic", "p", "level", "verdict"]]
                      + [[c.name, c.measured, c.predicted, c.statistic, fmt(c.p_value, 3), fmt(c.level, 3),
                          "pass" if c.passed else "**FAIL**"] for c in s.checks])]
        passed = sum(c.passed for c in s.checks)
        out += ["", f"Verdict: {passed} of {len(s.checks)} checks pass"
                + (" - the section agrees with its predictions." if passed == len(s.checks)
                   else " - see the failing checks above.")]
        if s.notes:
            out += ["", s.notes]
    return "\n".join(out) + "\n", failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="smaller runs (CI)")
    parser.add_argument("--build-dir", default="build/release", help="the release build (for lifespan_period)")
    parser.add_argument("--out", default="docs", help="where validation.md and validation/ go")
    parser.add_argument("--only", help="comma-separated section numbers (for development; the report is not written)")
    arguments = parser.parse_args()

    out = Path(arguments.out)
    figures = out / "validation"
    figures.mkdir(parents=True, exist_ok=True)
    tools = {"out": figures, "lifespan_period": str(Path(arguments.build_dir) / "lifespan_period")}
    started = datetime.now(timezone.utc)
    clock = time.perf_counter()
    runners = [sec_mortality.run, sec_coin.run, sec_phase.run, None, sec_own.run, sec_herding.run]
    wanted = {int(x) for x in arguments.only.split(",")} if arguments.only else set(range(1, 7))
    sections = []
    phase_minimum = None
    for number, runner in enumerate(runners, start=1):
        if number not in wanted:
            continue
        begin = time.perf_counter()
        try:
            if number == 3:
                section = runner(arguments.quick, tools)
                phase_minimum = section.minimum
            elif number == 4:
                section = sec_strategies.run(arguments.quick, tools, phase_minimum)
            else:
                section = runner(arguments.quick, tools)
        except Exception as error:  # the report says which section could not run, and fails
            section = Section(f"{number}. {TITLES[number]}", f"This section could not run: `{error}`", [["-"]],
                              "", "", [Check("the section's runs and analysis complete", "error", "complete",
                                             "exact", exact(False))])
        for check in section.checks:
            check.level = (1 - CONFIDENCE) / len(section.checks)
        sections.append(section)
        failed = [c.name for c in section.checks if not c.passed]
        print(f"{section.title}: {len(section.checks) - len(failed)} of {len(section.checks)} checks pass "
              f"({time.perf_counter() - begin:.1f} s)" + "".join(f"\n  FAIL: {n}" for n in failed), flush=True)
    text, failed = render(sections, "quick" if arguments.quick else "full", time.perf_counter() - clock, started)
    if arguments.only:
        print(text)
    else:
        (out / "validation.md").write_text(text)
        print(f"wrote {out / 'validation.md'} and {sum(bool(s.figure) for s in sections)} figures in {figures}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
