"""The Python package: arrays, determinism, no copies, the GIL, recordings and bad input."""

import json
import os
import subprocess
import sys
import threading
from pathlib import Path

import numpy as np
import pytest

import tryzone

ROOT = Path(__file__).resolve().parents[2]
SIM = Path(os.environ.get("TRYZONE_SIM", ROOT / "build" / "tryzone-sim"))


def random_actions(rng, batch, matches=None):
    """Any code, any point, any slot, for every controlled player."""
    shape = (matches or batch.num_matches, len(batch.controlled))
    actions = np.empty(shape + (3,), dtype=np.int32)
    actions[..., 0] = rng.integers(0, 4, shape)
    actions[..., 1] = rng.integers(-1, 1281, shape)
    actions[..., 2] = rng.integers(0, 721, shape)
    passes = actions[..., 0] == tryzone.PASS
    actions[..., 1][passes] = rng.integers(-1, 10, int(passes.sum()))
    return actions


def play(num_matches, threads, steps, seed=11):
    """Observations and rewards of every step, each match's actions drawn from its own generator."""
    batch = tryzone.VecMatch(num_matches, [1, 3, 6], seed=seed, minutes=0.05, decision_frames=5, threads=threads)
    generators = [np.random.default_rng(i) for i in range(num_matches)]
    seen = [batch.reset().copy()]
    rewards = []
    for _ in range(steps):
        actions = np.concatenate([random_actions(g, batch, 1) for g in generators])
        observations, reward, _, _, _ = batch.step(actions)
        seen.append(observations.copy())
        rewards.append(reward.copy())
    return np.stack(seen), np.stack(rewards)


def test_arrays_have_the_documented_shapes_and_dtypes():
    batch = tryzone.VecMatch(3, [0, 9], seed=1, minutes=0.1)
    assert (batch.num_matches, batch.controlled, batch.decision_frames) == (3, [0, 9], tryzone.DEFAULT_DECISION_FRAMES)
    observations = batch.reset()
    assert observations.shape == (3, 2, tryzone.OBSERVATION_SIZE) and observations.dtype == np.float32
    actions = batch.builtin_actions()
    assert actions.shape == (3, 2, 3) and actions.dtype == np.int32 and (actions == tryzone.BUILTIN).all()
    observations, rewards, terminations, truncations, infos = batch.step(actions)
    assert rewards.shape == (3, 2) and rewards.dtype == np.float32
    assert terminations.shape == truncations.shape == (3,) and truncations.dtype == np.bool_
    assert list(infos["match"]) == [1, 2, 3]
    # Slot, team and the ego frame: the red player at slot 9 sees his team attack towards growing x too.
    assert list(observations[0, :, 0]) == [0, 9] and list(observations[0, :, 1]) == [0, 1]
    raw = batch.raw_state()
    assert raw["positions"].shape == (3, 10, 2) and raw["frame"][0] == batch.decision_frames
    red = raw["positions"][0, 9]
    assert observations[0, 1, 3] == pytest.approx(1280 - red[0]) and observations[0, 1, 4] == pytest.approx(red[1])


def test_same_seed_and_actions_give_the_same_matches_for_any_batch_size_and_thread_count():
    alone, alone_rewards = play(2, None, 30)
    wide, wide_rewards = play(5, 3, 30)
    np.testing.assert_array_equal(alone, wide[:, :2])
    np.testing.assert_array_equal(alone_rewards, wide_rewards[:, :2])
    assert not np.array_equal(wide[:, 0], wide[:, 1])


def test_observations_are_views_of_the_batchs_own_buffer():
    batch = tryzone.VecMatch(2, range(10), seed=3, minutes=0.1)
    first = batch.reset()
    second, rewards, _, _, _ = batch.step(batch.builtin_actions())
    assert np.shares_memory(first, second) and first.base is batch
    third, more_rewards, _, _, _ = batch.step(batch.builtin_actions())
    assert np.shares_memory(second, third) and np.shares_memory(rewards, more_rewards)


def test_the_gil_is_released_while_a_batch_steps():
    # With a very long switch interval the interpreter never takes the GIL from a thread: the main thread runs only
    # when the stepping thread lets go of it.
    slow = tryzone.VecMatch(8, range(10), seed=5, minutes=10, decision_frames=20000)
    fast = tryzone.VecMatch(1, [0], seed=5, minutes=1)
    slow.reset()
    fast.reset()
    state = {"started": False, "finished": False}

    def step_slow():
        state["started"] = True
        slow.step(slow.builtin_actions())
        state["finished"] = True

    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)
    try:
        worker = threading.Thread(target=step_slow)
        worker.start()
        while not state["started"]:
            threading.Event().wait(0.001)
        threading.Event().wait(0.05)
        fast.step(fast.builtin_actions())
        stepped_alongside = not state["finished"]
        worker.join()
    finally:
        sys.setswitchinterval(interval)
    assert stepped_alongside


