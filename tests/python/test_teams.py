"""One team definition everywhere: VecMatch with tactics and the simulator with the same tactics, and a policy file
played in C++ (--brain SLOTS=policy:FILE) and with numpy in Python, give the same event log byte for byte."""

import json
import os
import sys
import subprocess
from pathlib import Path

import numpy as np
import pytest

import tryzone
from tryzone import COARSE_ACTIONS
from tryzone.policy import Policy, save

ROOT = Path(__file__).resolve().parents[2]
SIM = Path(os.environ.get("TRYZONE_SIM", ROOT / "build" / "tryzone-sim"))
FAST_BREAK = ROOT / "tactics" / "fast-break.tactics.json"
SHIPPED = ROOT / "examples" / "red-policy.safetensors"
TEAM = ROOT / "ladder" / "fast-break-runners.team.json"
needs_sim = pytest.mark.skipif(not SIM.exists(), reason=f"no simulator at {SIM}: build tryzone-sim or set TRYZONE_SIM")


def run_batch(batch, act):
    """Steps every match to the end of its first episode, `act` choosing the actions from the observations."""
    observations = batch.reset()
    while True:
        observations, _, _, truncations, _ = batch.step(act(observations))
        if truncations[0]:
            return


@needs_sim
@pytest.mark.parametrize("team", [{"blue_tactics": FAST_BREAK},
                                  {"red_tactics": FAST_BREAK, "laws": ROOT / "laws" / "rugby.laws.json"},
                                  {"red_brain": "runner"}, {"red_team": TEAM}])
def test_vecmatch_with_a_team_logs_what_the_simulator_logs(tmp_path, team):
    controlled = range(0, 5) if "red_brain" in team or "red_team" in team else range(5, 10)
    batch = tryzone.VecMatch(4, controlled, seed=7, minutes=0.3, threads=2, events=tmp_path / "v.jsonl", **team)
    run_batch(batch, lambda _: batch.builtin_actions())
    del batch
    options = [[f"--{key.replace('_', '-')}", str(value)] for key, value in team.items()]
    subprocess.run([SIM, "--seed", "7", "--minutes", "0.3", "--matches", "4", "--events", tmp_path / "s.jsonl"]
                   + sum(options, []), check=True, capture_output=True)
    assert (tmp_path / "v.jsonl").read_bytes() == (tmp_path / "s.jsonl").read_bytes()
    # Without the tactics, the match is another: the option is not ignored.
    plain = tryzone.VecMatch(1, [5], seed=7, minutes=0.3, events=tmp_path / "p.jsonl")
    run_batch(plain, lambda _: plain.builtin_actions())
    del plain
    assert not (tmp_path / "s.jsonl").read_text().startswith((tmp_path / "p.jsonl").read_text())


def restarter(path):
    """A coarse-v2 policy file: with the ball, back over his own line in his own end (x below 500 in his ego frame)
    and for the try line elsewhere; without it, his state graph."""
    weights = np.zeros((7, tryzone.OBSERVATION_SIZE))
    weights[4, 48] = 3.0
    weights[6, 48], weights[6, 3] = 8.0, -0.01
    save(path, [(weights, np.zeros(7))], 12,
         scale=np.ones(tryzone.OBSERVATION_SIZE, dtype=np.float32), action_set="coarse-v2")
    return path


@pytest.mark.parametrize("team, says", [({"red_team": TEAM, "red_brain": "hold"}, "red_team excludes"),
                                        ({"red_team": TEAM, "red_tactics": FAST_BREAK}, "red_team excludes"),
                                        ({"blue_team": "absent.team.json"}, "cannot read absent.team.json"),
                                        ({"blue_team": FAST_BREAK}, "not a team file")])
def test_a_bad_team_or_one_beside_its_sides_tactics_is_refused(team, says):
    with pytest.raises(ValueError, match=says):
        tryzone.VecMatch(1, [], seed=1, minutes=0.1, **team)


@needs_sim
@pytest.mark.parametrize("slots, file, laws", [([5, 6, 7, 8, 9], None, None), ([0, 3], None, None),
                                               ([0, 1, 2, 3, 4], "restarter", ROOT / "laws" / "rugby.laws.json")])
