"""A small trained policy in the file format the C++ programs play too (`--brain SLOTS=policy:FILE`): a safetensors
file holding an MLP over the ego observation whose outputs pick one of a few coarse actions, with what it expects in
its metadata. Playing it needs numpy and safetensors only, and gives the C++ brain's actions exactly."""

import numpy as np

# The coarse actions (code and, for a move, the point relative to the player in his ego frame, ahead being +x) are
# the agent library's, which the environments' coarse form plays too.
from ._tryzone import COARSE_ACTION_SETS, MOVE, OBSERVATION_SIZE, OBSERVATION_VERSION, PITCH_HEIGHT, PITCH_WIDTH

FORMAT = "tryzone-policy"
# The outputs choose among an action set's coarse actions, in their order (COARSE_ACTION_SETS); each set begins with
# the one before it, so the longest table plays a choice of any set.
ACTION_SET = "coarse-v1"
COARSE_TABLE = max(COARSE_ACTION_SETS.values(), key=len)


def feature_scale():
    """What scales the observation to about unit size: pixels by the pitch's width, speeds alike, flags as they are.
    The score and the clock are left out: they grow with a match's length, which training need not share with play."""
    scale = np.full(OBSERVATION_SIZE, 1 / PITCH_WIDTH, dtype=np.float32)
    scale[[0, 1, 2, 47, 55]] = 0.1
    scale[[48, 49]] = 1.0
    scale[50] = 1 / 60
    scale[[51, 52, 53, 54]] = 0.0
    return scale


def features(observations):
    """The observation scaled as the policy sees it."""
    return observations * feature_scale()


def actions_for(observations, choices):
    """VecMatch actions [..., 3] for coarse choices [...], moves made relative to each player's position, as the
    batch's step_coarse makes them."""
    actions = COARSE_TABLE[choices].copy()
    moves = actions[..., 0] == MOVE
    x = np.clip(observations[..., 3].astype(np.int32) + actions[..., 1], 0, PITCH_WIDTH)
    y = np.clip(observations[..., 4].astype(np.int32) + actions[..., 2], 0, PITCH_HEIGHT)
    actions[..., 1] = np.where(moves, x, actions[..., 1])
    actions[..., 2] = np.where(moves, y, actions[..., 2])
    return actions


def save(path, layers, decision_frames, scale=None, action_set=ACTION_SET):
    """Writes a policy file: layers are (weight [out, in], bias [out]) pairs, tanh between them, the last one with an
    output for each action of the action set."""
    from safetensors.numpy import save_file

    check_outputs(action_set, len(layers[-1][1]), path)
    tensors = {"input_scale": np.ascontiguousarray(feature_scale() if scale is None else scale, dtype=np.float32)}
    for i, (w, b) in enumerate(layers):
        tensors[f"layer.{i}.weight"] = np.ascontiguousarray(w, dtype=np.float32)
        tensors[f"layer.{i}.bias"] = np.ascontiguousarray(b, dtype=np.float32)
    metadata = {"format": FORMAT, "observation_version": str(OBSERVATION_VERSION), "action_set": action_set,
                "decision_frames": str(int(decision_frames))}
    save_file(tensors, str(path), metadata=metadata)


def check_outputs(action_set, outputs, path):
    """Refuses an unknown action set, or a network without one output for each of its actions."""
    if action_set not in COARSE_ACTION_SETS:
        raise ValueError(f"{path}: action set {action_set!r} is not one of {', '.join(COARSE_ACTION_SETS)}")
    if outputs != len(COARSE_ACTION_SETS[action_set]):
        raise ValueError(f"{path}: its last layer has {outputs} outputs, not one for each of the "
                         f"{len(COARSE_ACTION_SETS[action_set])} actions of {action_set}")


class Policy:
    """A policy file read and checked as the C++ programs check it; `act` plays it."""

    def __init__(self, path):
        from safetensors import safe_open

        path = str(path)
        with safe_open(path, framework="numpy") as f:
            metadata = f.metadata() or {}
            tensors = {name: f.get_tensor(name) for name in f.keys()}
        if metadata.get("format") != FORMAT:
            raise ValueError(f"{path} is not a TryZone policy (its metadata's format is not {FORMAT})")
        if metadata.get("observation_version") != str(OBSERVATION_VERSION):
            raise ValueError(f"{path} was trained on observations of version {metadata.get('observation_version')}, "
                             f"and this package gives version {OBSERVATION_VERSION}")
        self.decision_frames = int(metadata["decision_frames"])
        self.scale = tensors["input_scale"]
        self.layers = []
        while f"layer.{len(self.layers)}.weight" in tensors:
            i = len(self.layers)
            self.layers.append((tensors[f"layer.{i}.weight"].astype(np.float64),
                                tensors[f"layer.{i}.bias"].astype(np.float64)))
        self.action_set = metadata.get("action_set")
        check_outputs(self.action_set, len(self.layers[-1][1]) if self.layers else 0, path)

    def logits(self, observations):
        # In float64, as the C++ forward pass: the two pick the same action, not merely nearly the same.
        x = (np.asarray(observations, dtype=np.float32) * self.scale).astype(np.float64)
        for i, (w, b) in enumerate(self.layers):
            x = x @ w.T + b
            if i + 1 < len(self.layers):
                x = np.tanh(x)
        return x

    def choose(self, observations):
        """The most likely coarse action of every player, as indices into its action set (for step_coarse)."""
        return self.logits(observations).argmax(-1).astype(np.int32)

    def act(self, observations):
        """The most likely coarse action of every player, as VecMatch actions."""
        return actions_for(observations, self.choose(observations))
