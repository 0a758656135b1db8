"""What trainers rely on: the registered ids, the coarse and normalised forms, the info conventions, the SB3 adapter
and rendering without a display."""

import os
import subprocess
import sys
import warnings
from pathlib import Path

import gymnasium
import numpy as np
import pytest
from gymnasium.utils.env_checker import check_env
from pettingzoo.test import api_test, parallel_api_test
from stable_baselines3.common.env_checker import check_env as sb3_check_env

import tryzone
from tryzone import tryzone_v0
from tryzone.envs import steps_per_match
from tryzone.policy import COARSE_TABLE, actions_for
from tryzone.sb3 import TryZoneVecEnv

SHORT = 0.2  # minutes
LAWS = Path(__file__).resolve().parents[2] / "laws"


@pytest.fixture
def registry(monkeypatch):
    """The ids as register_environments makes them when called, in a registry of their own: the import's are made
    before any test runs."""
    fresh = {}
    monkeypatch.setattr(gymnasium.envs.registration, "registry", fresh)
    monkeypatch.setattr(tryzone.registration, "registry", fresh)
    tryzone.registration.register_environments()
    with warnings.catch_warnings():
        warnings.simplefilter("error")  # a second call (a second import) overrides nothing
        tryzone.registration.register_environments()
    assert sorted(fresh) == ["tryzone/Team-v0", "tryzone/TeamExact-v0", "tryzone/TeamVector-v0"]
    return fresh


@pytest.mark.parametrize("env_id, forms", [("tryzone/Team-v0", ("coarse", "normalised")),
                                           ("tryzone/TeamExact-v0", ("exact", "raw"))])
