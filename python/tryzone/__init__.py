"""TryZone matches with any players controlled from Python (see docs/agents.md)."""

from ._tryzone import (
    BUILTIN,
    DEFAULT_DECISION_FRAMES,
    HOLD,
    MOVE,
    OBSERVATION_SIZE,
    PASS,
    VecMatch,
)

__all__ = ["BUILTIN", "DEFAULT_DECISION_FRAMES", "HOLD", "MOVE", "OBSERVATION_SIZE", "PASS", "VecMatch"]
