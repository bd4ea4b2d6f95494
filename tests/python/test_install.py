"""cmake --install lays out a package that imports and runs without the build tree."""

import os
import shutil
import subprocess
import sys

import pytest


def test_installed_package_imports_and_runs(bin_dir, tmp_path):
    cmake = shutil.which("cmake")
    if cmake is None:
        pytest.skip("no cmake on PATH")
    done = subprocess.run([cmake, "--install", str(bin_dir), "--prefix", str(tmp_path)], capture_output=True,
                          text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    installed = list(tmp_path.glob("lib/python3*/dist-packages/dramolex/__init__.py"))
    assert len(installed) == 1, list(tmp_path.rglob("*"))
    site = installed[0].parent.parent
    env = {key: value for key, value in os.environ.items() if key != "PYTHONPATH"}
    env["PYTHONPATH"] = str(site)
    code = ("import dramolex, dramolex.plots; r = dramolex.run(agents=101, rounds=100, seed=1); "
            "print(dramolex.__file__); print(r.summary['observables']['alpha'])")
    ran = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, env=env, cwd=tmp_path,
                         timeout=120)
    assert ran.returncode == 0, ran.stderr
    location, alpha = ran.stdout.split()
    assert location.startswith(str(site))
    assert float(alpha) == 8 / 101
