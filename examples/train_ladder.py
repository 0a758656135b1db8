"""Trains a red team to beat the ladder's fixed entrants: one network shared by the five red players (advantage
actor-critic over the coarse actions, as examples/train_red.py), in one VecMatch where all ten players are controlled,
each match against one opponent of a mix: the built-in blue, the scripted carrier (the blue holder runs for the try
line, the others play their state graphs) and a frozen copy of the network itself, refreshed as it learns. Saves the
policy as train_red.py does and the learning curve (win rate against each opponent) as a PNG.

    .venv/bin/python examples/train_ladder.py --minutes 25 --laws laws/rugby.laws.json \\
        --out examples/ladder-policy.npz --curve docs/ladder-curve.png
"""

import argparse
import copy
import time

import numpy as np
import torch
from torch import nn
from train_red import Net, save

import tryzone
from tryzone.policy import features

OPPONENTS = ("builtin", "carrier", "self")


def opponent_choices(kinds, observations, frozen):
    """The blue players' coarse choices, each match's by its opponent kind."""
    choices = np.zeros(observations.shape[:2], dtype=np.int32)
    carrier = kinds == OPPONENTS.index("carrier")
    choices[carrier] = np.where(observations[carrier, :, 48] > 0, 4, 0)
    selfplay = kinds == OPPONENTS.index("self")
    if selfplay.any():
        with torch.no_grad():
            logits, _ = frozen(torch.from_numpy(features(observations[selfplay])))
        choices[selfplay] = torch.distributions.Categorical(logits=logits).sample().numpy()
    return choices


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=25.0, help="wall-clock training budget")
    parser.add_argument("--envs", type=int, default=48)
    parser.add_argument("--match-minutes", type=float, default=3.0)
    parser.add_argument("--laws", default=None, help="a laws file (VecMatch's laws=)")
    parser.add_argument("--rollout", type=int, default=32)
    parser.add_argument("--refresh", type=float, default=3.0, help="minutes between copies of the self-play opponent")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--out", default="ladder-policy.npz")
    parser.add_argument("--curve", default=None)
    parser.add_argument("--smoke", action="store_true")
    args = parser.parse_args()
    if args.smoke:
        args.minutes, args.envs, args.match_minutes = 0.3, 6, 0.3

    torch.manual_seed(args.seed)
    torch.set_num_threads(1)
    laws = {"laws": args.laws} if args.laws else {}
    batch = tryzone.VecMatch(args.envs, range(10), seed=args.seed, minutes=args.match_minutes,
                             threads=args.threads, **laws)
    kinds = np.arange(args.envs) % len(OPPONENTS)
    net = Net(64)
    frozen = copy.deepcopy(net)
    optimiser = torch.optim.Adam(net.parameters(), lr=1e-3)
    gamma = 0.995
    observations = batch.reset()
    score = np.zeros(args.envs)
    curve = []  # environment steps, win rate against each opponent over the matches that ended then
    steps, refreshed, start = 0, time.monotonic(), time.monotonic()
    while time.monotonic() - start < args.minutes * 60:
        logps, values, entropies, rewards, dones = [], [], [], [], []
        for _ in range(args.rollout):
            logits, value = net(torch.from_numpy(features(observations[:, 5:])))
            dist = torch.distributions.Categorical(logits=logits)
            choice = dist.sample()
            blue = opponent_choices(kinds, observations[:, :5], frozen)
            observations, reward, _, truncated, _ = batch.step_coarse(
                np.concatenate([blue, choice.numpy().astype(np.int32)], axis=1))
            score += reward[:, 5]
            steps += args.envs
            logps.append(dist.log_prob(choice))
            values.append(value)
            entropies.append(dist.entropy().mean())
            rewards.append(torch.tensor(reward[:, 5:], dtype=torch.float32))
            dones.append(torch.tensor(truncated, dtype=torch.float32)[:, None].expand(-1, 5))
            if truncated[0]:
                curve.append((steps, [float((score[kinds == k] > 0).mean()) for k in range(len(OPPONENTS))]))
                print(f"{time.monotonic() - start:7.0f} s  {steps:9d} steps  win rate "
                      + "  ".join(f"{name} {rate:.2f}" for name, rate in zip(OPPONENTS, curve[-1][1])), flush=True)
                score[:] = 0
                save(net, args.out, batch.decision_frames)
        with torch.no_grad():
            _, running = net(torch.from_numpy(features(observations[:, 5:])))
        returns = []
        for reward, done in zip(reversed(rewards), reversed(dones)):
            running = reward + gamma * running * (1 - done)
            returns.append(running)
        returns = torch.stack(returns[::-1])
        values = torch.stack(values)
        advantage = (returns - values).detach()
        loss = (-(torch.stack(logps) * advantage).mean() + 0.5 * (returns - values).pow(2).mean()
                - 0.01 * torch.stack(entropies).mean())
        optimiser.zero_grad()
        loss.backward()
        nn.utils.clip_grad_norm_(net.parameters(), 0.5)
        optimiser.step()
        if time.monotonic() - refreshed > args.refresh * 60:
            frozen.load_state_dict(net.state_dict())
            refreshed = time.monotonic()
    save(net, args.out, batch.decision_frames)
    print(f"saved {args.out} after {steps} steps in {(time.monotonic() - start) / 60:.1f} minutes", flush=True)
    if args.curve and curve:
        plot(curve, args)


def plot(curve, args):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    xs = [s for s, _ in curve]
    plt.figure(figsize=(6, 3.5))
    for k, name in enumerate(OPPONENTS):
        plt.plot(xs, [rates[k] for _, rates in curve], marker=".", label=f"against {name}")
    plt.xlabel("environment steps (matches x decisions)")
    plt.ylabel(f"red win rate, {args.match_minutes:g}-minute matches")
    plt.ylim(0, 1)
    plt.legend()
    plt.tight_layout()
    plt.savefig(args.curve, dpi=80)


if __name__ == "__main__":
    main()
