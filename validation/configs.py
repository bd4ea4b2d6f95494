"""The bundled sweep configs and how the report plays them.

Each validation/*.toml is a dramolex-sweep config (rounds, burn_in,
replications, seed, [parameters]) with two tables of its own, stripped before
the config reaches the sweep reader:
  [quick]     replaces keys (and [quick.parameters] parameters) for --quick;
  [analysis]  settings of the section's analysis (windows, fits).
"""

import itertools
import os
import tomllib
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import dramolex
import pandas as pd

HERE = Path(__file__).resolve().parent
SWEEP_KEYS = ("rounds", "burn_in", "replications", "seed")


def load(name, quick):
    """(sweep config dict, analysis dict) of validation/<name>.toml."""
    with open(HERE / f"{name}.toml", "rb") as f:
        raw = tomllib.load(f)
    config = {key: raw[key] for key in SWEEP_KEYS if key in raw}
    config["parameters"] = dict(raw.get("parameters", {}))
    analysis = dict(raw.get("analysis", {}))
    if quick:
        overrides = raw.get("quick", {})
        for key, value in overrides.items():
            if key == "parameters":
                config["parameters"].update(value)
            elif key == "analysis":
                analysis.update(value)
            else:
                config[key] = value
    return config, analysis


def sweep(config, rounds_per_history=0, burn_in_per_history=0):
    """The sweep's summary rows; stops the report if any run failed.

    With rounds_per_history, each memory M is swept on its own with at least
    that many rounds (and burn_in_per_history burn-in rounds) per history
    index, 2^M of them: the game needs of the order of a hundred visits to
    every history before it settles."""
    memories = config["parameters"].get("memory")
    if rounds_per_history and isinstance(memories, list):
        parts = []
        for m in memories:
            part = dict(config, parameters=dict(config["parameters"], memory=[m]))
            part["rounds"] = max(int(config["rounds"]), rounds_per_history * 2 ** m)
            part["burn_in"] = max(int(config.get("burn_in", 0)), burn_in_per_history * 2 ** m)
            part["seed"] = int(config.get("seed", 1)) * 100 + m
            parts.append(sweep(part))
        return pd.concat(parts, ignore_index=True)
    table = dramolex.sweep(config)
    failed = table[table["status"] != "done"]
    if len(failed):
        raise RuntimeError(f"{len(failed)} sweep runs failed: {table.attrs.get('failures')}")
    return table


def expand(config):
    """Every run of a config as dramolex.run keyword arguments, grid points in
    the file's order (the last parameter varying fastest), replications in a
    row, each with a seed of its own derived from the config's seed."""
    parameters = config["parameters"]
    keys = list(parameters)
    axes = [v if isinstance(v, list) else [v] for v in parameters.values()]
    runs = []
    base = int(config.get("seed", 1))
    for point in itertools.product(*axes):
        for replication in range(int(config.get("replications", 1))):
            settings = dict(zip(keys, point))
            if settings.get("replacement") in ("on", "off"):
                settings["replacement"] = settings["replacement"] == "on"
            settings["rounds"] = int(config.get("rounds", 1000))
            settings["burn_in"] = int(config.get("burn_in", 0))
            settings["seed"] = (base * 1_000_003 + len(runs) * 7919 + 1) % 4_294_967_291 + 1
            settings["_replication"] = replication
            runs.append(settings)
    return runs


def play(runs, *, ages=False, keep=None):
    """Plays the runs on a thread per core (the model releases the GIL) and
    returns [(settings, result-or-what-keep-made-of-it)] in run order."""

    def one(settings):
        arguments = {k: v for k, v in settings.items() if not k.startswith("_")}
        result = dramolex.run(**arguments, ages=ages)
        return settings, keep(settings, result) if keep else result

    with ThreadPoolExecutor(max_workers=os.cpu_count() or 1) as pool:
        return list(pool.map(one, runs))
