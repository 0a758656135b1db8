#include "window/Playback.h"

#include "agent/BrainDriver.h"
#include "core/GameHost.h"
#include "files/LogFile.h"
#include "files/StopSignals.h"
#include "laws/Laws.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "shape/MatchShape.h"
#include "tactics/TacticsFile.h"
#include "window/GameFiles.h"
#include "window/PlaybackSession.h"
#include "window/SettingsWatcher.h"

#include <iostream>
#include <memory>
#include <random>

namespace tryzone
{

namespace
{
int Fail(const std::string& reason)
{
    std::cerr << "tryzone: " << reason << std::endl;
    return 2;
}

// The session's outputs and watched files, once the timeline is made.
void ConnectSession(Session& session, const GameOptions& options, RecordingFile& recording, LogFile& events)
{
    MatchTimeline& timeline = session.timeline;
    session.files = GameFiles(options);
    if (events.IsOpen())
    {
        timeline.CutEventsIn(&events);
        session.events = &events;
        session.eventsOutput = {"--events", options.events == "-" ? "standard output" : options.events};
    }
    if (session.replay != nullptr)
    {
        timeline.Preload(session.replay->inputs, session.replay->lastFrame);
    }
    else
    {
        session.watcher = std::make_unique<SettingsWatcher>(options.settings);
        // A tactics file is watched as the settings file is, and read by its own loader.
        for (const auto& [side, file] : {std::pair{0, &options.blueTactics}, {1, &options.redTactics}})
        {
            if (!file->empty())
            {
                session.tacticsWatchers[static_cast<std::size_t>(side)] = std::make_unique<SettingsWatcher>(*file);
            }
        }
        if (!options.laws.empty())
        {
            session.lawsWatcher = std::make_unique<SettingsWatcher>(options.laws);
        }
    }
    if (recording.IsOpen())
    {
        timeline.RecordTo(&recording);
        session.recording = &recording;
        session.recordingOutput = {"--record", options.record};
    }
}

// The match the window plays: the replay's, or the settings file's players under the chosen or a drawn seed.
void ChooseMatch(const GameOptions& options, const std::optional<Recording>& replay, GameHost& host,
                 std::vector<PlayerSettings>& players, std::uint32_t& seed, MatchTactics& tactics)
{
    if (replay)
    {
        players = replay->players;
        seed = replay->seed;
        tactics = replay->tactics;
        return;
    }
    const float width = static_cast<float>(host.WindowWidth());
    std::vector<SettingsLine> lines;
    players = RugbyScene::ObtainPlayerSettings(KickOffFormation(width, static_cast<float>(host.WindowHeight())), width,
                                               lines, options.settings);
    for (const SettingsLine& line : lines)
    {
        (line.error ? std::cerr : std::cout) << line.text << std::endl;
    }
    // One seed for both engines, drawn as the engines used to draw theirs, and kept so the match can be replayed.
    seed = options.seed.value_or(std::random_device{}());
}

// The recording to replay, and the brains it names as the game's: the replay plays on with them. Its policy files
// must still read as they did: one that no longer does is refused, and nothing is played.
Expected<Recording> ReadReplay(GameOptions& game)
{
    auto read = ReadRecording(game.replay);
    if (!read || read->brains.is_null())
    {
        return read;
    }
    auto plan = BrainPlanFromJson(read->brains);
    if (!plan)
    {
        return Unexpected{game.replay + ": " + plan.Reason()};
    }
    game.brains.slots = *plan;
    game.brains.decisionFramesGiven = true;
    return read;
}

// The recording to replay, if any, with the brains it names, and the brains checked: brains of two paces are refused
// before the window opens, as the players they play are placed later.
Expected<std::optional<Recording>> ReadReplayAndBrains(GameOptions& game)
{
    std::optional<Recording> replay;
    if (!game.replay.empty())
    {
        auto read = ReadReplay(game);
        if (!read)
        {
            return read.Error();
        }
        replay = std::move(*read);
    }
    if (const auto defaults = DefaultPlayers(); game.brains.Given())
    {
        if (const auto plan = PlanBrains(game.brains, {defaults.begin(), defaults.end()}); !plan)
        {
            return plan.Error();
        }
    }
    return replay;
}
} // namespace

int PlayGame(const GameOptions& options)
{
    // Every tactics file and the laws are known good before any file is touched or the window opens.
    MatchTactics tactics;
    if (!ReadGameTactics(options, tactics))
    {
        return 2;
    }
    GameOptions game = options;
    auto read = ReadReplayAndBrains(game);
    if (!read)
    {
        return Fail(read.Reason());
    }
    std::optional<Recording> replay = std::move(*read);
    if (replay && !replay->warning.empty())
    {
        std::cerr << "tryzone: " << replay->warning << std::endl;
    }
    CatchStopSignals();
    RecordingFile recording;
    LogFile events;
    if (auto opened = OpenGameOutputs(game, recording, events); !opened)
    {
        return Fail(opened.Reason());
    }
    if (options.events == "-")
    {
        // Standard output carries the log: the game's own lines (the ball's, the settings loader's) go to standard
        // error, for the rest of the program.
        std::cout.rdbuf(std::cerr.rdbuf());
    }

    GameHost& host = GameHost::Instance();
    host.OpenWindow(kPitchWidth, kPitchHeight, "TryZone", 60);
    std::vector<PlayerSettings> players;
    std::uint32_t seed = 0;
    ChooseMatch(options, replay, host, players, seed, tactics);
    (void)host.LoadFont();

    const MatchNumbering numbering =
        replay ? replay->numbering : MatchNumbering{options.minutes ? FramesFor(*options.minutes) : 0, options.match};
    MatchTimeline timeline(seed, players, events.IsOpen() ? &events.Stream() : nullptr, tactics, numbering);
    // Brains decide for the frames played for the first time; their orders are kept with the rest of the input. A
    // replay's brains play on past its end.
    std::optional<BrainDriver> brains;
    if (game.brains.Given())
    {
        auto plan = PlanBrains(game.brains, players);
        if (!plan)
        {
            return Fail(plan.Reason());
        }
        brains.emplace(*plan, seed, numbering.matchFrames > 0 ? numbering.matchFrames : FramesFor(kDefaultMinutes));
        timeline.DecideWith(&*brains, BrainPlanAsJson(*plan));
    }
    Session session(timeline);
    session.replay = replay ? &*replay : nullptr;
    // A match of a set length is the simulator's: every frame of the capped length.
    session.cappedFrames = options.seed.has_value() || replay || numbering.matchFrames > 0;
    ConnectSession(session, game, recording, events);
    const int signal = PlayLoop(session);
    timeline.Finish();
    ReportFailures(session);
    if (signal != 0)
    {
        return 128 + signal;
    }
    return session.recordingOutput.reported || session.eventsOutput.reported ? 1 : 0;
}

} // namespace tryzone
