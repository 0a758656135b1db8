"""Trains a red team to beat the ladder's fixed entrants: one network shared by the five red players (advantage
actor-critic over the coarse actions, as examples/train_red.py), against every entrant of the ladder's folder at once
(one VecMatch each, the entrant playing blue by its own tactics and brains), under a laws file's laws if given. With
--imitate S, the network first copies a scripted side's play for S seconds (--script: the carrier, whose ball holder
runs for the line while the others play their state graphs, or the restarter, examples/restarter.py, which with
--actions coarse-v2 also runs back over its own line from its own end), so that learning starts from it; --anchor W
keeps the holder's choice while learning, or with --holder every other player's, so that only the holder learns. Saves the policy (as train_red.py does) whenever its recent win rate
against the hardest entrant is the best yet, and the learning curve (win rate against each entrant) as a PNG.

    cd examples && ../.venv/bin/python train_ladder.py --minutes 14 --imitate 60 --script carrier --holder \
        --anchor 1 --actions coarse-v2 --weight runner=2 fast-break-runners=2 --lr 1e-3 --entropy 0.03 --seed 14 \
        --laws ../laws/rugby.laws.json --ladder ../ladder --out ladder-policy.safetensors --curve ladder-curve.png
"""

import time
from pathlib import Path

import numpy as np
import torch
from training_common import SCRIPTS, Net, Rollout, arguments, imitate, plot_curve, progress, save

import tryzone
from tryzone._tryzone import entrant
from tryzone.evaluate import ENTRANT_SUFFIXES, opponent_options

# Entrants no policy is measured against: the random team, and trained policies (the red being trained replaces them).
SKIPPED = ("random.team.json", "trained.team.json")


def ladder_batches(args):
    """A VecMatch of args.envs matches for each fixed entrant of the ladder's folder (times its --weight), red
    controlled; with names."""
    weights = dict((name, int(k)) for name, _, k in (w.partition("=") for w in args.weight))
    batches, names = [], []
    for path in sorted(Path(args.ladder).iterdir()):
        if not path.name.endswith(ENTRANT_SUFFIXES) or path.name in SKIPPED:
            continue
        opponent = entrant(str(path))
        envs = args.envs * weights.get(opponent["name"], 1)
        batches.append(tryzone.VecMatch(envs, range(5, 10), seed=args.seed + len(batches), laws=args.laws,
                                        minutes=args.match_minutes, threads=args.threads,
                                        **opponent_options(opponent, "red")))
        names.append(opponent["name"])
    return batches, names


def worst_recent(curve, rounds=3):
    """The win rate against the hardest entrant, over the last rounds of matches: the policy kept is the one for
    which it is highest (training is noisy, and a later policy is not always a better one)."""
    recent = np.array([rates for _, rates in curve[-rounds:]])
    return float(recent.mean(axis=0).min())


def main():
    parser = arguments(__doc__, "ladder-policy.safetensors", envs=16, minutes=25.0)
    parser.add_argument("--laws", default=None, help="a laws file (VecMatch's laws=)")
    parser.add_argument("--ladder", default="ladder", help="the ladder's folder")
    parser.add_argument("--imitate", type=float, default=0.0, help="seconds of copying the scripted carrier first")
    parser.add_argument("--anchor", type=float, default=0.0,
                        help="weight that keeps the ball holder running for the line while learning")
    parser.add_argument("--attack", action="store_true",
                        help="anchor the whole side holding the ball to the carrier's play: only defence is learnt")
    parser.add_argument("--holder", action="store_true",
                        help="anchor every player but the ball holder to the script's play: only the holder learns")
    parser.add_argument("--actions", default="coarse-v1", choices=list(tryzone.COARSE_ACTION_SETS),
                        help="the policy's action set")
    parser.add_argument("--script", default="carrier", choices=list(SCRIPTS),
                        help="the scripted team imitated and anchored to: carrier, or restarter (coarse-v2: from "
                             "his own end the holder runs back over his own line)")
    parser.add_argument("--weight", nargs="*", default=[], metavar="NAME=K",
                        help="K times the matches against that entrant")
    parser.add_argument("--lr", type=float, default=1e-3)
    parser.add_argument("--entropy", type=float, default=0.01, help="weight of the entropy bonus")
    args = parser.parse_args()
    if args.smoke:
        args.minutes, args.envs, args.match_minutes, args.imitate = 0.15, 2, 0.1, 1.0

    torch.manual_seed(args.seed)
    torch.set_num_threads(1)
    batches, names = ladder_batches(args)
    net = Net(64, args.actions)
    optimiser = torch.optim.Adam(net.parameters(), lr=args.lr)
    start = time.monotonic()
    if args.imitate:
        steps, accuracy = imitate(net, optimiser, batches, args.imitate, SCRIPTS[args.script])
        progress(start, steps, f"imitation: {accuracy:.3f} of the {args.script}'s choices made alike")
    resets = [batch.reset() for batch in batches]
    cuts = np.cumsum([len(r) for r in resets])[:-1]  # where each entrant's matches end in the batches' rows
    observations = np.concatenate(resets)
    tries = np.zeros(len(observations))
    curve = []  # environment steps, win rate against each entrant over the matches that ended then
    steps, best = 0, -1.0
    while time.monotonic() - start < args.minutes * 60:
        rollout = Rollout(args.anchor, args.entropy, args.attack, SCRIPTS[args.script], others=args.holder)
        for _ in range(args.rollout):
            choices = np.split(rollout.act(net, observations), cuts)
            results = [batch.step_coarse(c) for batch, c in zip(batches, choices)]
            observations = np.concatenate([r[0] for r in results])
            rewards, truncated = np.concatenate([r[1][:, 0] for r in results]), np.concatenate([r[3] for r in results])
            tries += rewards
            rollout.record(rewards, truncated)
            steps += len(observations)
            if truncated[0]:
                curve.append((steps, [float((t > 0).mean()) for t in np.split(tries, cuts)]))
                progress(start, steps, "win rate " + "  ".join(f"{n} {r:.2f}" for n, r in zip(names, curve[-1][1])))
                tries[:] = 0
                if worst_recent(curve) >= best:
                    best = worst_recent(curve)
                    save(net, args.out, batches[0].decision_frames)
        rollout.update(net, optimiser, observations)
    print(f"saved {args.out} (worst win rate {best:.2f}) after {steps} steps in "
          f"{(time.monotonic() - start) / 60:.1f} minutes", flush=True)
    if args.curve and curve:
        plot_curve(args.curve, [s for s, _ in curve],
                   {f"against {name}": [rates[k] for _, rates in curve] for k, name in enumerate(names)},
                   f"red win rate, {args.match_minutes:g}-minute matches")


if __name__ == "__main__":
    main()
