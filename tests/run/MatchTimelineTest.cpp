#include "run/MatchTimeline.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "files/LogFile.h"
#include "match/RugbyScene.h"
#include "run/RecordingFile.h"
#include "support/Files.h"
#include "support/HeadlessWorld.h"
#include "support/MatchPicture.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

namespace tryzone
{

namespace
{
MatchInput Input(InputKind kind, int x = 0, int y = 0)
{
    MatchInput input;
    input.kind = kind;
    input.x = x;
    input.y = y;
    return input;
}

// Plays on at full frame time until the timeline shows frame `until`.
void PlayTo(MatchTimeline& timeline, std::int64_t until)
{
    while (timeline.Frame() < until)
    {
        timeline.Advance(kMaxFrameTime);
    }
}

// Debug mode on at frame 100, the player under the middle of the pitch picked and sent to the top-left corner.
void Meddle(MatchTimeline& timeline, std::int64_t until)
{
    while (timeline.Frame() < until)
    {
        if (timeline.Frame() == 99)
        {
            timeline.Give(Input(InputKind::Debug));
        }
        if (timeline.Frame() == 150)
        {
            timeline.Give(Input(InputKind::Pick, 448, 360));
            timeline.Give(Input(InputKind::Steer, 200, 100));
        }
        timeline.Advance(kMaxFrameTime);
    }
}

// The lines of an event log up to a frame.
std::string LinesUntil(const std::string& log, std::int64_t lastFrame)
{
    std::istringstream in(log);
    std::string kept;
    for (std::string line; std::getline(in, line);)
    {
        kept += nlohmann::json::parse(line)["frame"].get<std::int64_t>() <= lastFrame ? line + '\n' : "";
    }
    return kept;
}

class MatchTimelineTest : public HeadlessWorld
{
};

// Orders from an engine of its own, as a random brain's: asked twice for a frame, it would give the frames after
// other orders. Blue runs to random points every 10 frames; slot 5 holds still and is given back by turns.
class ScriptedOrders : public OrderSource
{
public:
    void Decide(const MatchRunner& /*runner*/, std::int64_t frame, std::vector<SlotOrder>& orders) override
    {
        if ((frame - 1) % 10 != 0)
        {
            return;
        }
        for (int slot = 0; slot < 5; ++slot)
        {
            orders.push_back({slot,
                              {OrderKind::Move, std::uniform_int_distribution<int>(0, 1280)(engine),
                               std::uniform_int_distribution<int>(0, 720)(engine)}});
        }
        orders.push_back({5, {(frame / 100) % 2 == 0 ? OrderKind::Hold : OrderKind::Builtin, 0, 0}});
    }

    explicit ScriptedOrders(std::uint32_t seed = 17) : engine(seed) {}

private:
    std::mt19937 engine;
};
} // namespace

// Orders are asked for only on frames played for the first time and kept as inputs: a jump back re-plays the kept
// ones, the match then plays on as if it had never jumped, and the history replays headless to the same log.
TEST_F(MatchTimelineTest, OrdersAreKeptSoThatJumpsAndReplaysPlayThemAgain)
{
    std::ostringstream jumped;
    ScriptedOrders orders;
    MatchTimeline timeline(21, Defaults(), &jumped);
    timeline.DecideWith(&orders);
    PlayTo(timeline, 1500);
    timeline.JumpTo(300);
    PlayTo(timeline, 3000);
    // Only changed orders are kept: slot 5's twice in each 200 frames, not at every decision.
    const auto held = std::count_if(timeline.History().begin(), timeline.History().end(),
                                    [](const MatchInput& input) { return input.slot == 5; });
    EXPECT_EQ(held, 30);

    std::ostringstream straight;
    ScriptedOrders again;
    MatchTimeline reference(21, Defaults(), &straight);
    reference.DecideWith(&again);
    PlayTo(reference, 3000);
    EXPECT_EQ(jumped.str(), straight.str());
    EXPECT_NE(straight.str().find("\"event\":\"tackle"), std::string::npos) << straight.str();

    Recording recording;
    recording.seed = 21;
    recording.players = Defaults();
    recording.inputs = timeline.History();
    recording.lastFrame = 3000;
    std::ostringstream replayed;
    (void)ReplayHeadless(recording, &replayed);
    EXPECT_EQ(replayed.str(), straight.str());
}

// A recording replayed with its order source plays on past its end as the whole match played straight: the source is
// asked for the recorded frames too, so that its engine stands where it stood, but the recorded orders play them.
TEST_F(MatchTimelineTest, AReplayPlaysOnWithItsOrderSourceAsTheWholeMatch)
{
    std::ostringstream straight;
    ScriptedOrders orders;
    MatchTimeline reference(21, Defaults(), &straight);
    reference.DecideWith(&orders);
    while (reference.Frame() < 2400)
    {
        reference.Advance(kMaxFrameTime);
    }
    std::vector<MatchInput> recorded;
    std::copy_if(reference.History().begin(), reference.History().end(), std::back_inserter(recorded),
                 [](const MatchInput& input) { return input.frame <= 1200; });

    for (const std::uint32_t seed : {17U, 99U})
    {
        std::ostringstream replayed;
        ScriptedOrders again(seed);
        MatchTimeline replay(21, Defaults(), &replayed);
        replay.DecideWith(&again);
        replay.Preload(recorded, 1200);
        replay.JumpTo(600);
        replay.JumpTo(1);
        while (replay.Frame() < 2400)
        {
            replay.Advance(kMaxFrameTime);
        }
        // Another source's orders never replace the recorded ones; the same source's play on as they did.
        EXPECT_EQ(LinesUntil(replayed.str(), 1200), LinesUntil(straight.str(), 1200)) << seed;
        EXPECT_EQ(replayed.str() == straight.str(), seed == 17U) << seed;
    }
    EXPECT_LT(LinesUntil(straight.str(), 1200).size() + 200, straight.str().size());
}

TEST_F(MatchTimelineTest, InputAfterAJumpBackReplacesTheOldFutureInTheMatchAndInTheRecording)
{
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "match.jsonl").string();
    RecordingFile file;
    ASSERT_TRUE(file.Open(path));
    std::ostringstream shown;
    MatchTimeline timeline(3, Defaults(), &shown);
    timeline.RecordTo(&file);
    Meddle(timeline, 2000);
    timeline.Advance(0.004f); // a short frame, kept as an input
    timeline.JumpTo(120);
    timeline.Give(Input(InputKind::Debug)); // debug off again: the pick and steer at 151 never happen
    PlayTo(timeline, 2500);
    // Back and played on again: a checkpoint left from the replaced future would bring the pick and steer back.
    timeline.JumpTo(1500);
    PlayTo(timeline, 2500);
    ASSERT_EQ(timeline.History().size(), 2u);
    EXPECT_EQ(timeline.History()[1].frame, 121);
    EXPECT_FALSE(timeline.Scene().debugMode);
    timeline.Finish();