def test_registered_environments_pass_both_checkers_and_end_with_the_match(registry, env_id, forms):
    env = gymnasium.make(env_id)
    assert registry[env_id].max_episode_steps == steps_per_match(3.0) == -(-tryzone.envs.frames_for(3.0) // 12)
    expected = tryzone.team_env(actions=forms[0], observations=forms[1])
    assert (env.observation_space, env.action_space) == (expected.observation_space, expected.action_space)
    assert env.unwrapped._config.options["minutes"] == 3.0
    check_env(env.unwrapped, skip_render_check=not os.environ.get("DISPLAY"))
    sb3_check_env(gymnasium.make(env_id), warn=False)
    short = gymnasium.make(env_id, minutes=SHORT, team="blue", max_episode_steps=steps_per_match(SHORT))
    short.reset(seed=1)
    # The env's own truncation and TimeLimit's fall on the same step.
    for step in range(1, steps_per_match(SHORT) + 1):
        truncated = short.step(short.action_space.sample())[3]
        assert truncated == (step == steps_per_match(SHORT))
    vector = gymnasium.make_vec(env_id, num_envs=2, minutes=SHORT, max_episode_steps=steps_per_match(SHORT))
    assert isinstance(vector.unwrapped, tryzone.vector.TryZoneVectorEnv)
    with pytest.raises(ValueError, match=f"max_episode_steps={steps_per_match(SHORT)}"):
        gymnasium.make_vec(env_id, num_envs=2, minutes=SHORT)
    trainer = gymnasium.make_vec("tryzone/TeamVector-v0", num_envs=2, max_episode_steps=steps_per_match(3.0))
    assert trainer.single_observation_space.shape == (280,) and trainer.single_action_space.shape == (5,)


def test_coarse_choices_play_as_the_policys_actions_and_normalised_observations_are_the_raw_scaled():
    raw = tryzone.VecMatch(3, range(5, 10), seed=5, minutes=SHORT)
    scaled = tryzone.VecMatch(3, range(5, 10), seed=5, minutes=SHORT, normalise=True)
    seen, normalised = raw.reset(), scaled.reset()
    rng = np.random.default_rng(0)
    for _ in range(40):
        # Every action of the longest set, its run back over the own line too.
        choices = rng.integers(0, len(COARSE_TABLE), (3, 5)).astype(np.int32)
        expected = seen.copy()
        seen = raw.step(actions_for(seen, choices))[0]
        normalised = scaled.step_coarse(choices)[0]
        assert np.abs(normalised).max() <= 1
    scale = np.full(tryzone.OBSERVATION_SIZE, 1 / 1280, dtype=np.float32)
    scale[[4, 6, 10, 14, 18, 22, 26, 30, 34, 38, 42, 46]] = 1 / 720
    scale[[7, 8, 11, 12, 15, 16, 19, 20, 23, 24, 27, 28, 31, 32, 35, 36, 39, 40, 43, 44]] = 1 / 600
    scale[[0, 47]], scale[[1, 48, 49]], scale[[2, 50, 55]] = 1 / 9, 1, [1 / 2, 1 / 5, 1 / 4]
    scale[[51, 52]], scale[[53, 54]] = 1 / 10, 1 / (raw.frames_per_match * 0.00835)
    np.testing.assert_allclose(normalised, np.clip(seen * scale, -1, 1), atol=1e-6)
    assert not np.array_equal(seen, expected)
    with pytest.raises(ValueError, match="coarse action 7 out of range"):
        scaled.step_coarse(np.full((3, 5), 7, dtype=np.int32))


@pytest.mark.parametrize("form, count", [("coarse", 6), ("coarse-v2", 7)])
def test_each_coarse_form_offers_its_sets_actions_and_plays_every_one(form, count):
    team = tryzone.team_env(minutes=SHORT, actions=form)
    parallel = tryzone.parallel_env(minutes=SHORT, actions=form, controlled=range(5, 10))
    vector = tryzone.vector_env(2, minutes=SHORT, actions=form)
    assert team.action_space == gymnasium.spaces.MultiDiscrete([count] * 5)
    assert parallel.action_space("red_5") == gymnasium.spaces.Discrete(count)
    assert vector.single_action_space == team.action_space
    team.reset(seed=1)
    for choice in range(count):
        team.step(np.full(5, choice))


@pytest.mark.parametrize("laws, conceded, red_on_the_ball", [(None, 1, 1), (LAWS / "rugby.laws.json", 0, 0)])
def test_the_run_back_over_the_own_line_concedes_a_try_or_under_the_law_a_restart(laws, conceded, red_on_the_ball):
    # Red starts on the ball; all ten run back: every one heads for his own line (ego x falls, whatever his team),
    # and the holder's run ends in the opponents' try (red then kicks off again) or, under the restart law, in the
    # opponents' ball and no score.
    batch = tryzone.VecMatch(1, range(10), seed=3, minutes=SHORT, laws=laws)
    seen = batch.reset().copy()
    back = np.full((1, 10), len(COARSE_TABLE) - 1, dtype=np.int32)
    after = batch.step_coarse(back)[0]
    assert seen[0, 5, 49] == 1 and (after[0, :, 3] < seen[0, :, 3]).all()
    for _ in range(40):
        after = batch.step_coarse(back)[0]
        if after[0, 5, 49] == 0 or after[0, 5, 52] > 0:
            break
    assert (after[0, 5, 51], after[0, 5, 52]) == (0, conceded)
    assert (after[0, 5:, 49] == red_on_the_ball).all() and (after[0, :5, 49] == 1 - red_on_the_ball).all()


def test_infos_name_the_match_each_step_played_and_its_episode_at_the_end():
    team = tryzone.team_env(minutes=SHORT, actions="coarse")
    vector = tryzone.vector_env(2, minutes=SHORT, actions="coarse")
    parallel = tryzone.parallel_env(minutes=SHORT, actions="coarse", controlled=range(5, 10))
    team.reset(seed=3), vector.reset(seed=3), parallel.reset(seed=3)
    returns, steps = np.zeros(2), 0
    rng = np.random.default_rng(1)
    while True:
        choices = rng.integers(0, 6, (2, 5))
        _, reward, _, truncated, info = team.step(choices[0])
        _, rewards, _, truncations, infos = vector.step(choices)
        agents = parallel.step(dict(zip(parallel.possible_agents, choices[0])))[4]
        returns += rewards
        steps += 1
        assert reward == rewards[0] and info["match"] == agents["red_5"]["match"] == 1
        assert list(infos["match"]) == [1, 2] and infos["_match"].all()
        if truncated:
            break
    assert truncations.all() and infos["_episode"].all() and infos["final_obs"].shape == (2, 5, 56)
    assert list(infos["episode"]["r"]) == list(returns) and list(infos["episode"]["l"]) == [steps, steps]
    assert info["episode"]["r"] == returns[0] and info["episode"]["l"] == steps and info["episode"]["t"] > 0
    assert agents["red_9"]["episode"]["r"] == returns[0] and agents["red_9"]["episode"]["l"] == steps
    # The next matches' steps count afresh.
    assert list(vector.step(choices)[4]["match"]) == [3, 4] and vector.batch.episode_lengths.tolist() == [1, 1]


def test_sb3_vec_env_steps_one_batch_and_trains_ppo():
    from stable_baselines3 import PPO

    env = TryZoneVecEnv(3, minutes=0.05)
    env.seed(8)
    observations = env.reset()
    assert observations.shape == (3, 280) and env.action_space.shape == (5,)
    ended, total = None, np.zeros(3)
    for _ in range(steps_per_match(0.05)):
        env.step_async(np.stack([env.action_space.sample() for _ in range(3)]))
        observations, rewards, dones, infos = env.step_wait()
        total += rewards
        if dones.any():
            ended = infos
    assert dones.all() and [info["match"] for info in ended] == [1, 2, 3]
    assert all(info["TimeLimit.truncated"] and info["terminal_observation"].shape == (280,) for info in ended)
    assert [info["episode"]["r"] for info in ended] == list(total)
    model = PPO("MlpPolicy", env, n_steps=32, batch_size=48, n_epochs=1, seed=0).learn(192)
    assert model.predict(observations)[0].shape == (3, 5)


def test_pettingzoo_naming_and_the_trainer_forms_pass_pettingzoos_checkers():
    api_test(tryzone_v0.env(minutes=SHORT), num_cycles=50)
    parallel_api_test(tryzone_v0.parallel_env(minutes=SHORT, actions="coarse", observations="normalised"),
                      num_cycles=200)


@pytest.mark.parametrize("display", [None, ":4321"])
def test_render_without_a_display_raises_instead_of_aborting(display):
    code = ("import tryzone\n"
            "env = tryzone.team_env(render_mode='human', minutes=0.1)\n"
            "try:\n    env.reset(seed=1)\n    env.render()\nexcept tryzone.NoDisplayError as error:\n    print(error)\n")
    environment = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    if display:
        environment["DISPLAY"] = display
    run = subprocess.run([sys.executable, "-c", code], env=environment, capture_output=True, text=True, timeout=60)
    assert run.returncode == 0 and "xvfb-run" in run.stdout


def test_a_pass_out_of_range_plays_as_a_pass_to_any_teammate_when_asked():
    plays = []
    for slot, lenient in ((-1, False), (1000, True), (-7, True)):
        batch = tryzone.VecMatch(2, range(10), seed=4, minutes=SHORT)
        batch.reset()
        actions = batch.builtin_actions()
        actions[..., 0], actions[..., 1] = tryzone.PASS, slot
        plays.append([batch.step(actions, any_teammate=lenient)[0].copy() for _ in range(30)])
        if lenient:
            with pytest.raises(ValueError, match=f"slot {slot}"):
                batch.step(actions)
    np.testing.assert_array_equal(plays[0], plays[1])
    np.testing.assert_array_equal(plays[0], plays[2])
