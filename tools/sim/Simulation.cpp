#include "Simulation.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/GameHost.h"
#include "match/RugbyScene.h"

#include <optional>

namespace
{
std::optional<MatchResult> PlayMatch(const SimulationPlan& plan, int match)
{
    MatchRecorder recorder(match, plan.events);
    recorder.result.seed = MatchSeed(plan.seed, match);
    MatchRunner runner;
    const RugbyScene& scene = runner.Start(plan.players, recorder.result.seed, &recorder);
    std::optional<MatchRules> rules;
    if (plan.checkRules)
    {
        rules.emplace(scene);
        GameHost::Instance().stepObserver = &*rules;
    }

    recorder.result.frames = plan.framesPerMatch;
    for (std::int64_t frame = 1; frame <= plan.framesPerMatch; ++frame)
    {
        if (plan.stop != nullptr && *plan.stop != 0)
        {
            return std::nullopt;
        }
        recorder.SetFrame(frame);
        runner.Step(kMaxFrameTime);
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
    return recorder.result;
}
} // namespace

std::vector<MatchResult> Simulate(const SimulationPlan& plan)
{
    std::vector<MatchResult> results;
    for (int match = 1; match <= plan.matches; ++match)
    {
        auto result = PlayMatch(plan, match);
        if (!result)
        {
            break;
        }
        results.push_back(*result);
        if (result->breach || (plan.events != nullptr && !*plan.events))
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
