"""Trains one shared network for the five red players against the built-in blue on tryzone.vector_env (advantage
actor-critic over a few coarse actions, see tryzone/policy.py), for a wall-clock budget; saves the policy as a policy
file (safetensors, playable by the C++ programs too) and the learning curve (win rate of the finished training
matches against environment steps) as a PNG.

    .venv/bin/python examples/train_red.py --minutes 6 --out examples/red-policy.safetensors --curve docs/learning-curve.png

The reward is +1 / -1 per try; --shaping W adds W x the ball's gain towards the red try line (ego frame, in pitch
widths) while red holds it, an optional help that the evaluation does not use."""

import time

import numpy as np
import torch
from training_common import Net, Rollout, arguments, plot_curve, progress, save

import tryzone
from tryzone.evaluate import play

BALL_X, RED_HOLDS = 45, 49


def shaped(rewards, before, after, truncated, weight):
    """The tries' rewards plus weight x the ball's gain (in pitch widths) in the steps red held it."""
    gain = (after[:, 0, BALL_X] - before[:, 0, BALL_X]) / tryzone.PITCH_WIDTH
    return rewards + weight * np.where((before[:, 0, RED_HOLDS] > 0) & ~truncated, gain, 0.0)


def main():
    parser = arguments(__doc__, "red-policy.safetensors", minutes=6.0,
                       smoke="a quarter of a minute on 4 short matches, as CI runs it")
    parser.add_argument("--decision-frames", type=int, default=12)
    parser.add_argument("--shaping", type=float, default=0.0)
    args = parser.parse_args()
    if args.smoke:
        args.minutes, args.envs, args.match_minutes = 0.25, 4, 0.25

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
    observations, _ = env.reset(seed=args.seed)
    tries = np.zeros(args.envs)  # each match's tries scored less conceded, shaping left out
    curve = []  # environment steps, win rate of the matches that ended then
    steps, start = 0, time.monotonic()
    while time.monotonic() - start < args.minutes * 60:
        rollout = Rollout()
        for _ in range(args.rollout):
            choices = rollout.act(net, observations)
            before = observations
            observations, rewards, _, truncated, _ = env.step(tryzone.policy.actions_for(before, choices))
            tries += rewards
            if args.shaping:
                rewards = shaped(rewards, before, observations, truncated, args.shaping)
            rollout.record(rewards, truncated)
            steps += args.envs
            if truncated[0]:
                curve.append((steps, float((tries > 0).mean())))
                progress(start, steps, f"win rate {curve[-1][1]:.3f}")
                tries[:] = 0
                save(net, args.out, args.decision_frames)
        rollout.update(net, optimiser, observations)
    save(net, args.out, args.decision_frames)
    print(f"saved {args.out} after {steps} steps in {(time.monotonic() - start) / 60:.1f} minutes", flush=True)
    if args.curve and curve:
        plot_curve(args.curve, [s for s, _ in curve], {"trained red": [rate for _, rate in curve]},
                   f"red win rate, {args.match_minutes:g}-minute matches",
                   (f"built-in red ({baseline:.2f})", baseline))


if __name__ == "__main__":
    main()
