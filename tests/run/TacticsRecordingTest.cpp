#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"
#include "support/Files.h"
#include "support/HeadlessWorld.h"
#include "tactics/TacticsFile.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

namespace
{
std::shared_ptr<const CompiledTactic> Shipped(const std::string& name)
{
    TacticsRead read = ReadTacticsFile(TRYZONE_TACTICS_PATH "/" + name + ".tactics.json");
    EXPECT_NE(read.tactic, nullptr) << read.error;
    return read.tactic;
}

class TacticsRecording : public HeadlessWorld
{
};
} // namespace

// A recording keeps both tactics and a reload's new ones, so that a replay needs no file and plays the same events;
// a jump back across the reload sets the other tactics up again.
TEST_F(TacticsRecording, ReplaysHeadlessWithTheSameEventsAndNoTacticsFile)
{
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> players(defaults.begin(), defaults.end());
    const MatchTactics first{Shipped("fast-break"), Shipped("hold-the-line"), nullptr};
    std::ostringstream played;
    MatchTimeline timeline(31, players, &played, first);
    EXPECT_STREQ(timeline.Scene().players[7]->StateName(), "Idle");
    for (int frame = 0; frame < 1500; ++frame)
    {
        timeline.Advance(kMaxFrameTime);
    }
    MatchInput reload;
    reload.kind = InputKind::Reload;
    reload.players = players;
    reload.tactics = {first.red, nullptr, nullptr};
    timeline.Give(reload);
    for (int frame = 0; frame < 1500; ++frame)
    {
        timeline.Advance(kMaxFrameTime);
    }
    EXPECT_EQ(timeline.Scene().players[0]->stateGraph.states.size(), 6u); // hold-the-line's six states

    TemporaryFolder folder;
    const std::string path = (folder.Path() / "match.jsonl").string();
    ASSERT_EQ(timeline.Save(path), 0);
    auto read = ReadRecording(path);
    ASSERT_TRUE(read) << read.Reason();
    const Recording& recording = *read;
    ASSERT_NE(recording.tactics.blue, nullptr);
    EXPECT_EQ(recording.tactics.blue->source, first.blue->source);
    EXPECT_EQ(recording.inputs.back().tactics.red, nullptr);

    std::ostringstream replayed;
    static_cast<void>(ReplayHeadless(recording, &replayed));
    EXPECT_EQ(replayed.str(), played.str());
    EXPECT_GT(played.str().size(), 1000u);

    // Back before the reload: the first match's tactics again, and the same picture as when it was played.
    timeline.JumpTo(1400);
    EXPECT_EQ(timeline.Tactics(), first);
    EXPECT_EQ(timeline.Scene().players[0]->stateGraph.states.size(), 5u);
}

} // namespace tryzone
