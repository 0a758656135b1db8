"""gymnasium.make ids. The registered forms are the ones trainers take as they are: coarse actions, normalised
observations, and matches of three minutes, long enough for tries and short enough that episodes end often."""

from gymnasium.envs.registration import register, registry

from .envs import steps_per_match

TRAINING_MINUTES = 3.0
TRAINING = {"actions": "coarse", "observations": "normalised", "minutes": TRAINING_MINUTES}


def register_environments():
    if "tryzone/Team-v0" in registry:
        return
    steps = steps_per_match(TRAINING_MINUTES)
    register("tryzone/Team-v0", entry_point="tryzone.envs:team_env", vector_entry_point="tryzone.vector:vector_env",
             max_episode_steps=steps, kwargs=dict(TRAINING))
    # The same matches with the exact actions and raw observations of VecMatch.
    register("tryzone/TeamExact-v0", entry_point="tryzone.envs:team_env",
             vector_entry_point="tryzone.vector:vector_env", max_episode_steps=steps,
             kwargs={"minutes": TRAINING_MINUTES})
    register("tryzone/TeamVector-v0", vector_entry_point="tryzone.vector:vector_env", kwargs=dict(TRAINING))
