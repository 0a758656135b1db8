"""The conventions of Python's reinforcement-learning libraries over VecMatch: a PettingZoo ParallelEnv for one match
and a Gymnasium Env for one team (the VectorEnv is in vector.py). The matches are VecMatch's; these classes only name
agents, state spaces and pass arrays on."""

import time

import numpy as np
from gymnasium import Env, spaces
from pettingzoo import ParallelEnv

from ._tryzone import (
    COARSE_ACTION_SETS,
    DEFAULT_DECISION_FRAMES,
    OBSERVATION_SIZE,
    PITCH_HEIGHT,
    PITCH_WIDTH,
    PLAYERS,
    RANDOM_TEAMMATE,
    TEAM_SIZE,
    VecMatch,
    frames_for,
)
from .display import NoDisplayError, check_display

TEAMS = ("blue", "red")
AGENTS = tuple(f"{TEAMS[slot // TEAM_SIZE]}_{slot}" for slot in range(PLAYERS))
# An exact action is (code, x, y); a pass names its teammate's slot in x, -1 for any. The space holds every point, so
# a pass's x outside -1 to 9 (which VecMatch refuses) is played as -1: any action the space samples can be played.
ACTION_LOW = np.array([0, RANDOM_TEAMMATE, 0], dtype=np.int32)
ACTION_HIGH = np.array([3, PITCH_WIDTH, PITCH_HEIGHT], dtype=np.int32)
DEFAULT_MINUTES = 80.0
# "coarse" is the first set of coarse actions, "coarse-v2" the one that adds a run back over the player's own line.
COARSE_FORMS = {"coarse": "coarse-v1", "coarse-v2": "coarse-v2"}
ACTION_FORMS = ("exact", *COARSE_FORMS)
OBSERVATION_FORMS = ("raw", "normalised")


def observation_space(shape=(), form="raw"):
    """Raw observations are unbounded (pixels, seconds, tries), [..., players, 56]; normalised ones lie in [-1, 1]
    (docs/python.md) and a team's five are one flat vector, [..., 5 * 56], as trainers' dense networks take them."""
    if form == "raw":
        return spaces.Box(-np.inf, np.inf, shape=shape + (OBSERVATION_SIZE,), dtype=np.float32)
    flat = shape[:-1] + (shape[-1] * OBSERVATION_SIZE,) if shape else (OBSERVATION_SIZE,)
    return spaces.Box(-1.0, 1.0, shape=flat, dtype=np.float32)


def action_space(shape=(), form="exact"):
    """Exact: (code, x, y) per player; coarse: an index into its set of coarse actions (COARSE_ACTION_SETS) per
    player, flat, with no start."""
    if form in COARSE_FORMS:
        count = len(COARSE_ACTION_SETS[COARSE_FORMS[form]])
        if shape == ():
            return spaces.Discrete(count)
        return spaces.MultiDiscrete(np.full(shape, count), dtype=np.int64)
    nvec = np.broadcast_to(ACTION_HIGH - ACTION_LOW + 1, shape + (3,))
    start = np.broadcast_to(ACTION_LOW, shape + (3,))
    return spaces.MultiDiscrete(nvec, dtype=np.int32, start=start)


def team_slots(team):
    if team not in TEAMS:
        raise ValueError(f"team must be 'blue' or 'red', not {team!r}")
    return list(range(TEAM_SIZE * TEAMS.index(team), TEAM_SIZE * TEAMS.index(team) + TEAM_SIZE))


def slot_of(agent):
    if isinstance(agent, str):
        if agent not in AGENTS:
            raise ValueError(f"no agent {agent!r}: the agents are {', '.join(AGENTS)}")
        return AGENTS.index(agent)
    return int(agent)


