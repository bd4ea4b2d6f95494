"""Bad arguments raise ValueError naming the argument, the value and the accepted range."""

import pytest

import dramolex

BAD_ARGUMENTS = [
    # (keyword arguments, texts the message must hold)
    (dict(agents=0), ["agents", "0", "1 to 16348"]),
    (dict(agents=16349), ["agents", "16349", "1 to 16348"]),
    (dict(agents=101, groupers=101), ["groupers", "101", "0 to 100"]),
    (dict(agents=101, groupers=-1), ["groupers", "-1", "0 to 100"]),
    (dict(agents=101, groups=51), ["groups", "51", "50"]),
    (dict(agents=101, lifespan=0), ["lifespan", "0", "1 to 100"]),
    (dict(agents=101, lifespan=101), ["lifespan", "101", "1 to 100"]),
    (dict(agents=101, lifespan="never"), ["lifespan", "never", "off"]),
    (dict(agents=101, rounds=-1), ["rounds", "-1"]),
    (dict(agents=101, seed=2**32), ["seed", "4294967296", "4294967295"]),
    (dict(agents=101, seed=-1), ["seed", "-1", "4294967295"]),
    (dict(agents=101, seed=2**70), ["seed", str(2**70)]),
    (dict(agents=101, rounds=10, burn_in=11), ["burn_in", "11"]),
    (dict(agents=101, memory=0), ["memory", "0", "16"]),
    (dict(agents=101, strategies=17), ["strategies", "17", "16"]),
    (dict(agents=101, rule="worst"), ["rule", "worst", "record", "best"]),
    (dict(agents=101, replacement="maybe"), ["replacement", "maybe", "on", "off"]),
    (dict(agents=101, lifespans="random"), ["lifespans", "random", "fixed", "seeded"]),
    (dict(agents=101, rounds=2.5), ["rounds", "2.5"]),
    (dict(agents="many"), ["agents", "many"]),
    (dict(agents=True), ["agents", "True", "1 to 16348"]),
    (dict(agents=101, replacement=1), ["replacement", "1", "on or off"]),
]


@pytest.mark.parametrize("arguments, texts", BAD_ARGUMENTS, ids=[repr(a) for a, _ in BAD_ARGUMENTS])
@pytest.mark.parametrize("entry", ["run", "Game"])
def test_bad_argument_raises_value_error(entry, arguments, texts):
    with pytest.raises(ValueError) as caught:
        getattr(dramolex, entry)(**arguments)
    message = str(caught.value)
    assert "\n" not in message
    for text in texts:
        assert text in message, f"{text!r} not in {message!r}"


def test_unknown_argument_is_a_type_error():
    with pytest.raises(TypeError, match="agent"):
        dramolex.run(agent=101)


def test_negative_step_is_refused():
    with pytest.raises(ValueError, match="rounds.*-1"):
        dramolex.Game(agents=11, seed=1).step(-1)


def test_bad_sweep_config_names_the_key_and_value(tmp_path):
    with pytest.raises(ValueError, match=r"^config: agents '0': out of range \(accepted: 1 to 16348\)$"):
        dramolex.sweep({"rounds": 10, "parameters": {"agents": [0, 11]}})
    bad_file = tmp_path / "bad.toml"
    bad_file.write_text("rounds = 10\n\n[parameters]\nagents = [11, 0]\n")
    with pytest.raises(ValueError, match=r"bad.toml:4: agents '0'"):
        dramolex.sweep(bad_file)
    with pytest.raises(ValueError, match="colour"):
        dramolex.sweep({"rounds": 10, "parameters": {"agents": 11, "colour": 1}})
    missing = tmp_path / "missing.toml"
    with pytest.raises(ValueError, match="missing.toml"):
        dramolex.sweep(missing)


def test_bad_executor_is_refused():
    with pytest.raises(ValueError, match="executor"):
        dramolex.sweep({"rounds": 10, "parameters": {"agents": 11}}, executor="all of them")
