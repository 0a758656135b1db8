"""Throughput on one core: tryzone-sim's simulated frames per CPU second beside a VecMatch's, all ten players
controlled and stepped with builtin_actions() (no Python policy), one thread, 256 matches.

    .venv/bin/python python/bench/throughput.py [--sim build/tryzone-sim] [--seconds 3] [--rounds 3]
"""

import argparse
import os
import resource
import statistics
import subprocess
import time

import tryzone

FRAME_SECONDS = 0.00835


def sim_rate(sim, seconds):
    """Frames per CPU second of the simulator, from the CPU time its process used."""
    minutes = 20.0
    frames = round(minutes * 60 / FRAME_SECONDS)
    matches = max(1, round(seconds * 800_000 / frames))
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run([sim, "--seed", "1", "--matches", str(matches), "--minutes", str(minutes)],
                   check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return matches * frames / cpu


def batch_rate(decision_frames, seconds, matches=256):
    """Frames and decisions per CPU second of a batch stepped with its built-in actions."""
    batch = tryzone.VecMatch(matches, range(10), seed=1, minutes=60.0, decision_frames=decision_frames, threads=1)
    batch.reset()
    actions = batch.builtin_actions()
    steps = 0
    start = time.process_time()
    while time.process_time() - start < seconds:
        batch.step(actions)
        steps += 1
    cpu = time.process_time() - start
    frames = steps * matches * decision_frames / cpu
    return frames, frames / decision_frames * 10


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sim", default=os.path.join(os.path.dirname(__file__), "..", "..", "build", "tryzone-sim"))
    parser.add_argument("--seconds", type=float, default=3.0, help="CPU seconds per measure")
    parser.add_argument("--rounds", type=int, default=3, help="measures of each, interleaved; medians are shown")
    args = parser.parse_args()
    # One core for the simulator and the batch alike (the simulator inherits it).
    os.sched_setaffinity(0, {sorted(os.sched_getaffinity(0))[0]})

    sims, batches, singles = [], [], []
    for _ in range(args.rounds):
        sims.append(sim_rate(args.sim, args.seconds))
        batches.append(batch_rate(tryzone.DEFAULT_DECISION_FRAMES, args.seconds))
        singles.append(batch_rate(1, args.seconds))
    sim = statistics.median(sims)
    frames = statistics.median(f for f, _ in batches)
    decisions = statistics.median(d for _, d in batches)
    frames_one = statistics.median(f for f, _ in singles)
    decisions_one = statistics.median(d for _, d in singles)
    print(f"tryzone-sim:                        {sim:12,.0f} frames per CPU second")
    print(f"VecMatch, decision_frames {tryzone.DEFAULT_DECISION_FRAMES:2}:       {frames:12,.0f} frames per CPU second, "
          f"{decisions:12,.0f} decisions per CPU second")
    print(f"VecMatch, decision_frames  1:       {frames_one:12,.0f} frames per CPU second, "
          f"{decisions_one:12,.0f} decisions per CPU second")
    print(f"ratio at the default decision_frames: {frames / sim:.2f} (goal 0.8); at 1: {frames_one / sim:.2f}")


if __name__ == "__main__":
    main()
