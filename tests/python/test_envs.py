"""The reinforcement-learning conventions, checked by their libraries' own checkers, and the pictures and the
evaluation built on them."""

import json
import os
import subprocess
import sys

import numpy as np
import pytest
from gymnasium.utils.env_checker import check_env
from pettingzoo.test import parallel_api_test, parallel_seed_test

import tryzone

SHORT = {"minutes": 0.2}


def test_parallel_env_passes_pettingzoos_checkers():
    parallel_api_test(tryzone.parallel_env(), num_cycles=1000)
    parallel_api_test(tryzone.parallel_env(controlled=["red_7", "blue_0"], **SHORT), num_cycles=1000)
    parallel_seed_test(lambda: tryzone.parallel_env(**SHORT))


def test_team_env_passes_gymnasiums_checker_and_ends_with_the_matchs_last_observation():
    check_env(tryzone.team_env(team="red").unwrapped)
    env = tryzone.team_env(team="blue", **SHORT)
    observations, _ = env.reset(seed=4)
    assert observations.shape == (5, tryzone.OBSERVATION_SIZE) and list(observations[:, 0]) == [0, 1, 2, 3, 4]
    truncated, steps = False, 0
    while not truncated:
        observations, _, terminated, truncated, _ = env.step(env.action_space.sample())
        steps += 1
        assert not terminated
    # The ended match's clock, not the next one's: no time left.
    assert observations[0, 54] == 0 and steps == -(-round(0.2 * 60 / 0.00835) // 12)


def test_vector_env_restarts_in_the_same_step_and_plays_the_team_env_matches():
    env = tryzone.vector_env(3, team="red", **SHORT)
    assert env.num_envs == 3 and env.single_action_space.shape == (5, 3)
    assert env.metadata["autoreset_mode"].name == "SAME_STEP"
    observations, _ = env.reset(seed=9)
    single = tryzone.team_env(team="red", **SHORT)
    np.testing.assert_array_equal(observations[0], single.reset(seed=9)[0])
    actions = np.zeros((3, 5, 3), dtype=np.int32)
    for _ in range(200):
        observations, rewards, _, truncations, infos = env.step(actions)
        single_observations, single_reward, _, single_truncated, _ = single.step(actions[0])
        assert rewards[0] == single_reward and truncations[0] == single_truncated
        if truncations.all():
            break
    np.testing.assert_array_equal(infos["final_obs"][0], single_observations)
    assert infos["_final_obs"].all() and observations[0, 0, 53] == 0


def test_rgb_array_is_the_match_drawn_as_the_game_draws_it_with_no_display(tmp_path):
    # In a process without DISPLAY: the picture is drawn by cairo, and RecordVideo takes it.
    code = """
import json, sys, numpy as np, gymnasium, tryzone
env = tryzone.team_env(team="red", render_mode="rgb_array", minutes=0.2)
env.reset(seed=2)
env.step(env.action_space.sample())
first = env.render()
env.step(env.action_space.sample())
red_text = (first[10:35, 20:170, 0] > 180) & (first[10:35, 20:170, 1] < 90)
print(json.dumps({"shape": list(first.shape), "in_goal": first[700, 40].tolist(), "field": first[716, 640].tolist(),
                  "score_ink": int(red_text.sum()), "moved": bool((first != env.render()).any())}))
video = gymnasium.wrappers.RecordVideo(tryzone.team_env(render_mode="rgb_array", minutes=0.05), sys.argv[1])
video.reset(seed=1)
while not any(video.step(video.action_space.sample())[2:4]):
    pass
video.close()
"""
    environment = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    run = subprocess.run([sys.executable, "-c", code, str(tmp_path)], env=environment, capture_output=True, text=True,
                         timeout=120)
    assert run.returncode == 0, run.stderr
    result = json.loads(run.stdout.splitlines()[-1])
    assert result["shape"] == [720, 1280, 3] and result["moved"]
    assert result["in_goal"] == [90, 151, 21] and result["field"] == [112, 189, 26]
    assert result["score_ink"] > 100  # "Score Bleu : 0" in red
    assert list(tmp_path.glob("*.mp4"))


def test_the_shipped_policy_still_beats_the_built_in_red():
    # Guards the shipped file against a change of the features it was trained on; seeded, so not a flaky margin.
    from tryzone.evaluate import play
    from tryzone.policy import Policy

    shipped = Policy(os.path.join(os.path.dirname(__file__), "..", "..", "examples", "red-policy.safetensors"))
    trained, builtin = (play(p, "red", 12, 11, 5.0, 2) for p in (shipped.act, None))
    assert trained["wins"] >= 10 and trained["wins"] > builtin["wins"] + 5
