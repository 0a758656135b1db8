#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/Random.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayersConfig.h"

#include <cmath>

namespace tryzone
{

namespace
{
// The lane follows from the start height; a height that is not a number lands in the middle lane.
std::uint8_t LaneOf(float y, float height)
{
    const float third = height / 3.f;
    if (y <= third)
    {
        return 0;
    }
    if (y >= 2.f * third)
    {
        return 2;
    }
    return 1;
}
} // namespace

void RugbyScene::Initialize()
{
    const float width = static_cast<float>(WindowWidth());
    const float height = static_cast<float>(WindowHeight());
    formation = KickOffFormation(width, height);
    SetUpMatch(ObtainPlayerSettings(formation, width, settingsLines));
}

std::vector<PlayerSettings> RugbyScene::ObtainPlayerSettings(const std::array<sf::Vector2f, kTeamSlots>& formation, float width,
                                                             std::vector<SettingsLine>& lines, const std::string& path)
{
    const std::array<PlayerSettings, kPlayerSlots> defaults = DefaultPlayerSettings(formation, width);
    PlayersConfig config(path);
    if (auto loaded = config.Load())
    {
        lines.push_back({false, kLoadedLine});
        for (std::string& warning : *loaded)
        {
            lines.push_back({true, std::move(warning)});
        }
        if (const int filled = config.CompleteFrom(defaults); filled > 0)
        {
            lines.push_back({false, kFilledInPrefix + std::to_string(filled)});
        }
        return config.records;
    }
    else
    {
        lines.push_back({true, loaded.Reason()});
    }
    // Whatever the broken file yielded is dropped: the match and the rewritten file hold exactly the defaults.
    config.records.clear();
    config.AppendRecords(defaults);
    // A file that cannot be kept aside is not written over; the match starts with the defaults all the same.
    const auto kept = config.BackUpFile();
    if (!kept)
    {
        lines.push_back({true, kept.Reason()});
        return config.records;
    }
    if (!kept->empty())
    {
        lines.push_back({false, kBackedUpPrefix + *kept});
    }
    const auto saved = config.Save();
    lines.push_back(saved ? SettingsLine{false, kSavedPrefix + *saved} : SettingsLine{true, saved.Reason()});
    return config.records;
}

void RugbyScene::SetUpMatch(const std::vector<PlayerSettings>& records)
{
    const float height = static_cast<float>(WindowHeight());
    for (std::size_t slot = 0; slot < players.size(); ++slot)
    {
        // Record i goes to slot i whatever its number; its own team decides its colour.
        const PlayerSettings& record = records[slot];
        // The record's team chooses the tactic, as it chooses the colour.
        Player* player = Spawn<Player>(record.Radius, record.Team != 0 ? sf::Color::Red : sf::Color::Blue,
                                       tactics[record.Team != 0 ? 1 : 0]);
        players[slot] = player;
        const std::uint8_t lane = LaneOf(record.StartPosition.y, height);
        player->Setup(record.Team, record.PlayerNumber, lane, record.Speed, record.LuckMultiplier,
                      record.EnemyIsTooNearDistance, record.PassCooldown, record.PassTime);
        player->PlaceAt(record.StartPosition.x, record.StartPosition.y, 0.5f, 0.5f);
    }

    // The red team always has the first possession.
    const std::size_t carrierSlot = 5 + static_cast<std::size_t>(RandomInt(0, 4));
    ballCarrier = players[carrierSlot];
    // The ball takes its holder from ballCarrier in its constructor, so it comes after the carrier is chosen.
    ball = Spawn<Ball>(15.f, sf::Color::Yellow);
    const sf::Vector2f start = records[carrierSlot].StartPosition;
    ball->PlaceAt(start.x, start.y, 0.5f, 0.5f);
    Notify(&MatchObserver::OnKickOff, *ballCarrier);
}

} // namespace tryzone
