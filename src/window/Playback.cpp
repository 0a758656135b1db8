#include "window/Playback.h"

#include "shape/MatchShape.h"
#include "core/GameHost.h"
#include "core/PitchMapping.h"
#include "files/FileIdentity.h"
#include "files/LogFile.h"
#include "laws/Laws.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "agent/BrainDriver.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "tactics/TacticsFile.h"
#include "window/GameFiles.h"
#include "files/StopSignals.h"
#include "window/KeyHelp.h"
#include "window/PlaybackControls.h"
#include "window/PlaybackSession.h"
#include "window/SettingsPanel.h"
#include "window/SettingsWatcher.h"
#include "window/StatusLine.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <array>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>

namespace tryzone
{

namespace
{
// How often the settings file is looked at; a change is loaded once two looks agree.
constexpr float kLookSeconds = 0.25f;

int Fail(const std::string& reason)
{
    std::cerr << "tryzone: " << reason << std::endl;
    return 2;
}

std::int64_t ReplayEnd(const Session& session)
{
    return session.replay != nullptr ? session.replay->lastFrame : 0;
}

// A match of a set length is over at its last frame: only a jump back or a reload goes on from there.
bool FullTime(const Session& session)
{
    const std::int64_t end = session.timeline.FullTimeFrame();
    return end >= 0 && session.timeline.Frame() >= end;
}

// Where playing on from the given frame stops, paused: full time, or a replay's last frame; -1 for nowhere.
std::int64_t StopFrame(const Session& session, std::int64_t before)
{
    const std::int64_t end = ReplayEnd(session);
    const std::int64_t fullTime = session.timeline.FullTimeFrame();
    std::int64_t stop = session.replay != nullptr && before < end ? end : -1;
    if (fullTime >= 0 && before < fullTime && (stop < 0 || fullTime < stop))
    {
        stop = fullTime;
    }
    return stop;
}

void ReachedEnd(Session& session, std::int64_t before)
{
    const std::int64_t end = ReplayEnd(session);
    const std::int64_t frame = session.timeline.Frame();
    if (frame == session.timeline.FullTimeFrame() && before < frame)
    {
        session.controls.Pause();
        const auto& teams = session.timeline.Result().teams;
        const std::string line = "Full time at frame " + std::to_string(frame) + ": Blue " +
                                 std::to_string(teams[0].tries) + " - " + std::to_string(teams[1].tries) + " Red";
        std::cout << line << std::endl;
        session.status.Say(line + " (Left and Home look back)", true);
        return;
    }
    if (session.replay == nullptr || frame < end)
    {
        return;
    }
    if (before < end && frame == end)
    {
        session.controls.Pause();
        std::cout << "Replay ended at frame " << frame << std::endl;
        session.status.Say("End of the recording: frame " + std::to_string(frame) + " (Space plays on)");
    }
    else
    {
        session.status.Say("Past the end of the recording (frame " + std::to_string(end) + "): frame " +
                           std::to_string(frame) + ", played on");
    }
}

void Command(Session& session, PlaybackControls::Command command)
{
    MatchTimeline& timeline = session.timeline;
    const std::int64_t before = timeline.Frame();
    switch (command)
    {
    case PlaybackControls::Command::JumpBack:
        timeline.JumpTo(before - kJumpFrames);
        break;
    case PlaybackControls::Command::JumpForward:
    {
        const std::int64_t stop = StopFrame(session, before);
        if (!FullTime(session))
        {
            timeline.JumpTo(stop >= 0 ? std::min(before + kJumpFrames, stop) : before + kJumpFrames);
            ReachedEnd(session, before);
        }
        break;
    }
    case PlaybackControls::Command::KickOff:
        timeline.JumpTo(timeline.KickOffFrame());
        break;
    case PlaybackControls::Command::Save:
        Save(session);
        break;
    case PlaybackControls::Command::None:
        break;
    }
}

void HandleEvent(Session& session, const sf::Event& event, sf::RenderWindow& window)
{
    MatchTimeline& timeline = session.timeline;
    if (event.type == sf::Event::Closed)
    {
        window.close();
    }
    if (event.type == sf::Event::KeyPressed)
    {
        session.status.KeyPressed();
    }
    if (event.type == sf::Event::KeyReleased)
    {
        session.controls.ReleaseKey(event.key.code);
    }
    if (event.type == sf::Event::TextEntered && event.text.unicode == U'?')
    {
        session.controls.ToggleHelp();
    }
    // Clicks are read on the pitch, whatever size the window has been given.
    const sf::Event onPitch = EventOnPitch(window.getView(), window.getSize(), event);
    PlaybackControls::Command command = PlaybackControls::Command::None;
    if (onPitch.type == sf::Event::KeyPressed && session.controls.HandleKey(onPitch.key.code, command))
    {
        Command(session, command);
        return;
    }
    // A replayed match takes no input but the controls.
    if (session.replay != nullptr)
    {
        return;
    }
    if (auto input = InputFromEvent(onPitch, timeline.Scene().debugMode, timeline.Frame() + 1))
    {
        const bool reloadDropped = timeline.Give(std::move(*input));
        session.redraw = session.controls.Paused();
        if (reloadDropped && session.watcher)
        {
            CheckPlayersAgainstFile(session);
        }
    }
}

void DrawFrame(Session& session)
{
    GameHost::Instance().DrawKeptFrame(
        [&](sf::RenderWindow& target)
        {
            if (session.controls.SettingsShown())
            {
                DrawSettingsPanel(target, SettingsPanelText(session.timeline));
            }
            session.status.Draw(target, session.timeline, session.controls, ReplayEnd(session));
            if (session.controls.HelpShown())
            {
                DrawKeyHelp(target, KeyHelpText(session.controls, session.timeline.Scene().debugMode,
                                                session.replay != nullptr));
            }
        });
}

// Returns the stop signal that ended the loop, 0 when the window was closed.
int Loop(Session& session)
{
    sf::RenderWindow& window = *GameHost::Instance().Window();
    MatchTimeline& timeline = session.timeline;
    sf::Clock clock;
    sf::Clock sinceLook;
    while (window.isOpen())
    {
        // Between two frames, as the close button: the frame shown is the last one.
        if (const int signal = StopSignal(); signal != 0)
        {
            window.close();
            return signal;
        }
        const float measured = CapFrameTime(clock.restart().asSeconds());
        sf::Event event;
        while (window.pollEvent(event))
        {
            HandleEvent(session, event, window);
        }
        if (session.watcher && sinceLook.getElapsedTime().asSeconds() >= kLookSeconds)
        {
            sinceLook.restart();
            if (session.watcher->Changed())
            {
                ReloadSettings(session);
            }
            ReloadTactics(session);
        }

        const std::int64_t before = timeline.Frame();
        if (FullTime(session))
        {
            // Over: steps asked for are dropped, and the last frame stays on the screen.
            static_cast<void>(session.controls.TakeSteps());
        }
        else if (PlayDrawnFrame(timeline, session.controls, measured, session.cappedFrames, StopFrame(session, before)))
        {
            ReachedEnd(session, before);
        }
        else if (timeline.Frame() == before && session.redraw)
        {
            // Paused: the match stands still, but the picture shows the input given meanwhile.
            timeline.Redraw();
        }
        session.redraw = false;
        ReportFailures(session);
        DrawFrame(session);
    }
    return 0;
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
} // namespace

int PlayGame(const GameOptions& options)
{
    // Every tactics file and the laws are known good before any file is touched or the window opens.
    MatchTactics tactics;
    if (!ReadGameTactics(options, tactics))
    {
        return 2;
    }
    // Brains of two paces are refused before the window opens, as the players they play are placed later.
    if (const auto defaults = DefaultPlayers(); options.brains.Given())
    {
        if (const auto plan = PlanBrains(options.brains, {defaults.begin(), defaults.end()}); !plan)
        {
            return Fail(plan.Reason());
        }
    }
    std::optional<Recording> replay;
    if (!options.replay.empty())
    {
        auto read = ReadRecording(options.replay);
        if (!read)
        {
            return Fail(read.Reason());
        }
        replay = std::move(*read);
        if (!replay->warning.empty())
        {
            std::cerr << "tryzone: " << replay->warning << std::endl;
        }
    }
    CatchStopSignals();
    RecordingFile recording;
    LogFile events;
    if (auto opened = OpenGameOutputs(options, recording, events); !opened)
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
    if (replay)
    {
        players = replay->players;
        seed = replay->seed;
        tactics = replay->tactics;
    }
    else
    {
        const float width = static_cast<float>(host.WindowWidth());
        std::vector<SettingsLine> lines;
        players = RugbyScene::ObtainPlayerSettings(KickOffFormation(width, static_cast<float>(host.WindowHeight())),
                                                   width, lines, options.settings);
        for (const SettingsLine& line : lines)
        {
            (line.error ? std::cerr : std::cout) << line.text << std::endl;
        }
        // One seed for both engines, drawn as the engines used to draw theirs, and kept so the match can be replayed.
        seed = options.seed.value_or(std::random_device{}());
    }
    (void)host.LoadFont();

    const MatchNumbering numbering =
        replay ? replay->numbering : MatchNumbering{options.minutes ? FramesFor(*options.minutes) : 0, options.match};
    MatchTimeline timeline(seed, players, events.IsOpen() ? &events.Stream() : nullptr, tactics, numbering);
    // Brains decide for the frames played for the first time; their orders are kept with the rest of the input.
    std::optional<BrainDriver> brains;
    if (!replay && options.brains.Given())
    {
        auto plan = PlanBrains(options.brains, players);
        if (!plan)
        {
            return Fail(plan.Reason());
        }
        brains.emplace(*plan, seed, numbering.matchFrames > 0 ? numbering.matchFrames : FramesFor(kDefaultMinutes));
        timeline.DecideWith(&*brains);
    }
    Session session(timeline);
    session.replay = replay ? &*replay : nullptr;
    // A match of a set length is the simulator's: every frame of the capped length.
    session.cappedFrames = options.seed.has_value() || replay || numbering.matchFrames > 0;
    ConnectSession(session, options, recording, events);
    const int signal = Loop(session);
    timeline.Finish();
    ReportFailures(session);
    if (signal != 0)
    {
        return 128 + signal;
    }
    return session.recordingOutput.reported || session.eventsOutput.reported ? 1 : 0;
}

} // namespace tryzone
