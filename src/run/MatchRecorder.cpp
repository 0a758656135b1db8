#include "run/MatchRecorder.h"

#include "behaviour/Player.h"
#include "core/GameHost.h"
#include "match/RugbyScene.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

const char* TeamName(std::uint8_t team)
{
    return team == 0 ? "blue" : "red";
}

// A player as the log names him; slot -1 if he is not one of the current match's ten.
ordered_json PlayerJson(const Player& player)
{
    const auto* scene = dynamic_cast<const RugbyScene*>(GameHost::Instance().CurrentScene());
    const int slot = scene != nullptr ? scene->SlotOf(&player) : -1;
    return {{"team", TeamName(player.team)}, {"slot", slot}, {"number", player.number}};
}

// Rolls and thresholds are floats; written as the decimal the float stands for, to five places.
double Rounded(float value)
{
    return std::round(static_cast<double>(value) * 1e5) / 1e5;
}
} // namespace

MatchRecorder::MatchRecorder(int match, std::ostream* eventStream) : events(eventStream)
{
    result.match = match;
}

int SideOf(const RugbyScene& scene, const Player& player)
{
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        if (scene.players[slot] == &player)
        {
            return slot < scene.players.size() / 2 ? 0 : 1;
        }
    }
    return player.team == 0 ? 0 : 1;
}

bool MatchRecorder::AfterFrame(const RugbyScene& scene, std::int64_t played)
{
    ++result.teams[SideOf(scene, *scene.ballCarrier)].possessionFrames;
    result.frames = played;
    return true;
}

TeamRecord& MatchRecorder::Team(const Player& player)
{
    const auto* scene = dynamic_cast<const RugbyScene*>(GameHost::Instance().CurrentScene());
    return result.teams[scene != nullptr ? SideOf(*scene, player) : (player.team == 0 ? 0 : 1)];
}

void MatchRecorder::OnKickOff(const Player& receiver)
{
    if (events != nullptr)
    {
        Write("kickoff", {{"receiver", PlayerJson(receiver)}});
    }
}

void MatchRecorder::OnPassAttempt(const Player& passer, float roll, float threshold, bool success)
{
    ++Team(passer).passAttempts;
    if (events != nullptr)
    {
        Write("pass_attempt", {{"passer", PlayerJson(passer)},
                               {"roll", Rounded(roll)},
                               {"threshold", Rounded(threshold)},
                               {"success", success}});
    }
}

void MatchRecorder::OnPass(const Player& from, const Player& to)
{
    ++Team(from).passes;
    if (events != nullptr)
    {
        Write("pass", {{"from", PlayerJson(from)}, {"to", PlayerJson(to)}});
    }
}

void MatchRecorder::OnTackleAttempt(const Player& tackler, const Player& holder, float roll, float threshold,
                                    bool success)
{
    ++Team(tackler).tackleAttempts;
    if (events != nullptr)
    {
        Write("tackle_attempt", {{"tackler", PlayerJson(tackler)},
                                 {"holder", PlayerJson(holder)},
                                 {"roll", Rounded(roll)},
                                 {"threshold", Rounded(threshold)},
                                 {"success", success}});
    }
}

void MatchRecorder::OnTackle(const Player& tackler, const Player& from)
{
    ++Team(tackler).tackles;
    if (events != nullptr)
    {
        Write("tackle", {{"tackler", PlayerJson(tackler)}, {"from", PlayerJson(from)}});
    }
}

void MatchRecorder::OnTry(std::uint8_t scoringTeam)
{
    ++result.teams[scoringTeam == 0 ? 0 : 1].tries;
    if (events != nullptr)
    {
        Write("try", {{"team", TeamName(scoringTeam)},
                      {"score", {{"blue", result.teams[0].tries}, {"red", result.teams[1].tries}}}});
    }
}

void MatchRecorder::OnHand(const Player& from, const Player& to)
{
    if (events != nullptr)
    {
        Write("hand", {{"from", PlayerJson(from)}, {"to", PlayerJson(to)}});
    }
}

void MatchRecorder::OnForwardPass(const Player& from, const Player& to)
{
    ++Team(from).forwardPasses;
    if (events != nullptr)
    {
        Write("forward_pass", {{"from", PlayerJson(from)}, {"to", PlayerJson(to)}});
    }
}

void MatchRecorder::OnRestart(const Player& carrier)
{
    ++Team(carrier).restarts;
    if (events != nullptr)
    {
        Write("restart", {{"carrier", PlayerJson(carrier)}});
    }
}

void MatchRecorder::Write(const char* kind, const nlohmann::ordered_json& details)
{
    ordered_json line = {{"match", result.match},
                         {"frame", frame},
                         // Simulated seconds: every frame advances the match by the capped frame time.
                         {"time", std::round(static_cast<double>(frame) * kFrameSeconds * 1e5) / 1e5},
                         {"event", kind}};
    line.update(details);
    *events << line.dump() << '\n';
}

} // namespace tryzone
