#pragma once

#include "settings/PlayerSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace tryzone
{

class MatchTimeline;

// Frames since the first kick-off as the time they stand for, m:ss.
[[nodiscard]] std::string TimelineClock(std::int64_t frames);

// The settings each player plays with, one a line, and what the last reload changed (before: the players it
// replaced, null before any reload; the lines of the tactics' changes). Taken from the match, never from the file,
// which may have changed since.
[[nodiscard]] std::string SettingsPanelText(const std::vector<PlayerSettings>& players,
                                            const std::vector<PlayerSettings>* before, std::int64_t loadedAt,
                                            const std::vector<std::string>& tacticChanges = {});
[[nodiscard]] std::string SettingsPanelText(const MatchTimeline& timeline);

// The panel over the match (P).
void DrawSettingsPanel(sf::RenderWindow& window, const std::string& text);

} // namespace tryzone
