"""What a player sees, feature by feature, for both teams and through every form the package offers: each value of
the 56 checked against the match's own state (raw_state, in the pitch frame), the red team's x and x speed
mirrored; the rewards and infos a team is given over a whole match."""

import numpy as np
import pytest

import tryzone
from tryzone.envs import AGENTS

FRAME_SECONDS = 0.00835
WIDTH = tryzone.PITCH_WIDTH


def expected_observation(state, slot, frames_per_match):
    """The documented observation of slot rebuilt from the match's state: (name, indices in the 56, values). The
    pass cooldown (50) and the lane (2) are not in the state and have checks of their own."""
    team = slot // 5
    ego_x = (lambda x: x) if team == 0 else (lambda x: WIDTH - x)
    sign = 1 if team == 0 else -1
    order = [5 * team + k for k in range(5)] + [5 * (1 - team) + k for k in range(5)]
    positions, velocities = state["positions"][0], state["velocities"][0]
    holder, frame, tries = int(state["holder"][0]), int(state["frame"][0]), state["tries"][0]
    yield "slot, team", [0, 1], [slot, team]
    yield "x, y", [3, 4], [ego_x(positions[slot, 0]), positions[slot, 1]]
    for k, other in enumerate(order):
        yield (f"entry {k} (slot {other}) x, y, x speed, y speed", list(range(5 + 4 * k, 9 + 4 * k)),
               [ego_x(positions[other, 0]), positions[other, 1], sign * velocities[other, 0], velocities[other, 1]])
    yield "ball", [45, 46], [ego_x(state["ball"][0, 0]), state["ball"][0, 1]]
    yield "holder's entry, holds, team holds", [47, 48, 49], [order.index(holder), holder == slot, holder // 5 == team]
    yield "own tries, opponents' tries", [51, 52], [tries[team], tries[1 - team]]
    yield "seconds played, left", [53, 54], [frame * FRAME_SECONDS, (frames_per_match - frame) * FRAME_SECONDS]
    yield "state", [55], [state["states"][0, slot]]


def check_observation(seen, state, slot, frames_per_match):
    for name, indices, values in expected_observation(state, slot, frames_per_match):
        np.testing.assert_allclose(seen[indices], np.asarray(values, dtype=np.float64), rtol=1e-6, atol=1e-3,
                                   err_msg=f"{AGENTS[slot]}'s {name}")
    assert 0 <= seen[50] <= 5, f"{AGENTS[slot]}'s pass cooldown {seen[50]}"


def play(step, batch, steps):
    """Steps with every player on his state graph; yields the observations and the match's state every 20 steps."""
    for count in range(1, steps + 1):
        observation = step()
        if count % 20 == 0:
            yield observation, batch.raw_state()


@pytest.mark.parametrize("team", ["blue", "red"])
def test_a_teams_observations_are_the_match_seen_from_its_side(team):
    env = tryzone.team_env(team, minutes=3)
    env.reset(seed=11)
    batch = env._match._batch
    idle = np.zeros((5, 3), dtype=np.int32)
    holders = set()
    for seen, state in play(lambda: env.step(idle)[0], batch, 400):
        for row, slot in enumerate(tryzone.envs.team_slots(team)):
            check_observation(seen[row], state, slot, batch.frames_per_match)
        holders.add(int(state["holder"][0]) // 5)
        # Lanes: top, top, middle, bottom, bottom on either side.
        assert list(seen[:, 2]) == [0, 0, 1, 2, 2]
    # The scenes exercise the mirror and both values of "his team holds it".
    assert np.abs(state["velocities"][0, :, 0]).max() > 1 and abs(state["ball"][0, 0] - WIDTH / 2) > 1
    assert holders == {0, 1}


def test_every_agent_of_a_parallel_env_sees_its_own_row():
    env = tryzone.parallel_env(controlled=["red_9", "blue_0", 6, "blue_3"], minutes=3)
    env.reset(seed=5)
    actions = {agent: np.zeros(3, dtype=np.int32) for agent in env.agents}
    for seen, state in play(lambda: env.step(actions)[0], env._batch, 120):
        assert list(seen) == ["red_9", "blue_0", "red_6", "blue_3"]
        for agent, observation in seen.items():
            check_observation(observation, state, AGENTS.index(agent), env._batch.frames_per_match)


@pytest.mark.parametrize("team", ["blue", "red"])
def test_a_teams_rewards_and_infos_over_a_match_are_its_tries_less_those_conceded(team):
    env = tryzone.team_env(team, minutes=3, decision_frames=12)
    observation, info = env.reset(seed=2)
    assert info == {}
    rewards, steps, truncated = [], 0, False
    own = observation[0, 51], observation[0, 52]
    while not truncated:
        observation, reward, terminated, truncated, info = env.step(np.zeros((5, 3), dtype=np.int32))
        steps += 1
        assert not terminated and info["match"] == 1
        assert ("episode" in info) == truncated
        # The step's reward is the change of the scores it sees, the last step's seen in its final observation.
        now = observation[0, 51], observation[0, 52]
        assert reward == (now[0] - own[0]) - (now[1] - own[1]), f"step {steps}"
        rewards.append(reward)
        own = now
    assert steps == tryzone.envs.steps_per_match(3, 12)
    assert info["episode"]["r"] == sum(rewards) == own[0] - own[1]
    assert info["episode"]["l"] == steps and info["episode"]["t"] >= 0
    assert any(rewards), "a 3-minute match has tries"
    with pytest.raises(RuntimeError, match="reset"):
        env.step(np.zeros((5, 3), dtype=np.int32))
