#include "window/SettingsPanel.h"

#include "run/MatchRunner.h"

#include <gtest/gtest.h>

namespace tryzone
{

// The panel lists every player as the match has him, and after a reload only the keys that changed, old -> new.
TEST(SettingsPanel, ListsThePlayersInPlayAndWhatTheLastReloadChanged)
{
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> before(defaults.begin(), defaults.end());
    std::vector<PlayerSettings> now = before;
    now[7].Speed = 330.f;
    now[7].PassTime = 1.25f;

    const std::string first = SettingsPanelText(before, nullptr, 0);
    EXPECT_EQ(first.rfind("Players in play, loaded at 0:00", 0), 0u) << first;
    EXPECT_NE(first.find("slot 9 red "), std::string::npos);
    EXPECT_EQ(first.find("Changed"), std::string::npos);

    const std::string reloaded = SettingsPanelText(now, &before, FramesFor(42.0 / 60.0));
    EXPECT_NE(reloaded.find("loaded at 0:42"), std::string::npos);
    const std::string changes = reloaded.substr(reloaded.find("Changed by the reload at 0:42:\n"));
    EXPECT_NE(changes.find("slot 7 red 7:  Speed 300 -> 330  PassTime 0.5 -> 1.25"), std::string::npos) << changes;
    EXPECT_EQ(changes.find("slot 6"), std::string::npos);
    EXPECT_NE(SettingsPanelText(before, &before, 0).find("nothing (the same players again)"), std::string::npos);
    // A reload of tactics alone lists what changed in them instead.
    const std::string tactics = SettingsPanelText(before, &before, 0, {"red tactic: state \"Line\" added (Hold, 1 link)"});
    EXPECT_NE(tactics.find(":\nred tactic: state \"Line\" added (Hold, 1 link)"), std::string::npos) << tactics;
    EXPECT_EQ(tactics.find("nothing"), std::string::npos);
}

} // namespace tryzone