    const auto read = ReadRecording(path);
    ASSERT_TRUE(read) << read.Reason();
    const Recording& recording = *read;
    EXPECT_EQ(recording.inputs.size(), 2u);
    EXPECT_EQ(recording.lastFrame, 2500);
    // One match lives in the host at a time: starting another ends this one.
    const std::string played = Picture(timeline);
    MatchTimeline replayed(recording.seed, recording.players, nullptr);
    replayed.Preload(recording.inputs, recording.lastFrame);
    PlayTo(replayed, 2500);
    EXPECT_EQ(Picture(replayed), played);
}

TEST_F(MatchTimelineTest, ARecordingWithAReloadAndAShortFramePlaysBackToTheSameEventLog)
{
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "match.jsonl").string();
    RecordingFile file;
    ASSERT_TRUE(file.Open(path));
    std::ostringstream live;
    MatchTimeline timeline(2026, Defaults(), &live);
    timeline.RecordTo(&file);
    timeline.Advance(0.0001f); // the first frame of a plain game is short
    Meddle(timeline, 900);
    MatchInput reload = Input(InputKind::Reload);
    reload.players = Defaults();
    for (PlayerSettings& player : reload.players)
    {
        player.Speed = 150.f;
    }
    timeline.Give(reload);
    PlayTo(timeline, 3000);
    EXPECT_EQ(timeline.Result().match, 2);
    EXPECT_FLOAT_EQ(timeline.Scene().players[0]->baseSpeed, 150.f);
    timeline.Finish();

    const auto read = ReadRecording(path);
    ASSERT_TRUE(read) << read.Reason();
    std::ostringstream replayed;
    const auto results = ReplayHeadless(*read, &replayed);
    EXPECT_EQ(replayed.str(), live.str());
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].frames, 2100);
    EXPECT_NE(live.str().find("{\"match\":2,\"frame\":0,"), std::string::npos);
}

namespace
{
std::string Counts(const std::vector<MatchResult>& results)
{
    std::ostringstream out;
    for (const MatchResult& result : results)
    {
        out << result.match << ':' << result.frames;
        for (const TeamRecord& team : result.teams)
        {
            out << ' ' << team.tries << ' ' << team.possessionFrames << ' ' << team.passes << '/' << team.passAttempts
                << ' ' << team.tackles << '/' << team.tackleAttempts;
        }
        out << ';';
    }
    return out.str();
}

class MatchTimelineJumpTest : public HeadlessWorld, public ::testing::WithParamInterface<std::int64_t>
{
};
} // namespace

