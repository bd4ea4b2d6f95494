"""dramolex.run: one whole run, played in C++ without the GIL."""

import json

import pandas as pd

from . import _core
from ._settings import settings_from


class RunResult:
    """What a run leaves: its per-round table, its summary and, when asked for, its ages.

    rounds   pandas DataFrame, one row per round, the columns of dramolex-run --csv
    summary  dict, the keys and values of dramolex-run --summary
    ages     NumPy array rounds x 101 of age counts, or None unless run(..., ages=True)
    settings the settings the run was played with (the seed included)
    """

    __slots__ = ("rounds", "summary", "ages", "settings")

    def __init__(self, rounds, summary, ages, settings):
        self.rounds = rounds
        self.summary = summary
        self.ages = ages
        self.settings = settings

    def __repr__(self):
        return f"RunResult({len(self.rounds)} rounds, settings={self.settings!r})"


def rounds_frame(columns):
    """The per-round DataFrame over the arrays handed over from C++."""
    return pd.DataFrame(columns, columns=list(_core.round_columns), copy=False)


def run(*, agents, groupers=None, groups=None, lifespan=None, rounds=None, seed=None, burn_in=None,
        memory=None, strategies=None, rule=None, replacement=None, lifespans=None, ages=False):
    """Plays one run and returns a RunResult.

    The settings are those of dramolex-run (and of a sweep's TOML file); None
    keeps the runner's default, lifespan=None means mortality off, seed=None
    draws a seed (see result.settings["seed"]). ages=True also keeps the age
    counts of every round (101 values a round). Bad values raise ValueError
    naming the setting, the value and the accepted range.
    """
    settings = settings_from(dict(agents=agents, groupers=groupers, groups=groups, lifespan=lifespan,
                                  rounds=rounds, seed=seed, burn_in=burn_in, memory=memory,
                                  strategies=strategies, rule=rule, replacement=replacement,
                                  lifespans=lifespans))
    played = _core.run(settings, bool(ages))
    return RunResult(rounds_frame(played["rounds"]), json.loads(played["summary_json"]), played["ages"],
                     settings)
