#include "agent/AgentMatch.h"

#include "agent/Observation.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "match/RugbyScene.h"
#include "run/Recording.h"
#include "shape/MatchShape.h"

#include <algorithm>

namespace tryzone
{

AgentMatch::AgentMatch(const std::vector<PlayerSettings>& lineup, const std::vector<int>& slots, std::int64_t frames,
                       bool withEvents, bool withRecording, const MatchTactics& teamTactics,
                       const BrainPlan& outsideBrains)
    : players(lineup), controlled(slots), framesPerMatch(frames), keepEvents(withEvents), keepRecording(withRecording),
      tactics(teamTactics), brains(outsideBrains)
{
}

AgentMatch::~AgentMatch()
{
    // The world must be current while its match is taken down.
    WorldScope scope(world);
    runner.End();
}

void AgentMatch::Start(std::uint32_t seed, int matchNumber)
{
    WorldScope scope(world);
    number = matchNumber;
    events.str({});
    recording = keepRecording
                    ? HeaderLine(seed, players, tactics, {}, brains.Empty() ? nullptr : BrainPlanAsJson(brains))
                    : std::string();
    if (recorder)
    {
        runner.Unwatch(*recorder);
    }
    if (driver)
    {
        runner.Unwatch(*driver);
        driver.reset();
    }
    // As the simulator watches a match: the brains decide before the recorder counts a frame.
    if (!brains.Empty())
    {
        driver.emplace(brains, seed, framesPerMatch);
        driver->RecordTo(keepRecording ? &recording : nullptr);
        runner.Watch(*driver);
    }
    recorder.emplace(number, keepEvents ? &events : nullptr);
    recorder->result.seed = seed;
    runner.Watch(*recorder);
    const RugbyScene& scene = runner.Start(players, seed, &*recorder, tactics);
    // A match's objects never move: their addresses hold until the next start.
    hot.clear();
    const auto add = [this](const void* object, std::size_t size)
    {
        for (std::size_t offset = 0; offset < size; offset += 64)
        {
            hot.push_back(static_cast<const char*>(object) + offset);
        }
    };
    add(&world.Host(), sizeof(GameHost));
    add(&runner, sizeof runner);
    add(&*recorder, sizeof(MatchRecorder));
    add(&scene, sizeof(RugbyScene));
    add(scene.ball, sizeof(Ball));
    for (const auto& entity : world.Host().QueuedEntities())
    {
        add(&entity, sizeof entity);
    }
    for (const Player* player : scene.players)
    {
        add(player, sizeof(Player));
        add(player->stateGraph.states.data(), player->stateGraph.states.size() * sizeof(void*));
    }
}

void AgentMatch::Prefetch() const
{
    for (const void* line : hot)
    {
        __builtin_prefetch(line);
    }
}

void AgentMatch::PrefetchGraphs() const
{
    // Only the states the players are in: the other four of each graph are not read by the next frame.
    for (const Player* player : runner.Scene().players)
    {
        const auto& node = player->stateGraph.states[static_cast<std::size_t>(player->stateGraph.current)];
        __builtin_prefetch(node.get());
        __builtin_prefetch(node->actions.data());
        __builtin_prefetch(node->actions.front().get());
        __builtin_prefetch(node->links.data());
        for (const auto& link : node->links)
        {
            __builtin_prefetch(link.get());
            __builtin_prefetch(link->conditions.data());
            for (const auto& condition : link->conditions)
            {
                __builtin_prefetch(condition.get());
            }
        }
    }
}

void AgentMatch::Act(const AgentAction* actions)
{
    WorldScope scope(world);
    const RugbyScene& scene = runner.Scene();
    for (std::size_t i = 0; i < controlled.size(); ++i)
    {
        const int slot = controlled[i];
        const Player& player = *scene.players[static_cast<std::size_t>(slot)];
        const PlayerOrder order = OrderFor(actions[i], SideIndex(SideOfSlot(slot)));
        if (order == player.order)
        {
            continue;
        }
        if (keepRecording)
        {
            recording += InputLine(OrderInput(runner.Frame() + 1, slot, order));
        }
        runner.Order(slot, order);
    }
}

void AgentMatch::Advance(std::int64_t frames)
{
    WorldScope scope(world);
    const std::int64_t last = std::min(framesPerMatch, runner.Frame() + frames);
    unseenFrame = false;
    while (runner.Frame() < last)
    {
        if (shown && runner.Frame() + 1 == last)
        {
            // Only the frame the picture shows: the overlay is emptied when drawn, and none was in between. A match's
            // start switches the overlay off, so it is switched on again here.
            DebugOverlay::SetEnabled(true);
            DebugOverlay::Instance().Clear();
        }
        runner.Step(kMaxFrameTime);
    }
    if (keepRecording && Over())
    {
        recording += EndLine(runner.Frame());
    }
}

void AgentMatch::Show(const std::string& fontDirectory)
{
    WorldScope scope(world);
    DebugOverlay::SetEnabled(true);
    world.Host().assetDirectory = fontDirectory;
    (void)world.Host().LoadFont();
    unseenFrame = !shown;
    shown = true;
}

void AgentMatch::Draw(sf::RenderTarget& target)
{
    WorldScope scope(world);
    world.Host().DrawTo(target);
}

void AgentMatch::Picture(FramePicture& picture)
{
    WorldScope scope(world);
    if (unseenFrame)
    {
        // The frame shown was played before the match was first shown, with the overlay off.
        DebugOverlay::Instance().Clear();
        runner.Scene().DrawStill();
        unseenFrame = false;
    }
    world.Host().Picture(picture);
}

void AgentMatch::Observe(float* out) const
{
    const ObservedScene view = Look(runner.Scene());
    for (std::size_t i = 0; i < controlled.size(); ++i)
    {
        tryzone::Observe(runner.Scene(), view, controlled[i], runner.Frame(), framesPerMatch,
                         out + i * kObservationSize);
    }
}

RawState AgentMatch::Raw() const
{
    const RugbyScene& scene = runner.Scene();
    RawState raw;
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        const Player& player = *scene.players[slot];
        const sf::Vector2f centre = player.PositionAt(0.5f, 0.5f);
        raw.positions[2 * slot] = centre.x;
        raw.positions[2 * slot + 1] = centre.y;
        raw.velocities[2 * slot] = player.direction.x * player.speed;
        raw.velocities[2 * slot + 1] = player.direction.y * player.speed;
        raw.states[slot] = player.stateGraph.current;
        raw.orders[3 * slot] = static_cast<std::int32_t>(player.order.kind);
        raw.orders[3 * slot + 1] = player.order.x;
        raw.orders[3 * slot + 2] = player.order.y;
        raw.holder = &player == scene.ballCarrier ? static_cast<std::int32_t>(slot) : raw.holder;
    }
    const sf::Vector2f ball = scene.ball->PositionAt(0.5f, 0.5f);
    raw.ball = {ball.x, ball.y};
    raw.tries = Tries();
    raw.frame = runner.Frame();
    return raw;
}

std::array<std::int32_t, 2> AgentMatch::Tries() const
{
    return {runner.Scene().blueScore, runner.Scene().redScore};
}

std::string AgentMatch::Recording() const
{
    return recording;
}

} // namespace tryzone
