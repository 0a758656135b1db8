"""The training examples' shared parts: returns across match ends, rollouts of team and player rewards, imitation of
the scripted carrier, the shaping of train_red and the ladder's opponents as train_ladder and evaluate set them."""

import sys
from argparse import Namespace
from pathlib import Path

import numpy as np
import pytest
import torch

import tryzone
from tryzone._tryzone import entrant
from tryzone.evaluate import main as evaluate, opponent_options
from tryzone.policy import Policy

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "examples"))

import train_ladder  # noqa: E402
import train_red  # noqa: E402
from restarter import restart_choices  # noqa: E402
from training_common import Net, Rollout, carrier_choices, discounted_returns, imitate, save  # noqa: E402


@pytest.mark.parametrize("rewards, dones, bootstrap, expected", [
    # No end: each return is its reward plus the next return, discounted; the last takes the bootstrap value.
    ([1, 0, 0], [0, 0, 0], 2.0, [1.25, 0.5, 1.0]),
    # A match ending at the second step takes nothing from the match after it, nor from the bootstrap.
    ([0, 1, 3], [0, 1, 0], 4.0, [0.5, 1, 5]),
    # Ending at the last step: the bootstrap (the next match's first value) is not counted.
    ([-1, 0], [0, 1], 9.0, [-1, 0]),
])
def test_returns_stop_at_the_end_of_a_match(rewards, dones, bootstrap, expected):
    column = [torch.tensor([[float(r)]]) for r in rewards]
    ends = [torch.tensor([[float(d)]]) for d in dones]
    returns = discounted_returns(column, ends, torch.tensor([[bootstrap]]), gamma=0.5)
    np.testing.assert_allclose(returns[:, 0, 0].numpy(), expected)


@pytest.mark.parametrize("rewards", [np.array([1.0, -1.0]), np.array([[1.0] * 5, [-1.0] * 5])])
def test_a_rollout_gives_a_teams_reward_to_each_player_and_ends_only_the_matches_that_ended(rewards):
    rollout = Rollout()
    rollout.act(Net(8), np.zeros((2, 5, tryzone.OBSERVATION_SIZE), dtype=np.float32))
    rollout.record(rewards, np.array([False, True]))
    assert rollout.rewards[0].tolist() == [[1.0] * 5, [-1.0] * 5]
    assert rollout.dones[0].tolist() == [[0.0] * 5, [1.0] * 5]


def test_imitation_makes_the_ball_holder_run_for_the_line_and_the_others_play_their_graphs():
    observations = np.zeros((2, 5, tryzone.OBSERVATION_SIZE), dtype=np.float32)
    observations[0, 3, 48] = 1
    assert carrier_choices(observations).tolist() == [[0, 0, 0, 4, 0], [0] * 5]
    torch.manual_seed(0)
    net = Net(16)
    batch = tryzone.VecMatch(4, range(5, 10), seed=3, minutes=0.5)
    steps, accuracy = imitate(net, torch.optim.Adam(net.parameters(), lr=1e-2), [batch], 0, updates=150)
    assert steps == 150 * 4 and accuracy > 0.95
    # The matches played the carrier's choices, not the network's.
    twin = tryzone.VecMatch(4, range(5, 10), seed=3, minutes=0.5)
    seen = twin.reset()
    for _ in range(150):
        seen = twin.step_coarse(carrier_choices(seen))[0]
    for key, value in twin.raw_state().items():
        np.testing.assert_array_equal(batch.raw_state()[key], value)
    seen = batch.reset()
    for _ in range(60):
        seen = batch.step_coarse(carrier_choices(seen))[0]
        holders = seen[..., 48] > 0
        greedy = net(torch.from_numpy(tryzone.policy.features(seen)))[0].argmax(-1).numpy()
        assert (greedy[holders] == 4).all()


def test_shaping_rewards_the_balls_gain_only_while_red_held_it_and_not_across_a_match_end():
    before, after = np.zeros((3, 5, 56), np.float32), np.zeros((3, 5, 56), np.float32)
    before[:, 0, 45], after[:, 0, 45] = 100, 740
    before[[0, 2], 0, 49] = 1
    shaped = train_red.shaped(np.array([1.0, 0.0, 0.0]), before, after, np.array([False, False, True]), 2.0)
    np.testing.assert_allclose(shaped, [1 + 2 * 640 / 1280, 0, 0])


@pytest.mark.parametrize("text, team, expected", [
    ("builtin", "red", {"brains": []}),
    ("runner", "red", {"brains": [f"{slot}=runner" for slot in range(5)]}),
    ("runner", "blue", {"brains": [f"{slot}=runner" for slot in range(5, 10)]}),
    ("ladder/fast-break-runners.team.json", "red",
     {"blue_tactics": "tactics/fast-break.tactics.json", "brains": ["0=runner", "1=runner"]}),
    ("tactics/hold-the-line.tactics.json", "blue", {"red_tactics": "tactics/hold-the-line.tactics.json", "brains": []}),
])
def test_an_opponent_plays_the_side_facing_the_team_with_its_tactics_and_brains(text, team, expected, monkeypatch):
    monkeypatch.chdir(ROOT)
    options = opponent_options(entrant(text), team)
    for key in ("blue_tactics", "red_tactics"):
        if key in options:
            options[key] = str(Path(options[key]).resolve().relative_to(ROOT))
    assert options == expected