def test_a_policy_file_plays_the_same_match_in_cpp_and_numpy(tmp_path, slots, file, laws):
    path = restarter(tmp_path / "r.safetensors") if file else SHIPPED
    policy = Policy(path)
    batch = tryzone.VecMatch(2, slots, seed=5, minutes=0.5, decision_frames=policy.decision_frames,
                             events=tmp_path / "py.jsonl", laws=laws)
    run_batch(batch, policy.act)
    del batch
    brain = f"{','.join(map(str, slots))}=policy:{path}"
    subprocess.run([SIM, "--seed", "5", "--minutes", "0.5", "--matches", "2", "--brain", brain, "--events",
                    tmp_path / "cpp.jsonl"] + (["--laws", laws] if laws else []), check=True, capture_output=True)
    assert (tmp_path / "py.jsonl").read_bytes() == (tmp_path / "cpp.jsonl").read_bytes()


@needs_sim
def test_bad_policy_files_are_one_line_and_status_2(tmp_path):
    good = tmp_path / "good.safetensors"
    save(good, [(np.zeros((6, tryzone.OBSERVATION_SIZE)), np.eye(6)[0])], 12)
    wrong_version = tmp_path / "version.safetensors"
    from safetensors.numpy import load_file, save_file

    tensors = load_file(good)
    save_file(tensors, wrong_version, metadata={"format": "tryzone-policy", "observation_version": "0",
                                                "action_set": "coarse-v1", "decision_frames": "12"})
    wrong_shape = tmp_path / "shape.safetensors"
    save(wrong_shape, [(np.zeros((6, 40)), np.zeros(6))], 12)
    truncated = tmp_path / "cut.safetensors"
    truncated.write_bytes(good.read_bytes()[:-10])
    text = tmp_path / "text.safetensors"
    text.write_text("hello, not tensors\n")
    slower = tmp_path / "slower.safetensors"
    save(slower, [(np.zeros((6, tryzone.OBSERVATION_SIZE)), np.eye(6)[0])], 24)
    cases = [(wrong_version, "observations of version 0"), (wrong_shape, "layer.0.weight is not F32"),
             (truncated, "cut short"), (text, "not a safetensors file"), (tmp_path / "none.safetensors", "cannot read")]
    for file, words in cases:
        run = subprocess.run([SIM, "--brain", f"5-9=policy:{file}", "--minutes", "0.01"], capture_output=True,
                             text=True)
        assert (run.returncode, run.stdout, run.stderr.count("\n")) == (2, "", 1), (file, run.stderr)
        assert words in run.stderr, run.stderr
    mixed = subprocess.run([SIM, "--brain", f"5-9=policy:{slower}", "--brain", f"0=policy:{good}", "--minutes",
                            "0.01"], capture_output=True, text=True)
    assert mixed.returncode == 2 and "decides every" in mixed.stderr
    # Python refuses what C++ refuses.
    with pytest.raises(ValueError, match="version 0"):
        Policy(wrong_version)


def test_a_saved_policy_chooses_among_the_coarse_actions(tmp_path):
    file = tmp_path / "p.safetensors"
    save(file, [(np.zeros((6, tryzone.OBSERVATION_SIZE)), np.arange(6.0))], 12)
    policy = Policy(file)
    observations = np.zeros((1, 2, tryzone.OBSERVATION_SIZE), dtype=np.float32)
    assert policy.choose(observations).tolist() == [[5, 5]]
    assert policy.act(observations).tolist() == [[list(COARSE_ACTIONS[5])] * 2]


def test_a_policy_written_from_the_docs_is_rated_against_named_entrants(tmp_path):
    text = (ROOT / "docs" / "python.md").read_text()
    code = text.split("## Rating your own policy against the ladder")[1].split("```python\n")[1].split("```")[0]
    (tmp_path / "mymodule.py").write_text(code)
    ratings = tmp_path / "ladder.json"
    ratings.write_text('{"table": [{"tactic": "builtin", "rating": -100}, {"tactic": "runner", "rating": 100}]}')
    out = subprocess.run([sys.executable, "-m", "tryzone.evaluate", "mymodule:policy", "--against", "builtin",
                          "runner", "--matches", "2", "--minutes", "0.5", "--ratings", ratings],
                         cwd=tmp_path, check=True, capture_output=True, text=True).stdout
    lines = [json.loads(line) for line in out.splitlines()]
    assert [line.get("opponent") for line in lines[:2]] == ["builtin", "runner"]
    for line in lines[:2]:
        assert line["wins"] + line["draws"] + line["losses"] == 4 and set(line) >= {"blue", "red", "win_rate"}
    low, value, high = lines[2]["rating"]
    assert low < value < high
