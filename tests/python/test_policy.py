"""Policy files through Python: every fault of the metadata refused with the file's name and what is wrong, the
forward pass of a deep network, and moves kept on the pitch."""

import numpy as np
import pytest
from safetensors.numpy import load_file, save_file

import tryzone
from tryzone.policy import COARSE_TABLE, Policy, actions_for, save

METADATA = {"format": "tryzone-policy", "observation_version": str(tryzone._tryzone.OBSERVATION_VERSION),
            "action_set": "coarse-v1", "decision_frames": "12"}


@pytest.mark.parametrize("key, value, words", [
    ("format", "onnx", "is not a TryZone policy (its metadata's format is not tryzone-policy)"),
    ("format", None, "is not a TryZone policy"),
    ("observation_version", "0", "was trained on observations of version 0, and this package gives version"),
    ("action_set", "coarse-v0", ": action set 'coarse-v0' is not one of coarse-v1, coarse-v2"),
])
def test_a_policy_file_with_other_metadata_is_refused_by_name(tmp_path, key, value, words):
    good = tmp_path / "good.safetensors"
    save(good, [(np.zeros((6, 56)), np.zeros(6))], 12)
    metadata = {k: v for k, v in {**METADATA, key: value}.items() if v is not None}
    bad = tmp_path / "bad.safetensors"
    save_file(load_file(good), str(bad), metadata=metadata)
    with pytest.raises(ValueError) as raised:
        Policy(bad)
    assert str(raised.value).startswith(str(bad)) and words in str(raised.value)


def test_a_deep_policy_is_tanh_between_layers_in_float64_over_its_own_scale(tmp_path):
    rng = np.random.default_rng(3)
    layers = [(rng.normal(size=(8, 56)), rng.normal(size=8)), (rng.normal(size=(7, 8)), rng.normal(size=7)),
              (rng.normal(size=(6, 7)), rng.normal(size=6))]
    scale = list(rng.uniform(0.001, 0.1, 56))  # a list, as a trainer may give it: saved as float32 all the same
    file = tmp_path / "deep.safetensors"
    save(file, layers, 24, scale=scale)
    assert load_file(file)["input_scale"].dtype == np.float32
    policy = Policy(file)
    assert policy.decision_frames == 24 and len(policy.layers) == 3
    observations = rng.normal(0, 300, (4, 5, 56)).astype(np.float32)
    x = (observations * np.float32(scale)).astype(np.float64)
    for i, (w, b) in enumerate(layers):
        x = x @ w.astype(np.float32).astype(np.float64).T + b.astype(np.float32)
        x = np.tanh(x) if i < 2 else x
    np.testing.assert_allclose(policy.logits(observations), x, rtol=1e-12)
    assert policy.choose(observations).dtype == np.int32


def test_a_move_towards_an_edge_stops_on_the_pitch():
    moves = [i for i, action in enumerate(COARSE_TABLE) if action[0] == tryzone.MOVE]
    observations = np.zeros((len(moves), 56), dtype=np.float32)
    corners = [(2, 3), (tryzone.PITCH_WIDTH - 2, tryzone.PITCH_HEIGHT - 1)]
    for x, y in corners:
        observations[:, 3], observations[:, 4] = x, y
        actions = actions_for(observations, np.array(moves))
        assert (actions[:, 1] >= 0).all() and (actions[:, 1] <= tryzone.PITCH_WIDTH).all()
        assert (actions[:, 2] >= 0).all() and (actions[:, 2] <= tryzone.PITCH_HEIGHT).all()
        expected = np.clip([x, y] + COARSE_TABLE[moves][:, 1:], 0, [tryzone.PITCH_WIDTH, tryzone.PITCH_HEIGHT])
        np.testing.assert_array_equal(actions[:, 1:], expected)
