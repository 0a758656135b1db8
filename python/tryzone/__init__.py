"""TryZone matches with any players controlled from Python (see docs/agents.md and docs/python.md)."""

from ._tryzone import (
    BUILTIN,
    COARSE_ACTION_SETS,
    COARSE_ACTIONS,
    DEFAULT_DECISION_FRAMES,
    HOLD,
    MOVE,
    OBSERVATION_SIZE,
    PASS,
    PITCH_HEIGHT,
    PITCH_WIDTH,
    PLAYERS,
    RANDOM_TEAMMATE,
    TEAM_SIZE,
    VecMatch,
)
from .display import NoDisplayError
from .envs import AGENTS, parallel_env, team_env
from .registration import register_environments
from .vector import vector_env

register_environments()

__all__ = [
    "AGENTS",
    "BUILTIN",
    "COARSE_ACTION_SETS",
    "COARSE_ACTIONS",
    "DEFAULT_DECISION_FRAMES",
    "HOLD",
    "MOVE",
    "NoDisplayError",
    "OBSERVATION_SIZE",
    "PASS",
    "PITCH_HEIGHT",
    "PITCH_WIDTH",
    "PLAYERS",
    "RANDOM_TEAMMATE",
    "TEAM_SIZE",
    "VecMatch",
    "parallel_env",
    "team_env",
    "vector_env",
]
