"""One team in many matches of one VecMatch: as a Gymnasium VectorEnv, and as a Stable-Baselines3 VecEnv (sb3.py).
Either steps all its matches in one call of VecMatch, with no Python loop over matches."""

import time

import numpy as np
from gymnasium.vector import AutoresetMode, VectorEnv

from .envs import _Options, action_space, observation_space, team_slots
from ._tryzone import TEAM_SIZE


class TeamBatch:
    """What both vector forms share: the batch, its forms and the episodes' wall-clock starts."""

    def __init__(self, num_envs, team, actions, observations, options, max_episode_steps=None):
        self.config = _Options(None, actions, observations, options)
        self.config.check_steps(max_episode_steps)
        self.slots = team_slots(team)
        self.num_envs = num_envs
        self.batch = None
        self.started = np.zeros(num_envs)
        self.shape = observation_space((num_envs, TEAM_SIZE), observations).shape

    def reset(self, seed):
        if self.batch is None or seed is not None:
            self.batch = self.config.batch(self.num_envs, self.slots, seed)
        self.started[:] = time.perf_counter()
        return self.batch.reset().reshape(self.shape)

    def step(self, actions):
        """(observations, rewards, truncations, infos of VecMatch), actions reshaped to the batch's form."""
        if self.config.coarse:
            choices = self.config.coarse_choices(actions).reshape(self.num_envs, TEAM_SIZE)
            observations, rewards, _, truncations, raw = self.batch.step_coarse(choices)
        else:
            exact = np.asarray(actions, dtype=np.int32).reshape(self.num_envs, TEAM_SIZE, 3)
            observations, rewards, _, truncations, raw = self.batch.step(exact, any_teammate=True)
        if truncations[0]:
            raw["final_observation"] = raw["final_observation"].reshape(self.shape)
        return observations.reshape(self.shape), rewards[:, 0], truncations, raw

    def episodes(self):
        """The ended episodes' statistics, as RecordEpisodeStatistics gives them; restarts their clocks."""
        now = time.perf_counter()
        seconds = np.round(now - self.started, 6)
        self.started[:] = now
        return {"r": self.batch.episode_returns[:, 0].astype(np.float64), "l": self.batch.episode_lengths.copy(),
                "t": seconds}


class TryZoneVectorEnv(VectorEnv):
    """num_envs matches of one VecMatch, the five players of one team as each sub-environment's agent. Matches
    restart by themselves in the step that ends them (max_episode_steps, which gymnasium.make_vec passes, must be
    a match's length) (next-step would lose a step: VecMatch starts the next episode
    at once), so the autoreset mode is SAME_STEP: that step returns the new episodes' first observations, and
    infos["final_obs"] the ended ones' last."""

    metadata = {"autoreset_mode": AutoresetMode.SAME_STEP, "render_modes": []}

    def __init__(self, num_envs, team="red", actions="exact", observations="raw", max_episode_steps=None, **options):
        self._team = TeamBatch(num_envs, team, actions, observations, options, max_episode_steps)
        self.num_envs = num_envs
        self.single_observation_space = observation_space((TEAM_SIZE,), observations)
        self.single_action_space = action_space((TEAM_SIZE,), actions)
        self.observation_space = observation_space((num_envs, TEAM_SIZE), observations)
        self.action_space = action_space((num_envs, TEAM_SIZE), actions)
        self._every = np.ones(num_envs, dtype=bool)

    def reset(self, *, seed=None, options=None):
        return self._team.reset(seed), {}

    def step(self, actions):
        observations, rewards, truncations, raw = self._team.step(actions)
        infos = {"match": self._team.batch.step_match.copy(), "_match": self._every}
        if truncations[0]:
            infos["final_obs"] = raw["final_observation"]
            infos["_final_obs"] = truncations.copy()
            infos["episode"] = self._team.episodes()
            infos["_episode"] = truncations.copy()
        return observations, rewards, np.zeros(self.num_envs, dtype=bool), truncations, infos

    @property
    def batch(self):
        """The VecMatch underneath, for its raw state and builtin actions."""
        return self._team.batch


def vector_env(num_envs, team="red", **options):
    """A team in num_envs matches as a Gymnasium VectorEnv over one VecMatch (see docs/python.md)."""
    return TryZoneVectorEnv(num_envs, team=team, **options)
