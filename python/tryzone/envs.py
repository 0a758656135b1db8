"""The conventions of Python's reinforcement-learning libraries over VecMatch: a PettingZoo ParallelEnv for one match,
a Gymnasium Env for one team and a Gymnasium VectorEnv for a batch of matches. The matches are VecMatch's; these
classes only name agents, state spaces and pass arrays on."""

import numpy as np
from gymnasium import Env, spaces
from gymnasium.vector import AutoresetMode, VectorEnv
from pettingzoo import ParallelEnv

from ._tryzone import (
    OBSERVATION_SIZE,
    PASS,
    PITCH_HEIGHT,
    PITCH_WIDTH,
    PLAYERS,
    RANDOM_TEAMMATE,
    TEAM_SIZE,
    VecMatch,
)

TEAMS = ("blue", "red")
AGENTS = tuple(f"{TEAMS[slot // TEAM_SIZE]}_{slot}" for slot in range(PLAYERS))
# An action is (code, x, y); a pass names its teammate's slot in x, -1 for any. The space holds every point, so a
# pass's x outside -1 to 9 (which VecMatch refuses) is taken as -1: any action the space samples can be played.
ACTION_LOW = np.array([0, RANDOM_TEAMMATE, 0], dtype=np.int32)
ACTION_HIGH = np.array([3, PITCH_WIDTH, PITCH_HEIGHT], dtype=np.int32)
DEFAULT_MINUTES = 80.0


def observation_space(shape=()):
    return spaces.Box(-np.inf, np.inf, shape=shape + (OBSERVATION_SIZE,), dtype=np.float32)


def action_space(shape=()):
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


def playable(actions):
    """The actions as int32 in C order, a pass to a slot out of range made a pass to any teammate."""
    actions = np.array(actions, dtype=np.int32, order="C")
    args = actions[..., 1]
    args[(actions[..., 0] == PASS) & ((args < RANDOM_TEAMMATE) | (args >= PLAYERS))] = RANDOM_TEAMMATE
    return actions


def _seed(seed, generator):
    """The run's seed: the one given, or one drawn from the environment's own generator."""
    return int(seed) if seed is not None else int(generator.integers(0, 2**63))


class _Options:
    """The VecMatch arguments an environment passes on (minutes, decision_frames, settings, threads, events,
    record_dir) and its render mode; the seed comes from reset."""

    def __init__(self, render_mode, options):
        if render_mode not in (None, "human", "rgb_array"):
            raise ValueError(f"render_mode must be None, 'human' or 'rgb_array', not {render_mode!r}")
        self.render_mode = render_mode
        self.options = {"minutes": DEFAULT_MINUTES, **options}
        self.generator = np.random.default_rng()

    def batch(self, num_matches, slots, seed):
        if seed is not None:
            self.generator = np.random.default_rng(seed)
        return VecMatch(num_matches, slots, seed=_seed(seed, self.generator), **self.options)


class TryZoneParallelEnv(ParallelEnv):
    """One match; each controlled player an agent named by team and slot, blue_0 ... blue_4, red_5 ... red_9."""

    metadata = {"name": "tryzone_v0", "render_modes": ["human", "rgb_array"], "render_fps": 10}

    def __init__(self, controlled=AGENTS, render_mode=None, **options):
        self._config = _Options(render_mode, options)
        self.render_mode = render_mode
        slots = [slot_of(agent) for agent in controlled]
        self.possible_agents = [AGENTS[slot] for slot in slots]
        self.agents = []
        self._slots = slots
        self._batch = None
        self._view = None
        self._observation_space = observation_space()
        self._action_space = action_space()

    def observation_space(self, agent):
        return self._observation_space

    def action_space(self, agent):
        return self._action_space

    def reset(self, seed=None, options=None):
        if self._batch is None or seed is not None:
            self._batch = self._config.batch(1, self._slots, seed)
            if self.render_mode is not None:
                self._picture().follow(self._batch, 0)
        observations = self._batch.reset()[0]
        self.agents = list(self.possible_agents)
        self._render_if_human()
        return self._by_agent(observations), {agent: {} for agent in self.agents}

    def step(self, actions):
        if not self.agents:
            raise RuntimeError("the match is over: call reset()")
        array = self._batch.builtin_actions()
        for i, agent in enumerate(self.possible_agents):
            if agent in actions:
                array[0, i] = playable(actions[agent])
        observations, rewards, terminations, truncations, infos = self._batch.step(array)
        if truncations[0]:
            observations = infos["final_observation"]
        result = (
            self._by_agent(observations[0].copy()),
            {agent: float(rewards[0, i]) for i, agent in enumerate(self.possible_agents)},
            {agent: bool(terminations[0]) for agent in self.possible_agents},
            {agent: bool(truncations[0]) for agent in self.possible_agents},
            {agent: {"match": int(infos["match"][0])} for agent in self.possible_agents},
        )
        self._render_if_human()
        if truncations[0]:
            self.agents = []
        return result

    def render(self):
        if self.render_mode is None or self._batch is None:
            return None
        return self._picture().draw(self._batch, 0)

    def close(self):
        if self._view is not None:
            self._view.close()
            self._view = None

    def _by_agent(self, observations):
        return {agent: observations[i] for i, agent in enumerate(self.possible_agents)}

    def _picture(self):
        if self._view is None:
            from ._tryzone import MatchView

            self._view = MatchView(self.render_mode == "human")
        return self._view

    def _render_if_human(self):
        if self.render_mode == "human":
            self.render()


