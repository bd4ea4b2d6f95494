"""Shared fixtures of the dramolex package's tests.

Run with PYTHONPATH=<build>/python; the runner programs are taken from the
same build directory (or DRAMOLEX_BIN_DIR).
"""

import os
import pathlib
import subprocess

import matplotlib

matplotlib.use("Agg")

import pytest  # noqa: E402

import dramolex  # noqa: E402


@pytest.fixture(scope="session")
def bin_dir():
    given = os.environ.get("DRAMOLEX_BIN_DIR")
    directory = pathlib.Path(given) if given else pathlib.Path(dramolex.__file__).resolve().parents[2]
    if not (directory / "dramolex-run").exists():
        pytest.fail(f"no dramolex-run in {directory}: build it or set DRAMOLEX_BIN_DIR")
    return directory


def run_program(path, *args, cwd=None):
    """Runs a program, failing the test with its stderr when it does not exit 0."""
    done = subprocess.run([str(path), *map(str, args)], cwd=cwd, capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, f"{path.name} {' '.join(map(str, args))} exited {done.returncode}: {done.stderr}"
    return done
