"""A small policy as saved by examples/train_red.py: an MLP over the ego observation whose outputs pick one of a few
coarse actions, stored as numpy arrays in an .npz file, so that playing it needs no PyTorch."""

import numpy as np

# The coarse actions (code and, for a move, the point relative to the player in his ego frame, ahead being +x) are
# the agent library's, which the environments' coarse form plays too.
from ._tryzone import COARSE_ACTIONS, MOVE, OBSERVATION_SIZE, PITCH_HEIGHT, PITCH_WIDTH


def features(observations):
    """The observation scaled to about unit size: pixels by the pitch's width, speeds alike, flags as they are. The
    score and the clock are left out: they grow with a match's length, which training need not share with play."""
    scale = np.full(OBSERVATION_SIZE, 1 / PITCH_WIDTH, dtype=np.float32)
    scale[[0, 1, 2, 47, 55]] = 0.1
    scale[[48, 49]] = 1.0
    scale[50] = 1 / 60
    scale[[51, 52, 53, 54]] = 0.0
    return observations * scale


def actions_for(observations, choices):
    """VecMatch actions [..., 3] for coarse choices [...], moves made relative to each player's position."""
    actions = COARSE_ACTIONS[choices].copy()
    moves = actions[..., 0] == MOVE
    x = np.clip(observations[..., 3] + actions[..., 1], 0, PITCH_WIDTH)
    y = np.clip(observations[..., 4] + actions[..., 2], 0, PITCH_HEIGHT)
    actions[..., 1] = np.where(moves, x, actions[..., 1])
    actions[..., 2] = np.where(moves, y, actions[..., 2])
    return actions


class Policy:
    """Loads weights w0, b0, w1, b1, ... (tanh between layers) and the decision_frames it was trained with."""

    def __init__(self, path):
        data = np.load(path)
        self.layers = []
        while f"w{len(self.layers)}" in data:
            i = len(self.layers)
            self.layers.append((data[f"w{i}"], data[f"b{i}"]))
        self.decision_frames = int(data["decision_frames"])

    def logits(self, observations):
        x = features(observations)
        for i, (w, b) in enumerate(self.layers):
            x = x @ w.T + b
            if i + 1 < len(self.layers):
                x = np.tanh(x)
        return x

    def act(self, observations):
        """The most likely coarse action of every player, as VecMatch actions."""
        return actions_for(observations, self.logits(observations).argmax(-1))
