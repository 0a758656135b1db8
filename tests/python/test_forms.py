"""The forms every environment states (its spaces, for each choice of actions and observations) and keeps (what it
returns lies in them), how seeds start runs, and the arguments it refuses, each with what to fix."""

import time

import numpy as np
import pytest
from gymnasium import spaces

import tryzone
from tryzone.sb3 import TryZoneVecEnv

SHORT = 0.05  # minutes
EXACT_LOW, EXACT_HIGH = [0, -1, 0], [3, tryzone.PITCH_WIDTH, tryzone.PITCH_HEIGHT]


def expected_spaces(shape, actions, observations):
    """The documented spaces of one team ((5,)), one agent (()) or a batch of teams ((n, 5))."""
    if observations == "raw":
        seen = spaces.Box(-np.inf, np.inf, shape + (56,), np.float32)
    else:
        seen = spaces.Box(-1.0, 1.0, (shape[:-1] + (shape[-1] * 56,)) if shape else (56,), np.float32)
    if actions == "coarse":
        chosen = spaces.MultiDiscrete(np.full(shape, 6), dtype=np.int64) if shape else spaces.Discrete(6)
    else:
        chosen = spaces.MultiDiscrete(np.broadcast_to(np.subtract(EXACT_HIGH, EXACT_LOW) + 1, shape + (3,)),
                                      dtype=np.int32, start=np.broadcast_to(EXACT_LOW, shape + (3,)))
    return seen, chosen


FORMS = [("exact", "raw"), ("coarse", "normalised"), ("exact", "normalised"), ("coarse", "raw")]


@pytest.mark.parametrize("actions, observations", FORMS)
def test_every_environment_states_its_forms_and_keeps_to_them(actions, observations):
    forms = {"actions": actions, "observations": observations, "minutes": SHORT}
    team = tryzone.team_env("blue", **forms)
    parallel = tryzone.parallel_env(controlled=["red_7"], **forms)
    vector = tryzone.vector_env(3, team="blue", **forms)
    stated = {"team": ((5,), team.observation_space, team.action_space),
              "agent": ((), parallel.observation_space("red_7"), parallel.action_space("red_7")),
              "one of a vector": ((5,), vector.single_observation_space, vector.single_action_space),
              "vector": ((3, 5), vector.observation_space, vector.action_space)}
    for name, (shape, seen, chosen) in stated.items():
        assert (seen, chosen) == expected_spaces(shape, actions, observations), name
        assert seen.dtype == np.float32 and chosen.dtype == (np.int32 if actions == "exact" else np.int64), name
    team_seen = team.reset(seed=1)[0]
    vector_seen = vector.reset(seed=1)[0]
    assert team.observation_space.contains(team_seen) and vector.observation_space.contains(vector_seen)
    assert parallel.observation_space("red_7").contains(parallel.reset(seed=1)[0]["red_7"])
    # Every action the spaces sample plays, a pass to a slot out of range as a pass to any teammate.
    for _ in range(20):
        team_seen = team.step(team.action_space.sample())[0]
        vector_seen, _, terminations, _, _ = vector.step(vector.action_space.sample())
    assert team.observation_space.contains(team_seen) and vector.observation_space.contains(vector_seen)
    assert terminations.dtype == bool and terminations.shape == (3,) and not terminations.any()
    raw = team_seen.reshape(5, -1)[:, 0] if observations == "raw" else None
    if raw is not None:
        assert list(raw) == [0, 1, 2, 3, 4] and list(vector_seen[2, :, 0]) == [0, 1, 2, 3, 4]
    if actions == "exact":
        wild = np.tile([tryzone.PASS, 1000, 0], (3, 5, 1))
        vector.step(wild)
        team.step(wild[0])


def test_sb3_env_states_the_forms_it_is_given_and_is_seeded_by_seed():
    env = TryZoneVecEnv(2, team="blue", actions="exact", observations="raw", minutes=SHORT)
    assert (env.observation_space, env.action_space) == expected_spaces((5,), "exact", "raw")
    runs = []
    for seed in (8, 8, 9):
        env = TryZoneVecEnv(2, minutes=SHORT)
        env.seed(seed)
        env.reset()
        for _ in range(30):
            env.step_async(np.full((2, 5), 2))
            seen, rewards, _, _ = env.step_wait()
        assert rewards.dtype == np.float32
        runs.append(seen)
    assert np.array_equal(runs[0], runs[1]) and not np.array_equal(runs[0], runs[2])
    assert env.get_attr("render_mode", [0, 1]) == [None, None]
    # seed(s) starts the run reset(seed=s) starts.
    env = TryZoneVecEnv(2, observations="raw", minutes=SHORT)
    env.seed(4)
    np.testing.assert_array_equal(env.reset(), tryzone.vector_env(2, minutes=SHORT).reset(seed=4)[0])


