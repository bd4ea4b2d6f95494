"""dramolex.Game: a run played step by step, for notebooks and teaching."""

import json

from . import _core
from ._runs import rounds_frame
from ._settings import settings_from


class Game:
    """A population that plays when told to.

    Takes the same settings as dramolex.run (its ``rounds`` only matters for
    the summary's bookkeeping; step() may go on past it). step() plays
    without holding the GIL, so other threads keep running.
    """

    def __init__(self, *, agents, groupers=None, groups=None, lifespan=None, rounds=None, seed=None,
                 burn_in=None, memory=None, strategies=None, rule=None, replacement=None, lifespans=None,
                 ages=False):
        self.settings = settings_from(dict(agents=agents, groupers=groupers, groups=groups, lifespan=lifespan,
                                           rounds=rounds, seed=seed, burn_in=burn_in, memory=memory,
                                           strategies=strategies, rule=rule, replacement=replacement,
                                           lifespans=lifespans))
        self._session = _core.Session(self.settings, bool(ages))

    def step(self, rounds=1):
        """Plays `rounds` more rounds and returns the game."""
        self._session.step(rounds)
        return self

    @property
    def round(self):
        """Rounds played so far."""
        return self._session.round

    @property
    def last_report(self):
        """The latest round's report as a dict (the CSV's fields and age_dist), or None before the first."""
        return self._session.last_report

    @property
    def rounds(self):
        """DataFrame of every round played so far, the columns of dramolex-run --csv."""
        return rounds_frame(self._session.columns())

    @property
    def summary(self):
        """The summary of the rounds played so far, the keys of dramolex-run --summary."""
        return json.loads(self._session.summary_json())

    @property
    def ages(self):
        """rounds x 101 age counts, or None unless Game(..., ages=True)."""
        return self._session.ages()

    def __repr__(self):
        return f"Game(round={self.round}, settings={self.settings!r})"
