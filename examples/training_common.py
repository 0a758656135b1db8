"""What the training examples share: their command-line options, the network of the coarse-action policy and its
policy file, the advantage actor-critic rollout and update, imitation of a scripted team, progress lines and the
learning-curve chart."""

import argparse
import time

import numpy as np
import torch
from restarter import RUN_FOR_THE_LINE, restart_choices
from torch import nn

import tryzone
from tryzone import policy
from tryzone.policy import ACTION_SET, features

GAMMA = 0.995
HOLDS_THE_BALL, TEAM_HOLDS_IT = 48, 49


def arguments(doc, out, envs=32, minutes=None, smoke="a short run on 4 short matches, as CI runs it"):
    """The options every example takes; with minutes, also the wall-clock budget, the rollout and the curve of the
    actor-critic examples."""
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--envs", type=int, default=envs, help="matches played at once")
    parser.add_argument("--match-minutes", type=float, default=3.0,
                        help="simulated minutes of a training match: short ones end often, so tries are frequent")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--out", default=out)
    parser.add_argument("--smoke", action="store_true", help=smoke)
    if minutes is not None:
        parser.add_argument("--minutes", type=float, default=minutes, help="wall-clock training budget")
        parser.add_argument("--rollout", type=int, default=32, help="steps per update")
        parser.add_argument("--curve", default=None, help="where to draw the learning curve (PNG)")
    return parser


class Net(nn.Module):
    """One hidden tanh layer over a player's scaled ego observation; a policy head over an action set's coarse
    actions and a value."""

    def __init__(self, hidden=64, action_set=ACTION_SET):
        super().__init__()
        self.action_set = action_set
        self.body = nn.Sequential(nn.Linear(tryzone.OBSERVATION_SIZE, hidden), nn.Tanh())
        self.policy = nn.Linear(hidden, len(tryzone.COARSE_ACTION_SETS[action_set]))
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
    policy.save(path, layers, decision_frames, action_set=net.action_set)


def carrier_choices(observations):
    """The scripted carrier's coarse choices for observations [..., 56]: the ball holder runs straight for the try
    line, the others play their state graphs."""
    return np.where(observations[..., HOLDS_THE_BALL] > 0, RUN_FOR_THE_LINE, 0).astype(np.int32)


SCRIPTS = {"carrier": carrier_choices, "restarter": restart_choices}


def discounted_returns(rewards, dones, bootstrap, gamma=GAMMA):
    """Returns of a rollout, newest last: rewards and dones [steps, matches, players]; a match that ended in a step
    takes no value from the match after it; bootstrap is the value of the observations after the last step."""
    returns = []
    running = bootstrap
    for reward, done in zip(reversed(rewards), reversed(dones)):
        running = reward + gamma * running * (1 - done)
        returns.append(running)
    return torch.stack(returns[::-1])


