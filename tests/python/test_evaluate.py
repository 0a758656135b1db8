"""python -m tryzone.evaluate, called in this process: its lines for each opponent and side, the rating against a
table, the Wilson intervals at their ends, and the policies it takes."""

import json
import math

import numpy as np

import pytest

import tryzone
from tryzone.evaluate import load_policy, main, opponents, play, rating, wilson
from tryzone.policy import save


def lines(capsys, *argv):
    main([str(arg) for arg in argv])
    return [json.loads(line) for line in capsys.readouterr().out.splitlines()]


def test_evaluate_prints_a_line_per_opponent_and_the_rating_against_the_table(tmp_path, capsys):
    policy = tmp_path / "builtin.safetensors"
    # A one-layer network that always picks BUILTIN.
    save(policy, [(np.zeros((6, tryzone.OBSERVATION_SIZE)), np.eye(6)[0])], 12)
    table = tmp_path / "ladder.json"
    table.write_text('{"table": [{"tactic": "builtin", "rating": -100}, {"tactic": "runner", "rating": 100}]}')
    first, second, last = lines(capsys, policy, "--against", "builtin", "runner", "--matches", 3, "--seed", 3,
                                "--minutes", 0.3, "--ratings", table)
    assert [first["opponent"], second["opponent"]] == ["builtin", "runner"]
    for line in (first, second):
        for key in ("wins", "draws", "losses"):
            assert line[key] == line["blue"][key] + line["red"][key]
        assert line["wins"] + line["draws"] + line["losses"] == 6
        assert line["win_rate"] == wilson(line["wins"], 6)
    # Always BUILTIN is the built-in side itself: the same matches as the built-in side's.
    assert first["red"] == play(None, "red", 3, 3, 0.3, 2) and first["blue"] == play(None, "blue", 3, 3, 0.3, 2)
    results = {line["opponent"]: {k: line[k] for k in ("wins", "draws", "losses")} for line in (first, second)}
    assert last == {"rating": rating(results, {"builtin": -100, "runner": 100}), "ratings": str(table)}
    red, rated = lines(capsys, policy, "--against", "builtin", "--team", "red", "--matches", 2, "--minutes", 0.1,
                       "--ratings", tmp_path / "none.json")
    assert "blue" not in red and rated == {"rating": None, "ratings": None}


def test_wilson_intervals_and_ratings_at_their_ends():
    assert wilson(0, 0) == [0.0, 0.0, 1.0]
    assert wilson(0, 10)[:2] == [0.0, 0.0] and 0 < wilson(0, 10)[2] < 0.5
    assert wilson(10, 10)[1:] == [1.0, 1.0] and 0.5 < wilson(10, 10)[0] < 1
    assert wilson(30, 200) == pytest.approx([0.107, 0.15, 0.2065], abs=1e-3)
    even = rating({"a": {"wins": 2, "draws": 1, "losses": 2}}, {"a": 50})
    assert even[1] == 50 and even[0] < 50 < even[2]
    better = rating({"a": {"wins": 4, "draws": 1, "losses": 0}}, {"a": 50})
    assert better[1] > 50 and better[0] < better[1] < better[2]
    assert rating({"a": {"wins": 4, "draws": 1, "losses": 0}}, {"b": 50}) is None
    # Against one opponent the rating is his plus the log-odds of the score (with its drawn match more), however far
    # from 0 he is rated: a Newton iteration from 0 overflowed against a 467.6.
    for rated, wins, draws, losses in ((467.6, 3, 1, 0), (-2500.0, 0, 0, 9), (50.0, 2, 1, 2), (1e4, 60, 0, 0)):
        share = (wins + draws / 2 + 0.5) / (wins + draws + losses + 1)
        got = rating({"a": {"wins": wins, "draws": draws, "losses": losses}}, {"a": rated})
        assert got[1] == pytest.approx(rated + 400 / math.log(10) * math.log(share / (1 - share)), abs=0.2)


def test_policies_by_file_or_module_and_opponents_by_name_or_ladder(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "mine.py").write_text("class Slow:\n    decision_frames = 24\n    def act(self, o):\n        return o\n"
                                      "slow = Slow()\ndef quick(o):\n    return o\nnumber = 3\n")
    slow, frames = load_policy("mine:slow")
    assert frames == 24 and slow.__self__.__class__.__name__ == "Slow"
    assert load_policy("mine:quick")[1] == tryzone.DEFAULT_DECISION_FRAMES
    with pytest.raises(SystemExit, match="mine:number is neither a function nor an object with act"):
        load_policy("mine:number")
    file = tmp_path / "p.safetensors"
    save(file, [(np.zeros((6, 56)), np.zeros(6))], 36)
    assert load_policy(str(file))[1] == 36
    ladder = tmp_path / "ladder"
    ladder.mkdir()
    for name in ("b.team.json", "a.tactics.json", "c.safetensors", "notes.txt"):
        (ladder / name).write_text("")
    assert opponents(["builtin", "ladder", "x.team.json"], ladder) == [
        "builtin", str(ladder / "a.tactics.json"), str(ladder / "b.team.json"), str(ladder / "c.safetensors"),
        "x.team.json"]
