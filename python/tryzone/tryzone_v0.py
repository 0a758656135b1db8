"""PettingZoo's naming: tryzone_v0.parallel_env(), tryzone_v0.env() (the AEC form) and tryzone_v0.raw_env()."""

from pettingzoo.utils.conversions import parallel_to_aec

from .envs import TryZoneParallelEnv


def parallel_env(**options):
    """One match as a PettingZoo ParallelEnv (see docs/python.md)."""
    return TryZoneParallelEnv(**options)


def raw_env(**options):
    """One match as a PettingZoo AECEnv, its agents acting in turn."""
    return parallel_to_aec(parallel_env(**options))


env = raw_env