class Rollout:
    """The steps of one advantage actor-critic update: sampled choices, their log-probabilities, values, entropies,
    rewards and match ends. With an anchor weight, the update also pulls the ball holder's choice towards the
    target's (a scripted side's choices, by default the carrier's run for the line; cross-entropy times the weight),
    so that learning keeps that attack while it changes the rest; with attack, it pulls every player of the side
    holding the ball to the target's play (his teammates to their state graphs), so that only defence is learnt; with
    others, it pulls every player but the holder, so that only the holder's choices are learnt."""

    def __init__(self, anchor=0.0, entropy=0.01, attack=False, target=carrier_choices, others=False):
        self.logps, self.values, self.entropies, self.rewards, self.dones = [], [], [], [], []
        self.anchor, self.entropy, self.attack, self.held, self.wanted = anchor, entropy, attack, [], []
        self.target, self.others = target, others

    def act(self, net, observations):
        """Samples the coarse choices of the players' observations [matches, players, 56]."""
        logits, value = net(torch.from_numpy(features(observations)))
        dist = torch.distributions.Categorical(logits=logits)
        choice = dist.sample()
        self.logps.append(dist.log_prob(choice))
        self.values.append(value)
        self.entropies.append(dist.entropy().mean())
        if self.anchor:
            if self.others:
                anchored = observations[..., HOLDS_THE_BALL] <= 0
            else:
                anchored = observations[..., TEAM_HOLDS_IT if self.attack else HOLDS_THE_BALL] > 0
            self.held.append(logits[torch.from_numpy(anchored)])
            self.wanted.append(torch.from_numpy(self.target(observations)[anchored]).long())
        return choice.numpy().astype(np.int32)

    def anchor_loss(self):
        if not self.held or sum(len(h) for h in self.held) == 0:
            return torch.zeros(())
        return self.anchor * nn.functional.cross_entropy(torch.cat(self.held), torch.cat(self.wanted))

    def record(self, rewards, truncated):
        """The step's rewards ([matches] for a team, or [matches, players]) and which matches it ended."""
        shape = self.values[-1].shape
        self.rewards.append(torch.as_tensor(np.broadcast_to(np.asarray(rewards, dtype=np.float32).reshape(
            shape[0], -1), shape).copy()))
        self.dones.append(torch.tensor(truncated, dtype=torch.float32)[:, None].expand(shape))

    def update(self, net, optimiser, observations, gamma=GAMMA):
        """One gradient step; observations are those after the rollout's last step, for the bootstrap value."""
        with torch.no_grad():
            _, bootstrap = net(torch.from_numpy(features(observations)))
        returns = discounted_returns(self.rewards, self.dones, bootstrap, gamma)
        values = torch.stack(self.values)
        advantage = (returns - values).detach()
        loss = (-(torch.stack(self.logps) * advantage).mean() + 0.5 * (returns - values).pow(2).mean()
                - self.entropy * torch.stack(self.entropies).mean() + self.anchor_loss())
        optimiser.zero_grad()
        loss.backward()
        nn.utils.clip_grad_norm_(net.parameters(), 0.5)
        optimiser.step()


def imitate(net, optimiser, batches, seconds, target=carrier_choices, updates=None):
    """Behaviour cloning: for a wall-clock budget (or a number of updates), plays target's choices in batches
    (VecMatches each controlling one team's five) and fits the policy head to them by cross-entropy, so that
    learning starts from that play. Returns the steps played and the share of the last step's choices the network
    made as the target."""
    observations = [batch.reset() for batch in batches]
    steps, done, accuracy, start = 0, 0, 0.0, time.monotonic()
    while done < updates if updates is not None else time.monotonic() - start < seconds:
        done += 1
        seen = np.concatenate(observations)
        wanted = target(seen)
        logits, _ = net(torch.from_numpy(features(seen)))
        loss = nn.functional.cross_entropy(logits.reshape(-1, logits.shape[-1]),
                                           torch.from_numpy(wanted.reshape(-1)).long())
        optimiser.zero_grad()
        loss.backward()
        optimiser.step()
        accuracy = float((logits.argmax(-1).numpy() == wanted).mean())
        observations = [batch.step_coarse(target(own))[0] for batch, own in zip(batches, observations)]
        steps += len(seen)
    return steps, accuracy


def progress(start, steps, text):
    print(f"{time.monotonic() - start:7.0f} s  {steps:9d} steps  {text}", flush=True)


def plot_curve(path, steps, series, ylabel, baseline=None):
    """A learning curve: series maps each line's label to its values at steps; baseline, (label, value), dashed."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    plt.figure(figsize=(6, 3.5))
    for label, values in series.items():
        plt.plot(steps, values, marker=".", label=label)
    if baseline is not None:
        plt.axhline(baseline[1], color="grey", linestyle="--", label=baseline[0])
    plt.xlabel("environment steps (matches x decisions)")
    plt.ylabel(ylabel)
    plt.ylim(0, 1)
    plt.legend()
    plt.tight_layout()
    plt.savefig(path, dpi=80)