class TryZoneTeamEnv(Env):
    """One match, the five players of one team as a single agent: observations [5, 56], actions [5, 3], the team's
    reward (tries scored less tries conceded in the step)."""

    metadata = {"render_modes": ["human", "rgb_array"], "render_fps": 10}

    def __init__(self, team="red", render_mode=None, **options):
        self._match = TryZoneParallelEnv(controlled=team_slots(team), render_mode=render_mode, **options)
        self.render_mode = render_mode
        self.observation_space = observation_space((TEAM_SIZE,))
        self.action_space = action_space((TEAM_SIZE,))

    def reset(self, *, seed=None, options=None):
        super().reset(seed=seed)
        observations, _ = self._match.reset(seed=seed)
        return np.stack(list(observations.values())), {}

    def step(self, action):
        agents = self._match.possible_agents
        observations, rewards, terminations, truncations, infos = self._match.step(
            {agent: action[i] for i, agent in enumerate(agents)}
        )
        first = agents[0]
        return (np.stack(list(observations.values())), rewards[first], terminations[first], truncations[first],
                infos[first])

    def render(self):
        return self._match.render()

    def close(self):
        self._match.close()


class TryZoneVectorEnv(VectorEnv):
    """num_envs matches of one VecMatch, the five players of one team as each sub-environment's agent. Matches
    restart by themselves in the step that ends them (next-step would lose a step: VecMatch starts the next episode
    at once), so the autoreset mode is SAME_STEP: that step returns the new episodes' first observations, and
    infos["final_obs"] the ended ones' last."""

    metadata = {"autoreset_mode": AutoresetMode.SAME_STEP, "render_modes": []}

    def __init__(self, num_envs, team="red", **options):
        self._config = _Options(None, options)
        self._slots = team_slots(team)
        self.num_envs = num_envs
        self.single_observation_space = observation_space((TEAM_SIZE,))
        self.single_action_space = action_space((TEAM_SIZE,))
        self.observation_space = observation_space((num_envs, TEAM_SIZE))
        self.action_space = action_space((num_envs, TEAM_SIZE))
        self._batch = None

    def reset(self, *, seed=None, options=None):
        if self._batch is None or seed is not None:
            self._batch = self._config.batch(self.num_envs, self._slots, seed)
        return self._batch.reset(), {}

    def step(self, actions):
        observations, rewards, terminations, truncations, raw = self._batch.step(playable(actions))
        infos = {"match": raw["match"]}
        if "final_observation" in raw:
            infos["final_obs"] = raw["final_observation"]
            infos["_final_obs"] = truncations.copy()
        return observations, rewards[:, 0], terminations, truncations, infos

    @property
    def batch(self):
        """The VecMatch underneath, for its raw state and builtin actions."""
        return self._batch


def parallel_env(**options):
    """One match as a PettingZoo ParallelEnv (see docs/python.md)."""
    return TryZoneParallelEnv(**options)


def team_env(team="red", **options):
    """One team of one match as a Gymnasium Env (see docs/python.md)."""
    return TryZoneTeamEnv(team=team, **options)


def vector_env(num_envs, team="red", **options):
    """A team in num_envs matches as a Gymnasium VectorEnv over one VecMatch (see docs/python.md)."""
    return TryZoneVectorEnv(num_envs, team=team, **options)
