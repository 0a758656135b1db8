#include "window/SettingsPanel.h"

#include "run/MatchTimeline.h"
#include "tactics/TacticChanges.h"
#include "window/TextPanel.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <tuple>
#include <utility>

namespace tryzone
{

namespace
{
std::string Number(float value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g", static_cast<double>(value));
    return text.data();
}

std::string Padded(std::string text, std::size_t width)
{
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

std::string Who(const PlayerSettings& player, std::size_t slot)
{
    return "slot " + std::to_string(slot) + " " + (player.Team == 0 ? "blue " : "red ") +
           std::to_string(player.PlayerNumber);
}

// One line per changed entry: who, then each key that changed, old -> new; then each change of a team's tactic.
std::string Changes(const std::vector<PlayerSettings>& players, const std::vector<PlayerSettings>& before,
                    const std::vector<std::string>& tacticChanges)
{
    std::string text;
    for (std::size_t slot = 0; slot < players.size() && slot < before.size(); ++slot)
    {
        const PlayerSettings& now = players[slot];
        const PlayerSettings& was = before[slot];
        std::string line;
        if (now.StartPosition != was.StartPosition)
        {
            line += "  StartPosition " + Number(was.StartPosition.x) + "," + Number(was.StartPosition.y) + " -> " +
                    Number(now.StartPosition.x) + "," + Number(now.StartPosition.y);
        }
        for (const auto& [name, key] : kPlayerFloatKeys)
        {
            if (now.*key != was.*key)
            {
                line += std::string("  ") + name + " " + Number(was.*key) + " -> " + Number(now.*key);
            }
        }
        text += line.empty() ? "" : Who(now, slot) + ":" + line + "\n";
    }
    for (const std::string& change : tacticChanges)
    {
        text += change + "\n";
    }
    return text.empty() ? "nothing (the same players again)\n" : text;
}
} // namespace

std::string TimelineClock(std::int64_t frames)
{
    const auto seconds = static_cast<long long>(static_cast<double>(frames) * kFrameSeconds);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%lld:%02lld", seconds / 60, seconds % 60);
    return text.data();
}

std::string SettingsPanelText(const std::vector<PlayerSettings>& players, const std::vector<PlayerSettings>* before,
                              std::int64_t loadedAt, const std::vector<std::string>& tacticChanges)
{
    std::string text =
        "Players in play, loaded at " + TimelineClock(loadedAt) + " (P hides)\n" + Padded("", 16) + Padded("Start", 12);
    for (const auto& [name, key] : kPlayerFloatKeys)
    {
        text += Padded(name, std::max<std::size_t>(8, std::string(name).size()));
    }
    for (std::size_t slot = 0; slot < players.size(); ++slot)
    {
        const PlayerSettings& player = players[slot];
        text += "\n" + Padded(Who(player, slot), 16) +
                Padded(Number(player.StartPosition.x) + "," + Number(player.StartPosition.y), 12);
        for (const auto& [name, key] : kPlayerFloatKeys)
        {
            text += Padded(Number(player.*key), std::max<std::size_t>(8, std::string(name).size()));
        }
    }
    if (before != nullptr)
    {
        text += "\nChanged by the reload at " + TimelineClock(loadedAt) + ":\n" + Changes(players, *before, tacticChanges);
        text.pop_back();
    }
    return text;
}

std::string SettingsPanelText(const MatchTimeline& timeline)
{
    std::vector<std::string> tacticChanges;
    if (const MatchTactics* before = timeline.TacticsBefore())
    {
        const MatchTactics& now = timeline.Tactics();
        for (const auto& [team, was, is] : {std::tuple{"blue tactic: ", before->blue.get(), now.blue.get()},
                                            std::tuple{"red tactic: ", before->red.get(), now.red.get()}})
        {
            for (const std::string& change : TacticChanges(was, is))
            {
                tacticChanges.push_back(team + change);
            }
        }
    }
    return SettingsPanelText(timeline.Players(), timeline.PlayersBefore(), timeline.PlayersSince(), tacticChanges);
}

void DrawSettingsPanel(sf::RenderWindow& window, const std::string& text)
{
    DrawTextPanel(window, text, {14, 210});
}

} // namespace tryzone