// Jumps back and forward restore the checkpoint before their target into whatever match the host holds, across a
// reload too; with checkpoints every 7 frames, every 1200 or none (a re-play from the kick-off) they must show the
// same.
TEST_P(MatchTimelineJumpTest, EveryJumpShowsTheFrameAndTheCountsSeenWhenItWasPlayed)
{
    MatchTimeline timeline(2026, Defaults(), nullptr);
    timeline.SetCheckpointSpacing(GetParam());
    std::map<std::int64_t, std::string> seen;
    for (const std::int64_t mark : {1, 100, 1000, 2500, 2501, 4000, 6000})
    {
        Meddle(timeline, mark);
        seen[mark] = Picture(timeline) + " | " + Counts(timeline.Results());
        if (mark == 2500)
        {
            MatchInput reload = Input(InputKind::Reload);
            reload.players = Defaults();
            reload.players[4].Speed = 150.f;
            timeline.Give(reload);
        }
    }
    for (const std::int64_t target : {4000, 1000, 6000, 2501, 100, 2500, 1, 4000, 2500, 6000})
    {
        timeline.JumpTo(target);
        ASSERT_EQ(timeline.Frame(), target);
        EXPECT_EQ(Picture(timeline) + " | " + Counts(timeline.Results()), seen[target]) << "jump to " << target;
    }

    // Played on rather than jumped, across the reload: the kept inputs still come at their frames.
    timeline.JumpTo(1);
    PlayTo(timeline, 4000);
    EXPECT_EQ(Picture(timeline) + " | " + Counts(timeline.Results()), seen[4000]);
}

INSTANTIATE_TEST_SUITE_P(Spacings, MatchTimelineJumpTest, ::testing::Values(0, 7, 1200));

// The window's log is the kept match's: jumps add nothing, and new input after a jump back takes the replaced future's
// lines out of the file. A reload replaced that way is reported, and a lost receiver is reported once.
TEST_F(MatchTimelineTest, TheEventLogFollowsTheKeptTimelineThroughJumpsAndReplacedFutures)
{
    TemporaryFolder folder;
    LogFile log;
    ASSERT_EQ(log.Open((folder.Path() / "events.jsonl").string()), 0);
    MatchTimeline timeline(31, Defaults(), &log.Stream());
    timeline.CutEventsIn(&log);
    testing::internal::CaptureStdout();
    Meddle(timeline, 600);
    timeline.Give(Input(InputKind::Hand)); // no receiver picked: "joueur non valide"
    MatchInput reload = Input(InputKind::Reload);
    reload.players = Defaults();
    reload.players[0].Speed = 150.f;
    PlayTo(timeline, 1500);
    EXPECT_FALSE(timeline.Give(reload));
    timeline.JumpTo(3000);
    timeline.JumpTo(200);
    timeline.JumpTo(2500);
    timeline.JumpTo(1000);
    EXPECT_EQ(timeline.Players(), Defaults());
    EXPECT_TRUE(timeline.Give(Input(InputKind::Debug))); // the reload at 1501 is gone
    timeline.JumpTo(2000);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "joueur non valide\n");
    log.Stream().flush();

    Recording recording;
    recording.seed = 31;
    recording.players = Defaults();
    recording.inputs = timeline.History();
    recording.lastFrame = timeline.Frame();
    std::ostringstream replayed;
    testing::internal::CaptureStdout();
    const auto results = ReplayHeadless(recording, &replayed);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(ReadFile(folder.Path() / "events.jsonl"), replayed.str());
}

// E hands the ball: the log says who had it and who has it, before the frame it acts on, and a jump back that
// re-plays the hand-off logs nothing again.
TEST_F(MatchTimelineTest, AHandOffInAReplayedRecordingIsLoggedOnce)
{
    Recording recording;
    recording.seed = 5;
    recording.players = Defaults();
    const sf::Vector2f blue = recording.players[2].StartPosition;
    MatchInput receiver = Input(InputKind::Receiver, static_cast<int>(blue.x), static_cast<int>(blue.y));
    receiver.frame = 2;
    MatchInput hand = Input(InputKind::Hand);
    hand.frame = 3;
    MatchInput debug = Input(InputKind::Debug);
    debug.frame = 1;
    recording.inputs = {debug, receiver, hand};
    recording.lastFrame = 10;

    std::ostringstream log;
    MatchTimeline timeline(recording.seed, recording.players, &log);
    timeline.Preload(recording.inputs, recording.lastFrame);
    timeline.JumpTo(10);
    timeline.JumpTo(1);
    timeline.JumpTo(10);
    const std::string text = log.str();
    const auto at = text.find("\"event\":\"hand\"");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("\"event\":\"hand\"", at + 1), std::string::npos);
    const auto start = text.rfind('\n', at) + 1;
    const auto line = nlohmann::json::parse(text.substr(start, text.find('\n', at) - start));
    EXPECT_EQ(line["frame"], 3);
    EXPECT_EQ(line["from"]["team"], "red");
    EXPECT_EQ(line["to"]["slot"], 2);

    std::ostringstream headless;
    static_cast<void>(ReplayHeadless(recording, &headless));
    EXPECT_EQ(headless.str(), text);
}

} // namespace tryzone
