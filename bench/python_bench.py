#!/usr/bin/env python3
"""The Python package's two performance figures.

1. dramolex.run against dramolex-run for the same run (16348 agents, 2000
   rounds): wall and CPU time of the call against the program's, best and
   median of interleaved repetitions.
2. Sweep throughput through a Dask LocalCluster: runs per second with two
   single-threaded worker processes against one, for runs of about a second.
   Busy time is the runs' own seconds over workers x elapsed: what is left
   is the scheduler's overhead and idle workers, apart from CPU that other
   processes on the machine take.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py [--build build/release]
"""

import argparse
import os
import resource
import pathlib
import statistics
import subprocess
import time

import dramolex
from dramolex._batches import run_work, seconds_per_unit

RUN = dict(agents=16348, rounds=2000, seed=1)


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def time_runner(program):
    """(wall, CPU) seconds of the whole dramolex-run process."""
    arguments = [str(program), "--quiet"]
    for key, value in RUN.items():
        arguments += [f"--{key}", str(value)]
    cpu = children_cpu()
    start = time.perf_counter()
    subprocess.run(arguments, check=True, capture_output=True)
    return time.perf_counter() - start, children_cpu() - cpu


def time_module():
    """(wall, CPU) seconds of the dramolex.run call, DataFrame and summary included."""
    cpu = time.process_time()
    start = time.perf_counter()
    dramolex.run(**RUN)
    return time.perf_counter() - start, time.process_time() - cpu


def run_overhead(program, repetitions):
    runner, module = [], []
    for _ in range(repetitions):
        runner.append(time_runner(program))
        module.append(time_module())
    print(f"16348 agents x 2000 rounds, {repetitions} interleaved repetitions")
    for index, kind in enumerate(("wall", "CPU")):
        ours = [times[index] for times in module]
        theirs = [times[index] for times in runner]
        print(f"  {kind:4}: dramolex-run best {min(theirs):.3f} s, median {statistics.median(theirs):.3f} s; "
              f"dramolex.run best {min(ours):.3f} s, median {statistics.median(ours):.3f} s; "
              f"ratio best {min(ours) / min(theirs):.3f}, median {statistics.median(ours) / statistics.median(theirs):.3f}")


def dask_throughput(runs, run_seconds):
    from distributed import Client, LocalCluster

    agents = 4001
    rounds = max(100, int(run_seconds / (seconds_per_unit() * run_work({"agents": agents}, 1))))
    config = {"rounds": rounds, "replications": runs, "seed": 1, "parameters": {"agents": agents}}
    rates = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            client.wait_for_workers(workers)
            executor = client.get_executor()
            dramolex.sweep({"rounds": 10, "parameters": {"agents": 11}}, executor=executor)  # workers import
            start = time.perf_counter()
            table = dramolex.sweep(config, executor=executor)
            elapsed = time.perf_counter() - start
        assert (table["status"] == "done").all()
        rates[workers] = runs / elapsed
        busy = table["seconds"].sum() / (workers * elapsed)
        print(f"  {workers} worker(s): {runs} runs in {elapsed:.2f} s = {rates[workers]:.2f} runs/s "
              f"(mean run {table['seconds'].mean():.2f} s, workers busy {busy:.0%})")
    print(f"  speed-up with 2 workers: {rates[2] / rates[1]:.2f}x")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(pathlib.Path(dramolex.__file__).resolve().parents[2]))
    parser.add_argument("--repetitions", type=int, default=7)
    parser.add_argument("--runs", type=int, default=16)
    parser.add_argument("--run-seconds", type=float, default=1.0)
    arguments = parser.parse_args()
    print(f"load average before: {os.getloadavg()}")
    run_overhead(pathlib.Path(arguments.build) / "dramolex-run", arguments.repetitions)
    print(f"Dask LocalCluster sweep, runs of about {arguments.run_seconds} s")
    dask_throughput(arguments.runs, arguments.run_seconds)
    print(f"load average after: {os.getloadavg()}")


if __name__ == "__main__":
    main()
