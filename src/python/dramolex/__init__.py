"""dramolex: the minority game simulator from Python.

    import dramolex
    r = dramolex.run(agents=1001, groupers=30, groups=4, lifespan=50, rounds=5000, seed=42)
    r.rounds      # pandas DataFrame, one row per round (the columns of dramolex-run --csv)
    r.summary     # dict (the keys of dramolex-run --summary)
    g = dramolex.Game(agents=101, seed=1).step(100)
    df = dramolex.sweep("phase.toml", executor=None)   # the rows of dramolex-sweep's summary.csv

dramolex.plots draws the standard figures with matplotlib.
"""

from ._game import Game
from ._runs import RunResult, run
from ._settings import SETTING_KEYS
from ._sweep import sweep

__all__ = ["Game", "RunResult", "SETTING_KEYS", "run", "sweep", "plots"]
__version__ = "1.0.0"


def __getattr__(name):
    # matplotlib is imported only by those who draw.
    if name == "plots":
        import importlib

        return importlib.import_module(".plots", __name__)
    raise AttributeError(f"module 'dramolex' has no attribute {name!r}")
