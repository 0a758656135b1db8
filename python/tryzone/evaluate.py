"""python -m tryzone.evaluate POLICY --team red --matches 200 --seed S: the policy's wins, draws and losses against the
other team's state graphs, and those of the built-in team on the same match seeds, as one JSON line with 95% Wilson
intervals of the win rate."""

import argparse
import json
import math

import numpy as np

from . import VecMatch
from .envs import DEFAULT_MINUTES, team_slots
from .policy import Policy


def wilson(wins, n, z=1.959964):
    """The 95% Wilson interval of a rate: [low, rate, high]."""
    if n == 0:
        return [0.0, 0.0, 1.0]
    rate = wins / n
    centre = (rate + z * z / (2 * n)) / (1 + z * z / n)
    half = z * math.sqrt(rate * (1 - rate) / n + z * z / (4 * n * n)) / (1 + z * z / n)
    return [round(centre - half, 4), round(rate, 4), round(centre + half, 4)]


def play(policy, team, matches, seed, minutes, threads, record_dir=None):
    """Wins, draws and losses of the team over the run's first matches, played by the policy (None: built in)."""
    batch = VecMatch(matches, team_slots(team), seed=seed, minutes=minutes, threads=threads,
                     decision_frames=policy.decision_frames if policy else 12, record_dir=record_dir)
    observations = batch.reset()
    builtin = batch.builtin_actions()
    score = np.zeros(matches, dtype=np.int64)
    while True:
        actions = policy.act(observations) if policy else builtin
        observations, rewards, _, truncations, _ = batch.step(actions)
        score += rewards[:, 0].astype(np.int64)
        if truncations[0]:
            break
    wins, draws = int((score > 0).sum()), int((score == 0).sum())
    return {"wins": wins, "draws": draws, "losses": matches - wins - draws, "win_rate": wilson(wins, matches)}


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python -m tryzone.evaluate", description=__doc__)
    parser.add_argument("policy", help="a policy file saved by examples/train_red.py")
    parser.add_argument("--team", default="red", choices=["blue", "red"])
    parser.add_argument("--matches", type=int, default=200)
    parser.add_argument("--seed", type=int, default=0)
    parser.add_argument("--minutes", type=float, default=DEFAULT_MINUTES)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--record", metavar="DIR", help="save the policy's matches there, for tryzone --replay")
    args = parser.parse_args(argv)
    result = {
        "policy": play(Policy(args.policy), args.team, args.matches, args.seed, args.minutes, args.threads,
                       args.record),
        "builtin": play(None, args.team, args.matches, args.seed, args.minutes, args.threads),
    }
    print(json.dumps(result), flush=True)


if __name__ == "__main__":
    main()
