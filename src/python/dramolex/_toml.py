"""A sweep config given as a dict, written as the TOML text dramolex-sweep reads.

Going through the same text and the same reader keeps one set of rules:
a dict sweeps exactly the runs that the equivalent file does, numbered alike.
"""

import json
import math
import re

_BARE_KEY = re.compile(r"[A-Za-z0-9_-]+")


def _key(key):
    key = str(key)
    return key if _BARE_KEY.fullmatch(key) else json.dumps(key)


def _scalar(key, value):
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if math.isfinite(value):
            return repr(value)
        raise ValueError(f"{key} {value!r}: not a finite number")
    if isinstance(value, str):
        return json.dumps(value)  # a TOML basic string: JSON's escapes are TOML's
    try:
        return str(value.__index__())  # numpy integers
    except (AttributeError, TypeError):
        raise ValueError(f"{key} {value!r}: expected an integer, a string or a boolean") from None


def _value(key, value):
    if isinstance(value, (list, tuple, range)):
        return "[" + ", ".join(_scalar(key, item) for item in value) + "]"
    return _scalar(key, value)


def toml_text(config):
    """TOML text for a dict of top-level keys and a 'parameters' dict, keeping the dict's key order."""
    if not isinstance(config, dict):
        raise ValueError(f"config {config!r}: expected a path to a TOML file or a dict")
    lines = []
    tables = []
    for key, value in config.items():
        if isinstance(value, dict):
            tables.append((key, value))
        else:
            lines.append(f"{_key(key)} = {_value(key, value)}")
    for name, table in tables:
        lines.append("")
        lines.append(f"[{_key(name)}]")
        for key, value in table.items():
            if isinstance(value, dict):
                raise ValueError(f"{name}.{key}: tables do not nest (accepted: a value or a list of values)")
            lines.append(f"{_key(key)} = {_value(f'{name}.{key}', value)}")
    return "\n".join(lines) + "\n"
