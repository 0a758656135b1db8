"""Trains PPO from Stable-Baselines3 for the five red players against the built-in blue on tryzone.sb3.TryZoneVecEnv
(one VecMatch, coarse actions, normalised observations, three-minute matches), for a number of environment steps;
prints the win rate of the finished training matches as it goes and saves the SB3 model.

    .venv/bin/python examples/train_sb3.py --steps 2000000 --out red-ppo.zip
"""

import time

import numpy as np
import torch
from stable_baselines3 import PPO
from stable_baselines3.common.callbacks import BaseCallback
from training_common import arguments, progress

from tryzone.sb3 import TryZoneVecEnv


class WinRate(BaseCallback):
    """Prints the share of the matches ended in a step that red won (a positive return)."""

    def __init__(self):
        super().__init__()
        self.start = time.monotonic()

    def _on_step(self):
        returns = [info["episode"]["r"] for info in self.locals["infos"] if "episode" in info]
        if returns:
            progress(self.start, self.num_timesteps, f"win rate {np.mean(np.array(returns) > 0):.3f}")
        return True


def main():
    parser = arguments(__doc__, "red-ppo.zip", smoke="a few thousand steps on 4 short matches")
    parser.add_argument("--steps", type=int, default=2_000_000, help="environment steps (matches x decisions)")
    args = parser.parse_args()
    if args.smoke:
        args.steps, args.envs, args.match_minutes = 1024, 4, 0.05
    torch.set_num_threads(1)
    env = TryZoneVecEnv(args.envs, team="red", minutes=args.match_minutes, threads=args.threads)
    env.seed(args.seed)
    model = PPO("MlpPolicy", env, n_steps=64 if args.smoke else 256, batch_size=256, learning_rate=3e-4,
                gamma=0.995, ent_coef=0.01, seed=args.seed, policy_kwargs={"net_arch": [64, 64]})
    model.learn(args.steps, callback=WinRate())
    model.save(args.out)
    print(f"saved {args.out}", flush=True)


if __name__ == "__main__":
    main()
