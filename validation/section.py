"""What a section of the report hands back, and how its figure is saved."""

from dataclasses import dataclass, field

import matplotlib

matplotlib.use("Agg")
from matplotlib.figure import Figure  # noqa: E402

# Reproducible SVG bytes: fixed ids, no date, text as paths.
matplotlib.rcParams["svg.hashsalt"] = "dramolex-validation"
matplotlib.rcParams["svg.fonttype"] = "path"
matplotlib.rcParams["font.size"] = 9


@dataclass
class Section:
    title: str
    intro: str                      # markdown before the table
    table: list                     # rows (lists of strings); the first is the header
    figure: str                     # file name under docs/validation/
    caption: str
    checks: list = field(default_factory=list)  # stats.Check
    notes: str = ""                 # markdown after the checks


def new_figure(width=10, height=4):
    return Figure(figsize=(width, height), layout="constrained")


def save(figure, path):
    figure.savefig(path, format="svg", metadata={"Date": None, "Creator": "dramolex validation"})
