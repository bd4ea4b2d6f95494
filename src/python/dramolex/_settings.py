"""Python keyword arguments as the runner's settings.

Every check lives in the C++ runner (``_core.check_settings`` and the run
functions raise its ValueError); this module only spells Python values the
way the runner's settings do.
"""

import operator
import secrets

from . import _core

#: The runner's setting keys, in its order.
SETTING_KEYS = tuple(_core.setting_keys())

_SWITCHES = {True: "on", False: "off"}


def _spelled(key, value):
    if key == "replacement" and isinstance(value, bool):
        return _SWITCHES[value]
    if key == "lifespan" and value is None:
        return "off"
    if isinstance(value, str):
        return value
    if isinstance(value, bool):
        return str(value)  # refused by the runner for a number, with the value shown
    try:
        return operator.index(value)  # int, numpy integers
    except TypeError:
        return str(value)


def settings_from(values, *, draw_seed=True):
    """The settings dict for a run from keyword values.

    None leaves the runner's default in place, except for ``lifespan``, where
    None means mortality off. A missing seed is drawn at random (and shows in
    the summary), as the runner takes the clock's.
    """
    settings = {}
    for key, value in values.items():
        if value is None and key != "lifespan":
            continue
        settings[key] = _spelled(key, value)
    if draw_seed and "seed" not in settings:
        settings["seed"] = secrets.randbelow(2**32)
    return settings