def test_the_ladder_trainer_faces_every_fixed_entrant_and_evaluate_plays_under_the_laws_given(tmp_path, monkeypatch):
    monkeypatch.chdir(ROOT)
    args = Namespace(laws="laws/rugby.laws.json", ladder="ladder", envs=1, seed=1, match_minutes=0.1, threads=1,
                     weight=["runner=3"])
    batches, names = train_ladder.ladder_batches(args)
    assert "runner" in names and "builtin" in names and "random" not in names and "trained" not in names
    assert [b.num_matches for b in batches] == [3 if name == "runner" else 1 for name in names]
    save(Net(8), tmp_path / "p.safetensors", 12)
    with pytest.raises(ValueError, match="missing.laws.json"):
        evaluate([str(tmp_path / "p.safetensors"), "--against", "builtin", "--laws",
                  str(tmp_path / "missing.laws.json")])


def test_the_anchor_pulls_the_ball_holders_choice_towards_the_run_for_the_line():
    torch.manual_seed(1)
    net = Net(8)
    observations = np.zeros((2, 5, tryzone.OBSERVATION_SIZE), dtype=np.float32)
    observations[0, 2, 48] = 1
    x = torch.from_numpy(tryzone.policy.features(observations))
    before = torch.softmax(net(x)[0], -1)[0, 2, 4].item()
    optimiser = torch.optim.Adam(net.parameters(), lr=0.05)
    for _ in range(5):
        rollout = Rollout(anchor=10.0, entropy=0.0)
        rollout.act(net, observations)
        rollout.record(np.zeros(2), np.array([False, False]))
        rollout.update(net, optimiser, observations)
    assert torch.softmax(net(x)[0], -1)[0, 2, 4].item() > before + 0.3
    assert Rollout(anchor=1.0).anchor_loss().item() == 0  # no holder seen, nothing to pull

    def carrier_net(x):  # the holder runs for the line, the others play their graphs: nothing to pull
        runs = torch.tensor([0.0, 0, 0, 0, 20, 0]), torch.tensor([20.0, 0, 0, 0, 0, 0])
        return torch.where(x[..., 48:49] > 0, *runs), x[..., 0]

    rollout = Rollout(anchor=1.0)
    rollout.act(carrier_net, observations)
    assert rollout.anchor_loss().item() < 1e-6
    # With attack, the holder's teammates are pulled to their state graphs too: running for the line costs.
    observations[0, :, 49] = 1

    def all_run(x):
        return torch.tensor([0.0, 0, 0, 0, 20, 0]).expand(x.shape[:-1] + (6,)), x[..., 0]

    for attack, anchored in ((False, 1), (True, 5)):
        rollout = Rollout(anchor=1.0, attack=attack)
        rollout.act(all_run, observations)
        assert rollout.anchor_loss().item() == pytest.approx(20 * (anchored - 1) / anchored, abs=1e-3)
    # With others, everyone but the holder is pulled to his state graph, and the holder is free.
    for net, loss in ((all_run, 20.0), (carrier_net, 0.0)):
        rollout = Rollout(anchor=1.0, others=True)
        rollout.act(net, observations)
        assert rollout.anchor_loss().item() == pytest.approx(loss, abs=1e-3)


def test_the_restarter_runs_back_from_his_own_end_and_its_network_saves_as_coarse_v2(tmp_path):
    observations = np.zeros((3, 5, tryzone.OBSERVATION_SIZE), dtype=np.float32)
    observations[:, 1, 48] = 1
    observations[:, 1, 3] = [499, 500, 1000]
    observations[:, 0, 3] = 100  # without the ball, his graph wherever he stands
    assert restart_choices(observations).tolist() == [[0, 6, 0, 0, 0], [0, 4, 0, 0, 0], [0, 4, 0, 0, 0]]
    save(Net(8, "coarse-v2"), tmp_path / "v2.safetensors", 12)
    policy = Policy(tmp_path / "v2.safetensors")
    assert policy.action_set == "coarse-v2" and policy.logits(observations).shape == (3, 5, 7)
    broken = Net(8, "coarse-v2")
    broken.action_set = "coarse-v1"
    with pytest.raises(ValueError, match="7 outputs, not one for each of the 6 actions of coarse-v1"):
        save(broken, tmp_path / "broken.safetensors", 12)


@pytest.mark.parametrize("target, x, wanted", [(carrier_choices, 200, 4), (restart_choices, 200, 6),
                                               (restart_choices, 800, 4)])
def test_the_anchor_pulls_the_holder_towards_its_targets_choice(target, x, wanted):
    torch.manual_seed(2)
    net = Net(8, "coarse-v2")
    observations = np.zeros((1, 5, tryzone.OBSERVATION_SIZE), dtype=np.float32)
    observations[0, 2, 48], observations[0, 2, 3] = 1, x
    features = torch.from_numpy(tryzone.policy.features(observations))
    optimiser = torch.optim.Adam(net.parameters(), lr=0.05)
    for _ in range(20):
        rollout = Rollout(anchor=10.0, entropy=0.0, target=target)
        rollout.act(net, observations)
        rollout.record(np.zeros(1), np.array([False]))
        rollout.update(net, optimiser, observations)
    assert net(features)[0][0, 2].argmax().item() == wanted


def test_the_kept_ladder_policy_is_the_one_best_against_its_hardest_entrant_lately():
    curve = [(0, [0.0, 0.0]), (1, [0.0, 1.0]), (2, [1.0, 1.0]), (3, [1.0, 0.5])]
    assert train_ladder.worst_recent(curve) == pytest.approx(2 / 3)
