"""One team in many matches of one VecMatch as a Stable-Baselines3 VecEnv (no Python loop over matches). Coarse
actions and normalised observations by default, the forms SB3's policies take as they are.

    from stable_baselines3 import PPO
    from tryzone.sb3 import TryZoneVecEnv
    PPO("MlpPolicy", TryZoneVecEnv(16, minutes=3)).learn(100_000)
"""

import numpy as np
from stable_baselines3.common.vec_env import VecEnv

from .envs import action_space, observation_space
from .vector import TeamBatch


class TryZoneVecEnv(VecEnv):
    """A match ends only by its clock, so its last step is a truncation: infos carry "TimeLimit.truncated" (SB3 then
    bootstraps the value) and "terminal_observation", and "episode" as SB3's Monitor gives it."""

    render_mode = None

    def __init__(self, num_envs, team="red", actions="coarse", observations="normalised", **options):
        self._team = TeamBatch(num_envs, team, actions, observations, options)
        super().__init__(num_envs, observation_space((5,), observations), action_space((5,), actions))
        self._actions = None

    def reset(self):
        seed = self._seeds[0]
        self._reset_seeds()
        self._reset_options()
        return self._team.reset(seed).copy()

    def step_async(self, actions):
        self._actions = actions

    def step_wait(self):
        observations, rewards, truncations, raw = self._team.step(self._actions)
        numbers = self._team.batch.step_match.tolist()
        infos = [{"match": number} for number in numbers]
        if truncations[0]:
            episodes = self._team.episodes()
            final = raw["final_observation"]
            for i, info in enumerate(infos):
                info["terminal_observation"] = final[i]
                info["TimeLimit.truncated"] = True
                info["episode"] = {key: value[i].item() for key, value in episodes.items()}
        # The batch rewrites its buffers at the next step; SB3 keeps what it is given.
        return observations.copy(), rewards.astype(np.float32), truncations.copy(), infos

    def close(self):
        self._team.batch = None

    def get_attr(self, attr_name, indices=None):
        return [getattr(self, attr_name)] * len(self._get_indices(indices))

    def set_attr(self, attr_name, value, indices=None):
        raise AttributeError(f"the matches of one VecMatch share their attributes: cannot set {attr_name}")

    def env_method(self, method_name, *method_args, indices=None, **method_kwargs):
        raise AttributeError(f"the matches of one VecMatch are not separate environments: no {method_name}")

    def env_is_wrapped(self, wrapper_class, indices=None):
        return [False] * len(self._get_indices(indices))

    @property
    def batch(self):
        """The VecMatch underneath."""
        return self._team.batch