@pytest.mark.skipif(not SIM.exists(), reason=f"no simulator at {SIM}: build tryzone-sim or set TRYZONE_SIM")
def test_builtin_batches_log_and_random_and_brain_recordings_replay_as_the_simulator_plays_them(tmp_path):
    events = tmp_path / "batch.jsonl"
    batch = tryzone.VecMatch(2, range(10), seed=77, minutes=0.2, events=events)
    batch.reset()
    while not batch.step(batch.builtin_actions())[3].any():
        pass
    del batch
    simulated = tmp_path / "sim.jsonl"
    subprocess.run([SIM, "--seed", "77", "--matches", "2", "--minutes", "0.2", "--events", simulated],
                   check=True, stdout=subprocess.DEVNULL)
    assert events.read_bytes() == simulated.read_bytes()

    record = tmp_path / "recordings"
    # Blue's orders from Python, red's from a brain: the recordings keep both.
    batch = tryzone.VecMatch(2, range(5), seed=78, minutes=0.2, events=events, record_dir=record, red_brain="random")
    batch.reset()
    rng = np.random.default_rng(2)
    while not batch.step(random_actions(rng, batch))[3].any():
        pass
    del batch
    logged = [json.loads(line) for line in events.read_text().splitlines()]
    assert any(line["event"] == "pass" for line in logged)
    for number in (1, 2):
        replayed = tmp_path / f"replay-{number}.jsonl"
        subprocess.run([SIM, "--replay", record / f"match-{number}.jsonl", "--events", replayed],
                       check=True, stdout=subprocess.DEVNULL)
        expected = [dict(line, match=1) for line in logged if line["match"] == number]
        assert [json.loads(line) for line in replayed.read_text().splitlines()] == expected


@pytest.mark.parametrize(
    "change, error, words",
    [
        (lambda a: a.astype(np.int64), TypeError, "dtype int32"),
        (lambda a: a[:, :1], ValueError, "shape"),
        (lambda a: a.tolist(), TypeError, "numpy array"),
        (lambda a: np.where(np.arange(3) == 0, 7, a).astype(np.int32), ValueError, "unknown action code 7"),
        (lambda a: np.where(np.arange(3) == 0, tryzone.PASS, np.where(np.arange(3) == 1, 10, a)).astype(np.int32),
         ValueError, "slot 10"),
    ],
)
def test_bad_actions_raise_a_clear_error_and_play_nothing(change, error, words):
    batch = tryzone.VecMatch(2, [2, 7], seed=1, minutes=0.1)
    batch.reset()
    with pytest.raises(error, match=words):
        batch.step(change(batch.builtin_actions()))
    assert list(batch.raw_state()["frame"]) == [0, 0]


@pytest.mark.parametrize("controlled", [[10], [-1], [3, 3]])
def test_bad_slots_raise(controlled):
    with pytest.raises(ValueError, match="slot"):
        tryzone.VecMatch(1, controlled, seed=1, minutes=1)


@pytest.mark.parametrize("laws", [None, ROOT / "laws" / "parts.laws.json", ROOT / "laws" / "rugby.laws.json"])
def test_a_move_far_off_the_pitch_keeps_the_player_on_it(laws):
    """Two blue players of the top lane sent to (1e5, -1e5) and (-1e5, -1e5) run to the ends of the pitch and stop
    there, under any laws; everyone else holds, so that no try restarts play meanwhile."""
    batch = tryzone.VecMatch(1, list(range(10)), seed=3, minutes=0.2, decision_frames=10, laws=laws)
    batch.reset()
    actions = np.zeros((1, 10, 3), dtype=np.int32)
    actions[0, :, 0] = tryzone.HOLD
    actions[0, 0] = (tryzone.MOVE, 100000, -100000)
    actions[0, 1] = (tryzone.MOVE, -100000, -100000)
    xs = []
    for _ in range(100):
        batch.step(actions)
        xs.append(batch.raw_state()["positions"][0, [0, 1], 0].copy())
    xs = np.array(xs)
    assert xs.min() >= -1e-3 and xs.max() <= 1280 + 1e-3
    assert xs[-1][0] == pytest.approx(1280, abs=1e-3) and xs[-1][1] == pytest.approx(0, abs=1e-3)


def test_a_refused_laws_file_raises_its_line(tmp_path):
    bad = tmp_path / "bad.laws.json"
    bad.write_text('{"forwardPass": "yes"}')
    with pytest.raises(ValueError, match="bad.laws.json: /forwardPass: not true or false"):
        tryzone.VecMatch(1, [0], seed=1, minutes=0.1, laws=bad)


def test_a_settings_file_loads_silently_and_a_bad_one_raises_with_its_reason(tmp_path, capfd):
    good = tmp_path / "good.json"
    players = [
        {"PlayerNumber": slot, "Team": tryzone.envs.TEAMS[slot // tryzone.TEAM_SIZE].capitalize(),
         "StartPosition": [100.0 + slot, 200.0], "Radius": 25.0, "Speed": 300.0, "LuckMultiplier": 1.0,
         "EnemyIsTooNearDistance": 100.0, "PassCooldown": 1.0, "PassTime": 0.5}
        for slot in range(tryzone.PLAYERS)
    ]
    good.write_text(json.dumps(players))
    tryzone.VecMatch(1, [0], seed=1, minutes=0.1, settings=good)
    assert capfd.readouterr() == ("", "")

    players[8]["Team"] = "Blue"
    good.write_text(json.dumps(players))
    with pytest.warns(UserWarning, match="slot 8 is on the red side"):
        tryzone.VecMatch(1, [0], seed=1, minutes=0.1, settings=good)

    bad = tmp_path / "bad.json"
    bad.write_text(json.dumps(players[:3] + [{"PlayerNumber": 3}]))
    with pytest.raises(ValueError, match=r"bad\.json: Invalid JSON format: missing keys(.|\n)*Warning: slot 3"):
        tryzone.VecMatch(1, [0], seed=1, minutes=0.1, settings=bad)
    assert capfd.readouterr() == ("", "")
