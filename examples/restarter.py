"""The scripted restarter, a red or blue side that python -m tryzone.evaluate plays as restarter:policy (run from
examples/): the ball holder runs straight for the try line, unless he is still in his own end, where he runs straight
back over his own try line; the others play their state graphs. Under laws/rugby.laws.json the run back hands the
opponents a kick-off instead of a try, and a kick-off is lost more often than won by the side receiving it: its
carrier meets the defence head-on, at a 60% tackle and a try for the tackler two seconds later.

    cd examples && ../.venv/bin/python -m tryzone.evaluate restarter:policy --against ladder --team red \\
        --laws ../laws/rugby.laws.json --ladder ../ladder --ratings ../docs/ladder-rugby.json
"""

import numpy as np

from tryzone.policy import actions_for

# coarse-v2's choices: the state graph, the run for the try line, the run back over one's own line.
BUILTIN, RUN_FOR_THE_LINE, BACK_OVER_OWN_LINE = 0, 4, 6
# How far up the pitch (ego x, pixels) a holder still runs back: the kick-off spots are all nearer his own line, and
# a holder who won the ball further up is nearer the opponents' line than his own.
OWN_END = 500
MY_X, HOLDS_THE_BALL = 3, 48


def restart_choices(observations):
    """The restarter's coarse-v2 choices for observations [..., 56]."""
    holder = observations[..., HOLDS_THE_BALL] > 0
    back = holder & (observations[..., MY_X] < OWN_END)
    return np.where(back, BACK_OVER_OWN_LINE, np.where(holder, RUN_FOR_THE_LINE, BUILTIN)).astype(np.int32)


def policy(observations):
    """VecMatch actions for observations [matches, 5, 56]."""
    return actions_for(observations, restart_choices(observations))
