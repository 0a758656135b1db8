#pragma once

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"
#include "settings/DefaultPlayerSettings.h"

#include <sstream>
#include <string>
#include <vector>

namespace tryzone
{

inline std::vector<PlayerSettings> Defaults()
{
    const auto players = DefaultPlayers();
    return {players.begin(), players.end()};
}

// Everything that shows on the screen: where everyone stands, who has the ball, the scores and the debug mode.
inline std::string Picture(const MatchTimeline& timeline)
{
    const RugbyScene& scene = timeline.Scene();
    std::ostringstream out;
    for (const Player* player : scene.players)
    {
        out << player->PositionAt(0.5f, 0.5f).x << ',' << player->PositionAt(0.5f, 0.5f).y << ' ';
    }
    out << scene.ball->PositionAt(0.5f, 0.5f).x << ',' << scene.ball->PositionAt(0.5f, 0.5f).y << ' ' << scene.blueScore
        << '-' << scene.redScore << ' ' << scene.debugMode;
    return out.str();
}

} // namespace tryzone
