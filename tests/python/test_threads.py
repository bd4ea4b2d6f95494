"""Runs and steps release the GIL, so Python threads run alongside them."""

import threading

import dramolex


def python_work_during(call):
    """How many times this thread got to run Python while `call` ran on another thread."""
    inside = threading.Event()
    finished = threading.Event()

    def worker():
        inside.set()
        try:
            call()
        finally:
            finished.set()

    thread = threading.Thread(target=worker)
    thread.start()
    inside.wait()
    count = 0
    while not finished.is_set():
        count += 1
    thread.join()
    return count


def test_run_releases_the_gil():
    # About a quarter of a second of play; holding the GIL, the loop would barely turn.
    assert python_work_during(lambda: dramolex.run(agents=4001, rounds=1500, seed=1)) > 20_000


def test_step_releases_the_gil():
    g = dramolex.Game(agents=4001, seed=1)
    assert python_work_during(lambda: g.step(1500)) > 20_000


def test_reading_a_game_while_it_steps_waits_for_the_step():
    g = dramolex.Game(agents=2001, seed=1)
    thread = threading.Thread(target=g.step, args=(400,))
    thread.start()
    rounds = g.rounds  # never a half-grown table
    assert len(rounds) in (0, 400) or len(rounds) == rounds["round"].iloc[-1] + 1
    thread.join()
    assert g.round == 400 and len(g.rounds) == 400


def test_ctrl_c_stops_a_long_run():
    import subprocess
    import sys

    code = """
import _thread, threading, dramolex
threading.Timer(0.3, _thread.interrupt_main).start()
try:
    dramolex.run(agents=4001, rounds=10**12, seed=1)
except KeyboardInterrupt:
    print("interrupted")
"""
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=120)
    assert done.stdout.strip() == "interrupted", done.stderr