def test_a_step_limit_must_be_the_matchs_length_in_its_own_decisions():
    steps = tryzone.envs.steps_per_match(SHORT, 24)
    assert steps == -(-tryzone._tryzone.frames_for(SHORT) // 24)
    tryzone.vector_env(2, minutes=SHORT, decision_frames=24, max_episode_steps=steps)
    with pytest.raises(ValueError, match=f"lasts {steps} steps: pass max_episode_steps={steps}"):
        tryzone.vector_env(2, minutes=SHORT, decision_frames=24, max_episode_steps=steps * 2)


@pytest.mark.parametrize("make", [lambda **kw: tryzone.team_env(**kw), lambda **kw: tryzone.vector_env(2, **kw)],
                         ids=["team", "vector"])
def test_a_seed_starts_a_run_and_a_reset_without_one_plays_its_next_match(make):
    def first_steps(env, **reset):
        env.reset(**reset)
        return [np.array(env.step(np.zeros(env.action_space.shape, np.int32))[0]) for _ in range(25)]

    env, twin = make(minutes=SHORT), make(minutes=SHORT)
    started = first_steps(env, seed=3)
    np.testing.assert_array_equal(started, first_steps(twin, seed=3))
    following = first_steps(env)
    assert not np.array_equal(started, following), "a reset without a seed plays the run's next matches"
    np.testing.assert_array_equal(following, first_steps(twin))
    np.testing.assert_array_equal(started, first_steps(env, seed=3))
    # Unseeded environments draw different runs.
    assert not np.array_equal(first_steps(make(minutes=SHORT)), first_steps(make(minutes=SHORT)))


def test_every_env_times_its_episodes_in_seconds_of_the_wall_clock():
    parallel = tryzone.parallel_env(controlled=["blue_1"], minutes=SHORT)
    vector = tryzone.vector_env(2, minutes=SHORT)
    team = tryzone.team_env(minutes=SHORT)
    before = time.perf_counter()
    parallel.reset(seed=1), vector.reset(seed=1), team.reset(seed=1)
    for _ in range(tryzone.envs.steps_per_match(SHORT)):
        infos = parallel.step({"blue_1": np.zeros(3, np.int32)})[4]
        vector_infos = vector.step(np.zeros((2, 5, 3), np.int32))[4]
        team_info = team.step(np.zeros((5, 3), np.int32))[4]
    took = time.perf_counter() - before
    episodes = [infos["blue_1"]["episode"], {key: value[1] for key, value in vector_infos["episode"].items()},
                team_info["episode"]]
    for episode in episodes:
        assert set(episode) == {"r", "l", "t"} and 0 < episode["t"] <= took


@pytest.mark.parametrize("make, error, words", [
    (lambda: tryzone.team_env(render_mode="video"), ValueError, "render_mode must be None, 'human' or 'rgb_array'"),
    (lambda: tryzone.team_env(actions="fine"), ValueError, "actions must be one of"),
    (lambda: tryzone.vector_env(2, observations="pixels"), ValueError, "observations must be one of"),
    (lambda: tryzone.vector_env(2, team="green"), ValueError, "team must be 'blue' or 'red', not 'green'"),
    (lambda: tryzone.parallel_env(controlled=["green_3"]), ValueError, "no agent 'green_3': the agents are blue_0, "),
    (lambda: tryzone.parallel_env(minutes=SHORT).step({}), RuntimeError, "the match is over: call reset()"),
])
def test_refused_arguments_say_what_to_fix(make, error, words):
    with pytest.raises(error) as raised:
        make()
    assert words in str(raised.value)


@pytest.mark.parametrize("render_mode", [None, "rgb_array"])
def test_render_modes_are_taken_and_rgb_array_draws_the_match(render_mode):
    env = tryzone.parallel_env(controlled=["red_5"], render_mode=render_mode, minutes=SHORT)
    assert env.render_mode == render_mode
    env.reset(seed=1)
    picture = env.render()
    assert picture is None if render_mode is None else picture.shape == (720, 1280, 3)
    env.close()


@pytest.mark.parametrize("display, words", [(None, "DISPLAY is not set"), (":4321", "cannot open the display ':4321'")])
def test_human_rendering_without_a_display_raises_what_to_do(monkeypatch, display, words):
    if display is None:
        monkeypatch.delenv("DISPLAY", raising=False)
    else:
        monkeypatch.setenv("DISPLAY", display)
    env = tryzone.parallel_env(controlled=["red_5"], render_mode="human", minutes=SHORT)
    with pytest.raises(tryzone.NoDisplayError, match=words) as raised:
        env.reset(seed=1)
        env.render()
    assert "xvfb-run -a python" in str(raised.value)


@pytest.mark.parametrize("actions, last", [("coarse", 5), ("coarse-v2", 6)])
def test_a_coarse_choice_past_the_forms_set_is_refused_in_every_environment(actions, last):
    """VecMatch plays every coarse action there is; a form's environments take only the choices its space holds."""
    forms = {"actions": actions, "minutes": SHORT}
    team = tryzone.team_env("blue", **forms)
    parallel = tryzone.parallel_env(controlled=["red_7"], **forms)
    vector = tryzone.vector_env(2, team="blue", **forms)
    team.reset(seed=1)
    parallel.reset(seed=1)
    vector.reset(seed=1)
    team.step(np.full(5, last))
    parallel.step({"red_7": last})
    vector.step(np.full((2, 5), last))
    for bad in (last + 1, -1):
        with pytest.raises(ValueError, match=f"from 0 to {last}, not {bad}"):
            team.step(np.full(5, bad))
        with pytest.raises(ValueError, match=f"from 0 to {last}, not {bad}"):
            parallel.step({"red_7": bad})
        with pytest.raises(ValueError, match=f"from 0 to {last}, not {bad}"):
            vector.step(np.full((2, 5), bad))
