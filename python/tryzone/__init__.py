"""TryZone matches with any players controlled from Python (see docs/agents.md and docs/python.md)."""

from ._tryzone import (
    BUILTIN,
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
from .envs import AGENTS, parallel_env, team_env, vector_env

__all__ = [
    "AGENTS",
    "BUILTIN",
    "DEFAULT_DECISION_FRAMES",
    "HOLD",
    "MOVE",
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
