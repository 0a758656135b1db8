#include "laws/Laws.h"
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
class LawsRecording : public HeadlessWorld
{
};
} // namespace

// A match under the rugby laws, recorded: the recording keeps the laws whole, and a headless replay with no laws
// file plays the same events, the refused forward passes among them.
TEST_F(LawsRecording, ReplaysHeadlessWithTheSameEventsAndNoLawsFile)
{
    const Expected<Laws> rugby = ReadLawsFile(TRYZONE_LAWS_PATH "/rugby.laws.json");
    ASSERT_TRUE(rugby) << rugby.Reason();
    const TacticsRead fastBreak = ReadTacticsFile(TRYZONE_TACTICS_PATH "/fast-break.tactics.json");
    ASSERT_NE(fastBreak.tactic, nullptr) << fastBreak.error;
    const MatchTactics tactics{fastBreak.tactic, fastBreak.tactic, std::make_shared<const Laws>(*rugby)};
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> players(defaults.begin(), defaults.end());
    std::ostringstream played;
    MatchTimeline timeline(31, players, &played, tactics);
    for (int frame = 0; frame < 12000; ++frame)
    {
        timeline.Advance(kMaxFrameTime);
    }
    EXPECT_NE(played.str().find("\"forward_pass\""), std::string::npos);

    TemporaryFolder folder;
    const std::string path = (folder.Path() / "match.jsonl").string();
    ASSERT_EQ(timeline.Save(path), 0);
    auto read = ReadRecording(path);
    ASSERT_TRUE(read) << read.Reason();
    ASSERT_NE(read->tactics.laws, nullptr);
    EXPECT_EQ(*read->tactics.laws, *rugby);

    std::ostringstream replayed;
    static_cast<void>(ReplayHeadless(*read, &replayed));
    EXPECT_EQ(replayed.str(), played.str());
}

} // namespace tryzone
