#!/usr/bin/env python3
"""The standard minority game's phase diagram with dramolex.sweep.

Plays the grid of dramolex-sweep's bundled "phase-diagram" config (two
strategies per agent, best rule, no replacement; N = 101, 201, 401, 801 and
memory 3 to 10, four replications each: 128 runs) and saves sigma^2/N and H/N
against alpha = 2^M / N on log-log axes as phase-diagram.svg.

    PYTHONPATH=build/release/python /usr/bin/python3 examples/phase_diagram.py
    ... --scheduler tcp://head:8786     # on a Dask cluster (see README, "Python")
    ... --quick                         # a tenth of the rounds, for a first look
"""

import argparse
import time

import dramolex
from dramolex import plots

CONFIG = {
    "rounds": 10000,
    "burn_in": 5000,
    "replications": 4,
    "seed": 1,
    "parameters": {
        "agents": [101, 201, 401, 801],
        "memory": [3, 4, 5, 6, 7, 8, 9, 10],
        "strategies": 2,
        "rule": "best",
        "replacement": "off",
    },
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default="phase-diagram.svg", help="figure file (.svg, .pdf or .png)")
    parser.add_argument("--csv", help="also save the sweep's summary rows to this CSV file")
    parser.add_argument("--scheduler", help="address of a Dask scheduler to run the sweep on")
    parser.add_argument("--quick", action="store_true", help="a tenth of the rounds")
    arguments = parser.parse_args()

    config = dict(CONFIG)
    if arguments.quick:
        config["rounds"] //= 10
        config["burn_in"] //= 10

    executor = None
    if arguments.scheduler:
        from distributed import Client

        executor = Client(arguments.scheduler).get_executor()

    start = time.perf_counter()
    summary = dramolex.sweep(config, executor=executor)
    seconds = time.perf_counter() - start
    failed = (summary["status"] != "done").sum()
    print(f"{len(summary)} runs in {seconds:.1f} s ({failed} failed)")
    if arguments.csv:
        summary.to_csv(arguments.csv, index=False)
    plots.phase_diagram(summary).savefig(arguments.out)
    print(f"wrote {arguments.out}")


if __name__ == "__main__":
    main()
