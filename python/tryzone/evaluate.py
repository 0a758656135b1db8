"""python -m tryzone.evaluate POLICY [--against ladder | ENTRANT ...]: plays a policy against each opponent, both
sides on the same match seeds, and prints one JSON line per opponent (wins, draws and losses with the 95% Wilson
interval of the win rate), then one line with the rating the policy would have in the ladder, with its interval.

POLICY is a policy file (FILE.safetensors, as examples/train_red.py saves) or Python code as module:callable: a
function from observations [matches, 5, OBSERVATION_SIZE] to actions [matches, 5, 3], or an object with such an
`act` method (and, optionally, a `decision_frames` attribute). Opponents are league entrants: builtin, runner,
random, hold, tactics files, policy files, team files; `ladder` stands for every entrant in the ladder's folder."""

import argparse
import importlib
import json
import math
import sys
from pathlib import Path

import numpy as np

from . import VecMatch
from ._tryzone import DEFAULT_DECISION_FRAMES, entrant
from .envs import TEAMS, team_slots
from .policy import Policy

ENTRANT_SUFFIXES = (".team.json", ".tactics.json", ".safetensors")
ELO = 400 / math.log(10)


def wilson(wins, n, z=1.959964):
    """The 95% Wilson interval of a rate: [low, rate, high]."""
    if n == 0:
        return [0.0, 0.0, 1.0]
    rate = wins / n
    centre = (rate + z * z / (2 * n)) / (1 + z * z / n)
    half = z * math.sqrt(rate * (1 - rate) / n + z * z / (4 * n * n)) / (1 + z * z / n)
    return [round(centre - half, 4), round(rate, 4), round(centre + half, 4)]


def load_policy(text):
    """The policy's act function and decision interval, from a policy file or module:callable. A policy file's act
    is its Policy itself: play steps it by its coarse choices, as the C++ brain plays it."""
    if Path(text).suffix == ".safetensors" or ":" not in text:
        policy = Policy(text)
        return policy, policy.decision_frames
    module, _, name = text.partition(":")
    sys.path.insert(0, ".")
    target = getattr(importlib.import_module(module), name)
    act = getattr(target, "act", target)
    if not callable(act):
        raise SystemExit(f"{text} is neither a function nor an object with act")
    return act, int(getattr(target, "decision_frames", DEFAULT_DECISION_FRAMES))


def opponent_options(opponent, team):
    """VecMatch's keyword arguments that make the side facing team play an opponent entrant (entrant()'s dict;
    None: the built-in side)."""
    if opponent is None:
        return {}
    other = TEAMS[1 - TEAMS.index(team)]
    options = {} if opponent["tactics"] is None else {f"{other}_tactics": opponent["tactics"]}
    slots = team_slots(other)
    options["brains"] = [f"{slots[k]}={brain}" for k, brain in enumerate(opponent["brains"] or ()) if brain]
    return options


def play(act, team, matches, seed, minutes, threads, decision_frames=DEFAULT_DECISION_FRAMES, opponent=None,
         record_dir=None, laws=None):
    """Wins, draws and losses of the team over the run's first matches, played by `act` (a function from
    observations to actions, a Policy, or None for its state graphs), against an opponent entrant's tactics and
    brains (None: the built-in side), under a laws file's laws if given."""
    batch = VecMatch(matches, team_slots(team), seed=seed, minutes=minutes, threads=threads,
                     decision_frames=decision_frames, record_dir=record_dir, laws=laws,
                     **opponent_options(opponent, team))
    observations = batch.reset()
    builtin = batch.builtin_actions()
    score = np.zeros(matches, dtype=np.int64)
    while True:
        if isinstance(act, Policy):
            observations, rewards, _, truncations, _ = batch.step_coarse(act.choose(observations))
        else:
            actions = np.asarray(act(observations), dtype=np.int32) if act else builtin
            observations, rewards, _, truncations, _ = batch.step(actions)
        score += rewards[:, 0].astype(np.int64)
        if truncations[0]:
            break
    wins, draws = int((score > 0).sum()), int((score == 0).sum())
    return {"wins": wins, "draws": draws, "losses": matches - wins - draws, "win_rate": wilson(wins, matches)}


