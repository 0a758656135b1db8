"""The environments' cost over VecMatch on one core: match-steps (one step of one match) per CPU second of each
environment, stepped with BUILTIN actions (no policy), and its time per match-step as a multiple of VecMatch's
(256 matches, all ten players controlled, one thread). Goals: team_env and parallel_env at most 1.5, the vector
forms at most 1.1.

    .venv/bin/python python/bench/envs.py [--seconds 2] [--rounds 3]
"""

import argparse
import os
import statistics
import time

import numpy as np

import tryzone
from tryzone.sb3 import TryZoneVecEnv

MINUTES = 2000.0  # long enough that no measure reaches a match's end
BATCH = 256


def vecmatch():
    batch = tryzone.VecMatch(BATCH, range(10), seed=1, minutes=MINUTES, threads=1)
    batch.reset()
    actions = batch.builtin_actions()
    return BATCH, lambda: batch.step(actions)


def team(actions):
    env = tryzone.team_env(minutes=MINUTES, actions=actions)
    env.reset(seed=1)
    action = np.zeros(env.action_space.shape, dtype=np.int32)
    return 1, lambda: env.step(action)


def parallel(actions):
    env = tryzone.parallel_env(minutes=MINUTES, actions=actions)
    env.reset(seed=1)
    chosen = {agent: np.zeros(env.action_space(agent).shape, dtype=np.int32) for agent in env.possible_agents}
    if actions == "coarse":
        chosen = {agent: 0 for agent in env.possible_agents}
    return 1, lambda: env.step(chosen)


def vector(actions):
    env = tryzone.vector_env(BATCH, minutes=MINUTES, actions=actions, threads=1)
    env.reset(seed=1)
    chosen = np.zeros(env.action_space.shape, dtype=np.int32)
    return BATCH, lambda: env.step(chosen)


def sb3():
    env = TryZoneVecEnv(BATCH, minutes=MINUTES, threads=1)
    env.reset()
    chosen = np.zeros((BATCH, 5), dtype=np.int64)
    return BATCH, lambda: env.step(chosen)


ENVIRONMENTS = {
    "VecMatch(256), ten players": vecmatch,
    "team_env, exact": lambda: team("exact"),
    "team_env, coarse": lambda: team("coarse"),
    "parallel_env, ten players, exact": lambda: parallel("exact"),
    "parallel_env, ten players, coarse": lambda: parallel("coarse"),
    "vector_env(256), exact": lambda: vector("exact"),
    "vector_env(256), coarse": lambda: vector("coarse"),
    "tryzone.sb3.TryZoneVecEnv(256)": sb3,
}


def rate(make, seconds):
    """Match-steps per CPU second."""
    matches, step = make()
    steps = 0
    start = time.process_time()
    while time.process_time() - start < seconds:
        step()
        steps += 1
    return steps * matches / (time.process_time() - start)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=2.0, help="CPU seconds per measure")
    parser.add_argument("--rounds", type=int, default=3, help="measures of each, interleaved; medians are shown")
    args = parser.parse_args()
    os.sched_setaffinity(0, {sorted(os.sched_getaffinity(0))[0]})
    rates = {name: [] for name in ENVIRONMENTS}
    for _ in range(args.rounds):
        for name, make in ENVIRONMENTS.items():
            rates[name].append(rate(make, args.seconds))
    base = statistics.median(rates["VecMatch(256), ten players"])
    print(f"{'environment':36} {'match-steps per CPU s':>22} {'time ratio':>11}")
    for name, measured in rates.items():
        median = statistics.median(measured)
        print(f"{name:36} {median:22,.0f} {base / median:11.2f}")


if __name__ == "__main__":
    main()
