#include "Simulation.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "settings/DefaultPlayerSettings.h"

#include <cmath>
#include <optional>

namespace
{
// The capped frame time as the game writes it, kept exact in double.
constexpr double kFrameSeconds = 0.00835;

// The game's match with the players given, not read from the working directory, and a recorder listening.
class SimulatedMatch : public RugbyScene
{
public:
    SimulatedMatch(const std::vector<PlayerSettings>& records, MatchObserver* recorder) : players(records)
    {
        observer = recorder;
    }

    void Initialize() override
    {
        const float width = static_cast<float>(WindowWidth());
        formation = KickOffFormation(width, static_cast<float>(WindowHeight()));
        SetUpMatch(players);
    }

private:
    const std::vector<PlayerSettings>& players;
};

void FreshWorld()
{
    GameHost::Instance().Reset();
    DebugOverlay::Instance().Clear();
    // No window: no text may be laid out, so the overlay drops every request.
    DebugOverlay::SetEnabled(false);
}

MatchResult PlayMatch(const SimulationPlan& plan, int match)
{
    MatchRecorder recorder(match, plan.events);
    recorder.result.seed = MatchSeed(plan.seed, match);
    SeedRandom(recorder.result.seed);
    const RugbyScene& scene = LaunchMatch(plan.players, &recorder);
    GameHost& host = GameHost::Instance();
    std::optional<MatchRules> rules;
    if (plan.checkRules)
    {
        rules.emplace(scene);
        host.stepObserver = &*rules;
    }

    recorder.result.frames = plan.framesPerMatch;
    for (std::int64_t frame = 1; frame <= plan.framesPerMatch; ++frame)
    {
        recorder.SetFrame(frame);
        host.Update();
        if (rules)
        {
            rules->EndFrame();
            if (rules->Breach())
            {
                recorder.result.breach = rules->Breach();
                recorder.result.frames = frame;
                break;
            }
        }
        ++recorder.result.teams[scene.ballCarrier->team == 0 ? 0 : 1].possessionFrames;
        if (plan.heatmap != nullptr)
        {
            plan.heatmap->Add(scene.ball->PositionAt(0.5f, 0.5f));
        }
        if (plan.progress && frame % 65536 == 0)
        {
            plan.progress(match - 1, frame);
        }
    }
    EndMatch();
    return recorder.result;
}
} // namespace

const RugbyScene& LaunchMatch(const std::vector<PlayerSettings>& players, MatchObserver* observer)
{
    FreshWorld();
    GameHost& host = GameHost::Instance();
    host.UseHeadless(kPitchWidth, kPitchHeight);
    host.SetFrameTime(kMaxFrameTime);
    host.LaunchScene<SimulatedMatch>(players, observer);
    return *static_cast<const RugbyScene*>(host.CurrentScene());
}

void EndMatch()
{
    FreshWorld();
}

std::array<PlayerSettings, 10> DefaultPlayers()
{
    const float width = static_cast<float>(kPitchWidth);
    return DefaultPlayerSettings(KickOffFormation(width, static_cast<float>(kPitchHeight)), width);
}

std::int64_t FramesFor(double minutes)
{
    return std::llround(minutes * 60.0 / kFrameSeconds);
}

double SimulatedHours(std::int64_t frames)
{
    return static_cast<double>(frames) * kFrameSeconds / 3600.0;
}

std::uint32_t MatchSeed(std::uint64_t runSeed, int match)
{
    // SplitMix64: neighbouring run seeds and match numbers give unrelated match seeds.
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(match);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

std::vector<MatchResult> Simulate(const SimulationPlan& plan)
{
    std::vector<MatchResult> results;
    for (int match = 1; match <= plan.matches; ++match)
    {
        results.push_back(PlayMatch(plan, match));
        if (results.back().breach)
        {
            break;
        }
        if (plan.progress)
        {
            plan.progress(match, 0);
        }
    }
    return results;
}