def steps_per_match(minutes=DEFAULT_MINUTES, decision_frames=DEFAULT_DECISION_FRAMES):
    """The steps of a match: its frames in steps of decision_frames, the last one maybe shorter."""
    return -(-frames_for(minutes) // decision_frames)


def _seed(seed, generator):
    """The run's seed: the one given, or one drawn from the environment's own generator."""
    return int(seed) if seed is not None else int(generator.integers(0, 2**63))


class _Options:
    """The VecMatch arguments an environment passes on (minutes, decision_frames, settings, threads, events,
    record_dir, laws), its action and observation forms and its render mode; the seed comes from reset."""

    def __init__(self, render_mode, actions, observations, options):
        if render_mode not in (None, "human", "rgb_array"):
            raise ValueError(f"render_mode must be None, 'human' or 'rgb_array', not {render_mode!r}")
        if actions not in ACTION_FORMS:
            raise ValueError(f"actions must be one of {ACTION_FORMS}, not {actions!r}")
        if observations not in OBSERVATION_FORMS:
            raise ValueError(f"observations must be one of {OBSERVATION_FORMS}, not {observations!r}")
        self.render_mode = render_mode
        self.coarse = actions in COARSE_FORMS
        # VecMatch takes every coarse action there is; a form offers only its set's first ones.
        self.coarse_count = len(COARSE_ACTION_SETS[COARSE_FORMS[actions]]) if self.coarse else 0
        self.actions, self.observations = actions, observations
        self.options = {"minutes": DEFAULT_MINUTES, **options}
        self.generator = np.random.default_rng()

    def coarse_choices(self, choices):
        """The choices as VecMatch takes them, refused when one lies outside this form's set."""
        choices = np.asarray(choices, dtype=np.int32)
        outside = choices[(choices < 0) | (choices >= self.coarse_count)]
        if outside.size:
            raise ValueError(f"a coarse choice of actions={self.actions!r} is from 0 to {self.coarse_count - 1}, "
                             f"not {int(outside[0])}")
        return choices

    def steps(self):
        return steps_per_match(self.options["minutes"], self.options.get("decision_frames", DEFAULT_DECISION_FRAMES))

    def batch(self, num_matches, slots, seed):
        if seed is not None:
            self.generator = np.random.default_rng(seed)
        return VecMatch(num_matches, slots, seed=_seed(seed, self.generator),
                        normalise=self.observations == "normalised", **self.options)

    def check_steps(self, max_episode_steps):
        """An episode is a match: a step limit other than its length would cut matches or never be reached."""
        if max_episode_steps not in (None, self.steps()):
            raise ValueError(f"max_episode_steps is {max_episode_steps}, but a match of {self.options['minutes']:g} "
                             f"minutes lasts {self.steps()} steps: pass max_episode_steps={self.steps()}")


class _Picture:
    """A match's picture in a render mode: the game's window ("human", which needs a display) or its frames drawn by
    cairo ("rgb_array", which needs none)."""

    def __init__(self, render_mode):
        self.render_mode = render_mode
        self._view = None

    def follow(self, batch):
        # Without a display, render() says so; reset still plays.
        if self.render_mode is not None:
            try:
                self._opened().follow(batch, 0)
            except NoDisplayError:
                pass

    def draw(self, batch):
        if self.render_mode is None or batch is None:
            return None
        return self._opened().draw(batch, 0)

    def close(self):
        if self._view is not None:
            self._view.close()
            self._view = None

    def _opened(self):
        if self._view is None:
            if self.render_mode == "human":
                check_display()
            from ._tryzone import MatchView

            self._view = MatchView(self.render_mode == "human")
        return self._view


class TryZoneParallelEnv(ParallelEnv):
    """One match; each controlled player an agent named by team and slot, blue_0 ... blue_4, red_5 ... red_9."""

    metadata = {"name": "tryzone_v0", "render_modes": ["human", "rgb_array"], "render_fps": 10}

    def __init__(self, controlled=AGENTS, render_mode=None, actions="exact", observations="raw", **options):
        self._config = _Options(render_mode, actions, observations, options)
        self.render_mode = render_mode
        slots = [slot_of(agent) for agent in controlled]
        self.possible_agents = [AGENTS[slot] for slot in slots]
        self.agents = []
        self._slots = slots
        self._batch = None
        self._picture = _Picture(render_mode)
        self._started = 0.0
        self._observation_space = observation_space((), observations)
        self._action_space = action_space((), actions)

    def observation_space(self, agent):
        return self._observation_space

    def action_space(self, agent):
        return self._action_space

    def reset(self, seed=None, options=None):
        if self._batch is None or seed is not None:
            self._batch = self._config.batch(1, self._slots, seed)
            self._picture.follow(self._batch)
        observations = self._batch.reset()[0]
        self.agents = list(self.possible_agents)
        self._started = time.perf_counter()
        self._render_if_human()
        return {agent: observations[i].copy() for i, agent in enumerate(self.agents)}, {a: {} for a in self.agents}

    def step(self, actions):
        if not self.agents:
            raise RuntimeError("the match is over: call reset()")
        if self._config.coarse:
            self._config.coarse_choices(list(actions.values()))
        result = self._batch.step_agents(actions, self.possible_agents, coarse=self._config.coarse)
        self._render_if_human()
        if result[3][self.possible_agents[0]]:
            seconds = round(time.perf_counter() - self._started, 6)
            for info in result[4].values():
                info["episode"]["t"] = seconds
            self.agents = []
        return result

    def render(self):
        return self._picture.draw(self._batch)

    def close(self):
        self._picture.close()

    def _render_if_human(self):
        if self.render_mode == "human":
            self.render()


class TryZoneTeamEnv(Env):
    """One match, the five players of one team as a single agent: observations [5, 56], actions [5, 3] (exact) or
    [5] (coarse), the team's reward (tries scored less tries conceded in the step)."""

    metadata = {"render_modes": ["human", "rgb_array"], "render_fps": 10}

    def __init__(self, team="red", render_mode=None, actions="exact", observations="raw", **options):
        self._match = TryZoneParallelEnv(controlled=team_slots(team), render_mode=render_mode, actions=actions,
                                         observations=observations, **options)
        self._config = self._match._config
        self.render_mode = render_mode
        self.observation_space = observation_space((TEAM_SIZE,), observations)
        self.action_space = action_space((TEAM_SIZE,), actions)
        self._shape = (1, TEAM_SIZE) if self._config.coarse else (1, TEAM_SIZE, 3)
        self._observation_shape = self.observation_space.shape
        self._started = 0.0

    def reset(self, *, seed=None, options=None):
        super().reset(seed=seed)
        observations, _ = self._match.reset(seed=seed)
        self._started = time.perf_counter()
        return np.stack(list(observations.values())).reshape(self._observation_shape), {}

    def step(self, action):
        if not self._match.agents:
            raise RuntimeError("the match is over: call reset()")
        batch = self._match._batch
        action = np.asarray(action, dtype=np.int32).reshape(self._shape)
        if self._config.coarse:
            observations, rewards, _, truncations, raw = batch.step_coarse(self._config.coarse_choices(action))
        else:
            observations, rewards, _, truncations, raw = batch.step(action, any_teammate=True)
        info = {"match": int(batch.step_match[0])}
        truncated = bool(truncations[0])
        if truncated:
            observations = raw["final_observation"]
            info["episode"] = {"r": float(batch.episode_returns[0, 0]), "l": int(batch.episode_lengths[0]),
                               "t": round(time.perf_counter() - self._started, 6)}
            self._match.agents = []
        self._match._render_if_human()
        return observations[0].reshape(self._observation_shape).copy(), float(rewards[0, 0]), False, truncated, info

    def render(self):
        return self._match.render()

    def close(self):
        self._match.close()


def parallel_env(**options):
    """One match as a PettingZoo ParallelEnv (see docs/python.md)."""
    return TryZoneParallelEnv(**options)


def team_env(team="red", **options):
    """One team of one match as a Gymnasium Env (see docs/python.md)."""
    return TryZoneTeamEnv(team=team, **options)
