"""VecMatch's files go through the programs' file gate: refused in the constructor, before any play, and no file of
the user's ever changes; and random arguments, slots and actions raise a Python exception or play, never crash."""

import os
import re
import signal

import numpy as np
import pytest
from hypothesis import HealthCheck, given, settings, strategies as st

import tryzone

SETTINGS = "PlayersSettings.json"


def fifo(path):
    os.mkfifo(path)
    return path


def link(target, path):
    os.symlink(target, path)
    return path


def snapshot():
    """Every name under the working folder with its contents, or its link's target."""
    seen = {}
    for folder, _, names in os.walk("."):
        for name in names:
            path = os.path.join(folder, name)
            seen[path] = os.readlink(path) if os.path.islink(path) else (
                open(path, "rb").read() if os.path.isfile(path) else "special")
    return seen


@pytest.mark.parametrize(
    "make, words",
    [
        (lambda: {"events": "./" + SETTINGS}, "the settings file every plain run reads"),
        (lambda: {"events": link(SETTINGS, "ev.jsonl")}, "same file"),
        (lambda: {"events": "rec/match-1.jsonl", "record_dir": "rec"}, "two writers"),
        (lambda: {"record_dir": "rec", "before": lambda: link("../" + SETTINGS, "rec/match-1.jsonl")},
         "rec/match-1.jsonl is a symbolic link"),
        (lambda: {"record_dir": SETTINGS}, "not a folder"),
        (lambda: {"events": fifo("ev.fifo")}, "not a regular file (a FIFO)"),
        (lambda: {"events": "-"}, "standard output"),
        (lambda: {"events": "no/such/ev.jsonl"}, "No such file or directory"),
        (lambda: {"events": "Hack-Regular.ttf"}, "the font"),
    ],
)
def test_outputs_the_gate_refuses_raise_in_the_constructor_and_touch_nothing(tmp_path, monkeypatch, make, words):
    monkeypatch.chdir(tmp_path)
    with open(SETTINGS, "w") as out:
        out.write("[]")  # any text: the gate looks at names, not contents
    with open("Hack-Regular.ttf", "w") as out:
        out.write("font")
    os.mkdir("rec")
    arguments = make()
    arguments.pop("before", lambda: None)()
    before = snapshot()
    # A FIFO must be refused at once; a blocking open would hang here for ever.
    signal.alarm(30)
    try:
        with pytest.raises(RuntimeError, match=re.escape(words)):
            tryzone.VecMatch(1, [0], seed=1, minutes=0.01, **arguments)
    finally:
        signal.alarm(0)
    assert snapshot() == before


def test_the_settings_file_read_is_never_written(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    batch = tryzone.VecMatch(1, [0], seed=1, minutes=0.01)
    del batch
    mine = tmp_path / "mine.json"
    # Written out by a plain run of the simulator's defaults is not needed: the game's own file will do.
    import shutil
    from pathlib import Path
    shutil.copy(Path(__file__).resolve().parents[2] / SETTINGS, mine)
    text = mine.read_bytes()
    with pytest.raises(RuntimeError, match="is the same file as settings"):
        tryzone.VecMatch(1, [0], seed=1, minutes=0.01, settings=mine, events=mine)
    assert mine.read_bytes() == text


def test_a_link_made_after_the_constructor_is_refused_never_written_through(tmp_path):
    record = tmp_path / "rec"
    batch = tryzone.VecMatch(1, [0], seed=3, minutes=0.01, record_dir=record)
    precious = tmp_path / "precious.txt"
    precious.write_text("precious")
    (record / "match-1.jsonl").symlink_to(precious)
    batch.reset()
    with pytest.raises(RuntimeError, match="match-1.jsonl: not a regular file"):
        while not batch.step(batch.builtin_actions())[3].any():
            pass
    assert precious.read_text() == "precious"
    assert (record / "match-1.jsonl").is_symlink()


def test_minutes_past_the_simulators_cap_are_refused():
    with pytest.raises(ValueError, match="100000"):
        tryzone.VecMatch(1, [0], seed=1, minutes=1e6)


ARGUMENT_ERRORS = (ValueError, TypeError, RuntimeError, OverflowError)


@settings(max_examples=40, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(
    num_matches=st.integers(-1, 3),
    controlled=st.lists(st.integers(-2, 11), max_size=4),
    seed=st.integers(-1, 2**64),
    minutes=st.one_of(st.floats(allow_nan=True, allow_infinity=True), st.floats(0.0, 0.05)),
    decision_frames=st.integers(-1, 40),
    threads=st.one_of(st.none(), st.integers(-1, 3)),
    steps=st.lists(
        st.tuples(st.sampled_from(["int32", "int64", "float32"]), st.integers(-2, 12), st.integers(-5000, 5000),
                  st.integers(-5000, 5000), st.booleans()),
        max_size=4),
)
def test_random_batches_and_actions_raise_or_play(num_matches, controlled, seed, minutes, decision_frames, threads,
                                                  steps):
    try:
        batch = tryzone.VecMatch(num_matches, controlled, seed=seed, minutes=minutes,
                                 decision_frames=decision_frames, threads=threads)
    except ARGUMENT_ERRORS:
        return
    observations = batch.reset()
    assert observations.shape == (num_matches, len(controlled), tryzone.OBSERVATION_SIZE)
    for dtype, code, x, y, right_shape in steps:
        shape = (num_matches, len(controlled), 3) if right_shape else (num_matches + 1, 3)
        actions = np.empty(shape, dtype=dtype)
        actions[..., 0] = code
        actions[..., 1] = x
        actions[..., 2] = y
        frames = batch.raw_state()["frame"].copy()
        try:
            observations, rewards, _, truncations, _ = batch.step(actions)
        except ARGUMENT_ERRORS:
            assert (batch.raw_state()["frame"] == frames).all(), "a refused step plays nothing"
            continue
        assert np.isfinite(observations).all() and np.isfinite(rewards).all()
        assert truncations.dtype == np.bool_
