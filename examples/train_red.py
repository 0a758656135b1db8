"""Trains one shared network for the five red players against the built-in blue on tryzone.vector_env (advantage
actor-critic over a few coarse actions, see tryzone/policy.py), for a wall-clock budget; saves the policy as a policy file (safetensors, playable by the C++ programs too) and
the learning curve (win rate of the finished training matches against environment steps) as a PNG.

    .venv/bin/python examples/train_red.py --minutes 6 --out examples/red-policy.safetensors --curve docs/learning-curve.png

The reward is +1 / -1 per try; --shaping W adds W x the ball's gain towards the red try line (ego frame, in pitch
widths) while red holds it, an optional help that the evaluation does not use."""

import argparse
import time

import numpy as np
import torch
from torch import nn

import tryzone
from tryzone.evaluate import play
from tryzone import policy
from tryzone.policy import COARSE_ACTIONS, actions_for, features


class Net(nn.Module):
    def __init__(self, hidden):
        super().__init__()
        self.body = nn.Sequential(nn.Linear(tryzone.OBSERVATION_SIZE, hidden), nn.Tanh())
        self.policy = nn.Linear(hidden, len(COARSE_ACTIONS))
        self.value = nn.Linear(hidden, 1)
        # Start close to the built-in team: BUILTIN most likely.
        with torch.no_grad():
            self.policy.weight.mul_(0.01)
            self.policy.bias.zero_()
            self.policy.bias[0] = 1.0

    def forward(self, x):
        h = self.body(x)
        return self.policy(h), self.value(h).squeeze(-1)


def save(net, path, decision_frames):
    layers = [(layer.weight.detach().numpy(), layer.bias.detach().numpy()) for layer in (net.body[0], net.policy)]
    policy.save(path, layers, decision_frames)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=6.0, help="wall-clock training budget")
    parser.add_argument("--envs", type=int, default=32)
    parser.add_argument("--match-minutes", type=float, default=3.0,
                        help="simulated minutes of a training match: short ones end often, so tries are frequent")
    parser.add_argument("--decision-frames", type=int, default=12)
    parser.add_argument("--rollout", type=int, default=32, help="steps per update")
    parser.add_argument("--shaping", type=float, default=0.0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--out", default="red-policy.safetensors")
    parser.add_argument("--curve", default=None)
    parser.add_argument("--smoke", action="store_true", help="half a minute on 4 short matches, as CI runs it")
    args = parser.parse_args()
    if args.smoke:
        args.minutes, args.envs, args.match_minutes = 0.5, 4, 0.5

    torch.manual_seed(args.seed)
    torch.set_num_threads(1)
    env = tryzone.vector_env(args.envs, team="red", minutes=args.match_minutes, decision_frames=args.decision_frames,
                             threads=args.threads)
    # The line the curve should rise above: the built-in red on matches as long as the training ones.
    baseline = None
    if args.curve:
        matches = 4 * args.envs
        baseline = play(None, "red", matches, args.seed + 1000, args.match_minutes, args.threads)["wins"] / matches
    net = Net(64)
    optimiser = torch.optim.Adam(net.parameters(), lr=1e-3)
    gamma = 0.995
    observations, _ = env.reset(seed=args.seed)
    score = np.zeros(args.envs)
    curve = []  # environment steps, win rate of the matches that ended then
    steps = 0
    start = time.monotonic()
    while time.monotonic() - start < args.minutes * 60:
        logps, values, entropies, rewards = [], [], [], []
        for _ in range(args.rollout):
            x = torch.from_numpy(features(observations).copy())
            logits, value = net(x)
            dist = torch.distributions.Categorical(logits=logits)
            choice = dist.sample()
            actions = actions_for(observations, choice.numpy())
            ball_before = observations[:, 0, 45].copy()
            red_holds = observations[:, 0, 49] > 0
            observations, reward, _, truncated, infos = env.step(actions)
            reward = reward.astype(np.float64)
            if args.shaping:
                gain = (observations[:, 0, 45] - ball_before) / 1280
                reward = reward + args.shaping * np.where(red_holds & ~truncated, gain, 0.0)
            score += reward if not args.shaping else 0
            steps += args.envs
            logps.append(dist.log_prob(choice))
            values.append(value)
            entropies.append(dist.entropy().mean())
            rewards.append(torch.tensor(reward, dtype=torch.float32)[:, None].expand(-1, 5))
            if truncated[0]:
                # score counts only tries when there is no shaping; with shaping, the wins come from the raw rewards.
                curve.append((steps, float((score > 0).mean())))
                print(f"{time.monotonic() - start:7.0f} s  {steps:9d} steps  win rate {curve[-1][1]:.3f}", flush=True)
                score[:] = 0
                save(net, args.out, args.decision_frames)
                done = torch.tensor(truncated, dtype=torch.float32)[:, None].expand(-1, 5)
            else:
                done = None
            rewards[-1] = (rewards[-1], done)
        with torch.no_grad():
            _, bootstrap = net(torch.from_numpy(features(observations).copy()))
        returns = []
        running = bootstrap
        for reward, done in reversed([r if isinstance(r, tuple) else (r, None) for r in rewards]):
            if done is not None:
                running = running * (1 - done)
            running = reward + gamma * running
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
    save(net, args.out, args.decision_frames)
    print(f"saved {args.out} after {steps} steps in {(time.monotonic() - start) / 60:.1f} minutes", flush=True)
    if args.curve and curve:
        import matplotlib

        matplotlib.use("Agg")
        import matplotlib.pyplot as plt

        xs, ys = zip(*curve)
        plt.figure(figsize=(6, 3.5))
        plt.plot(xs, ys, marker="o")
        plt.axhline(baseline, color="grey", linestyle="--", label=f"built-in red ({baseline:.2f})")
        plt.xlabel("environment steps (matches x decisions)")
        plt.ylabel(f"red win rate, {args.match_minutes:g}-minute matches")
        plt.legend()
        plt.tight_layout()
        plt.savefig(args.curve, dpi=80)


if __name__ == "__main__":
    main()