def opponents(against, ladder):
    """Entrant texts: each one named, `ladder` standing for the ladder folder's entrants in name order."""
    texts = []
    for text in against:
        if text == "ladder":
            texts += sorted(str(p) for p in Path(ladder).iterdir() if p.name.endswith(ENTRANT_SUFFIXES))
        else:
            texts.append(text)
    return texts


def rating(results, ratings):
    """The Bradley-Terry rating (Elo scale) of a newcomer against opponents of fixed ratings, with its 95% interval;
    as the league does, every pairing counts one drawn match more, so a rating is finite even after no win."""
    games = [(ratings[name], r["wins"] + r["draws"] / 2 + 0.5, r["wins"] + r["draws"] + r["losses"] + 1)
             for name, r in results.items() if name in ratings]
    if not games:
        return None

    def expected(strength):  # the score the rating would expect, and its derivative's information
        p = [1 / (1 + math.exp(max(-700.0, min(700.0, (other - strength) / ELO)))) for other, _, _ in games]
        return sum(n * q for (_, _, n), q in zip(games, p)), sum(n * q * (1 - q) for (_, _, n), q in zip(games, p))

    # The expected score grows with the strength, so bisection finds where it meets the score from any ratings;
    # Newton's steps from 0 overshot to overflow against opponents rated far from 0.
    score = sum(s for _, s, _ in games)
    low, high = min(r for r, _, _ in games) - 4000.0, max(r for r, _, _ in games) + 4000.0
    for _ in range(100):
        middle = (low + high) / 2
        low, high = (middle, high) if expected(middle)[0] < score else (low, middle)
    strength = (low + high) / 2
    information = expected(strength)[1]
    half = 1.959964 * ELO / math.sqrt(information)
    return [round(strength - half, 1), round(strength, 1), round(strength + half, 1)]


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python -m tryzone.evaluate", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("policy", help="FILE.safetensors or module:callable")
    parser.add_argument("--against", nargs="+", default=["ladder"], metavar="ENTRANT",
                        help="opponents: league entrants, or ladder (default)")
    parser.add_argument("--team", default="both", choices=["both", "blue", "red"], help="the policy's side(s)")
    parser.add_argument("--matches", type=int, default=8, help="matches per opponent and side (default 8)")
    parser.add_argument("--minutes", type=float, default=10.0, help="simulated minutes per match (default 10)")
    parser.add_argument("--seed", type=int, default=0)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--ladder", default="ladder", help="the ladder's folder (default ladder)")
    parser.add_argument("--ratings", default="docs/ladder.json",
                        help="the ladder's table (tryzone-sim league --json), for the rating")
    parser.add_argument("--record", metavar="DIR", help="save the policy's matches there, for tryzone --replay")
    parser.add_argument("--laws", metavar="FILE", help="a laws file the matches are played under (laws/*.laws.json)")
    args = parser.parse_args(argv)
    act, decision_frames = load_policy(args.policy)
    sides = TEAMS if args.team == "both" else (args.team,)
    results = {}
    for text in opponents(args.against, args.ladder):
        opponent = None if text == "builtin" else entrant(text)
        line = {"opponent": entrant(text)["name"] if opponent else "builtin"}
        for side in sides:
            record = args.record and f"{args.record}/{line['opponent']}-{side}"
            line[side] = play(act, side, args.matches, args.seed, args.minutes, args.threads, decision_frames,
                              opponent, record, args.laws)
        total = {k: sum(line[side][k] for side in sides) for k in ("wins", "draws", "losses")}
        line.update(total, win_rate=wilson(total["wins"], args.matches * len(sides)))
        results[line["opponent"]] = total
        print(json.dumps(line), flush=True)
    ratings = {}
    if Path(args.ratings).exists():
        ratings = {row["tactic"]: row["rating"] for row in json.loads(Path(args.ratings).read_text())["table"]}
    print(json.dumps({"rating": rating(results, ratings), "ratings": args.ratings if ratings else None}), flush=True)


if __name__ == "__main__":
    main()
