#include "window/Playback.h"

#include "core/GameHost.h"
#include "core/PitchMapping.h"
#include "files/FileIdentity.h"
#include "files/LogFile.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "tactics/TacticsFile.h"
#include "window/GameFiles.h"
#include "window/GameSignals.h"
#include "window/KeyHelp.h"
#include "window/PlaybackControls.h"
#include "window/SettingsWatcher.h"
#include "window/StatusLine.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <array>
#include <fstream>
#include <cstring>
#include <iostream>
#include <memory>
#include <random>

namespace
{
// How often the settings file is looked at; a change is loaded once two looks agree.
constexpr float kLookSeconds = 0.25f;

int Fail(const std::string& reason)
{
    std::cerr << "tryzone: " << reason << std::endl;
    return 2;
}

struct Session
{
    explicit Session(MatchTimeline& played) : timeline(played) {}

    MatchTimeline& timeline;
    PlaybackControls controls;
    StatusLine status;
    std::unique_ptr<SettingsWatcher> watcher; // none for a replay
    // The tactics files by side, blue then red, watched like the settings file; none for the default or a replay.
    std::array<std::unique_ptr<SettingsWatcher>, 2> tacticsWatchers;
    const Recording* replay = nullptr;
    bool cappedFrames = false; // a seeded or replayed match never depends on the clock
    LogFile* events = nullptr;
    RecordingFile* recording = nullptr;
    WrittenOutput recordingOutput;
    WrittenOutput eventsOutput;
    std::vector<NamedFile> files; // every file the game reads or writes, which S must not write over
    bool redraw = false;          // paused, with input the picture does not show yet
};

std::int64_t ReplayEnd(const Session& session)
{
    return session.replay != nullptr ? session.replay->lastFrame : 0;
}

// One line on standard error and in the status line, the first time an output fails.
void ReportFailure(Session& session, WrittenOutput& output, int error)
{
    if (auto line = output.Failure(error))
    {
        std::cerr << "tryzone: " << *line << std::endl;
        session.status.Say(*line);
    }
}

void ReportFailures(Session& session)
{
    if (session.recording != nullptr)
    {
        ReportFailure(session, session.recordingOutput, session.recording->Error());
    }
    if (session.events != nullptr)
    {
        // The log follows the match as it is shown, a frame's lines at a time.
        session.events->Stream().flush();
        ReportFailure(session, session.eventsOutput, session.events->Error());
    }
}

void Save(Session& session)
{
    const MatchTimeline& timeline = session.timeline;
    const std::string name =
        "tryzone-" + std::to_string(timeline.Seed()) + "-" + std::to_string(timeline.Frame()) + ".jsonl";
    if (auto collision = FindCollision(session.files, {{"S", name}}))
    {
        std::cerr << "Failed to write recording: " << *collision << std::endl;
        session.status.Say("Failed to write recording: " + *collision);
    }
    else if (timeline.Save(name))
    {
        std::cout << "Recording saved to: " << name << std::endl;
        session.status.Say("Recording saved to: " + name);
    }
    else
    {
        std::cerr << "Failed to write recording: " << name << std::endl;
        session.status.Say("Failed to write recording: " + name);
    }
}

// A replay stops, paused, at its last frame whenever it gets there from before it; played on past it, it says so.
void ReachedEnd(Session& session, std::int64_t before)
{
    const std::int64_t end = ReplayEnd(session);
    const std::int64_t frame = session.timeline.Frame();
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
        const std::int64_t end = ReplayEnd(session);
        const std::int64_t target = before + kJumpFrames;
        timeline.JumpTo(session.replay != nullptr && before < end ? std::min(target, end) : target);
        ReachedEnd(session, before);
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

// Gives the reload; a paused match steps to its first frame, so the new kick-off is shown and kept.
void GiveReload(Session& session, std::vector<PlayerSettings> players, MatchTactics tactics, const std::string& line)
{
    MatchInput reload;
    reload.kind = InputKind::Reload;
    reload.players = std::move(players);
    reload.tactics = std::move(tactics);
    session.timeline.Give(std::move(reload));
    if (session.controls.Paused())
    {
        session.controls.RequestStep();
    }
    std::cout << line << std::endl;
    session.status.Say(line);
}

void ReloadSettings(Session& session)
{
    SettingsWatcher::Outcome outcome = session.watcher->Load();
    if (!outcome.players)
    {
        session.status.Say(outcome.message + " (playing on)");
        return;
    }
    GiveReload(session, std::move(*outcome.players), session.timeline.Tactics(),
               "Settings reloaded from " + session.watcher->Path() + ": new kick-off");
}

// The changed tactics files read whole; a refused one is said and the match plays on unchanged.
void ReloadTactics(Session& session)
{
    MatchTactics tactics = session.timeline.Tactics();
    std::string changed;
    for (std::size_t side = 0; side < session.tacticsWatchers.size(); ++side)
    {
        SettingsWatcher* watcher = session.tacticsWatchers[side].get();
        if (watcher == nullptr || !watcher->Changed())
        {
            continue;
        }
        TacticsRead read = ReadTacticsFile(watcher->Path());
        for (const std::string& warning : read.warnings)
        {
            std::cerr << warning << std::endl;
        }
        if (read.tactic == nullptr)
        {
            std::cerr << read.error << std::endl;
            session.status.Say(read.error + " (playing on)");
            return;
        }
        (side == 0 ? tactics.blue : tactics.red) = std::move(read.tactic);
        changed = watcher->Path();
    }
    if (changed.empty())
    {
        return;
    }
    GiveReload(session, session.timeline.Players(), std::move(tactics), "Tactics reloaded from " + changed + ": new kick-off");
}


// New input replaced a future that held a reload: the players in play may no longer be the file's.
void CheckPlayersAgainstFile(Session& session)
{
    SettingsWatcher::Outcome outcome = session.watcher->Load();
    if (!outcome.players)
    {
        const std::string line = "The reload ahead was replaced and " + session.watcher->Path() +
                                 " does not load, so these players play on: " + outcome.message;
        std::cerr << line << std::endl;
        session.status.Say(line);
    }
    else if (*outcome.players != session.timeline.Players())
    {
        GiveReload(session, std::move(*outcome.players), session.timeline.Tactics(),
                   "The reload ahead was replaced: settings reloaded from " + session.watcher->Path() +
                       ": new kick-off");
    }
}

void HandleEvent(Session& session, const sf::Event& event, sf::RenderWindow& window)
{
    MatchTimeline& timeline = session.timeline;
    if (event.type == sf::Event::Closed)
    {
        window.close();
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
        if (const int signal = GameStopSignal(); signal != 0)
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
        const std::int64_t stopAt = session.replay != nullptr && before < ReplayEnd(session) ? ReplayEnd(session) : -1;
        if (PlayDrawnFrame(timeline, session.controls, measured, session.cappedFrames, stopAt))
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
} // namespace

int PlayGame(const GameOptions& options)
{
    // Every tactics file is known good before any file is touched or the window opens.
    MatchTactics tactics;
    for (const auto& [file, tactic] :
         {std::pair{&options.blueTactics, &tactics.blue}, {&options.redTactics, &tactics.red}})
    {
        if (!file->empty())
        {
            TacticsRead read = ReadTacticsFile(*file);
            for (const std::string& warning : read.warnings)
            {
                std::cerr << warning << std::endl;
            }
            if (read.tactic == nullptr)
            {
                std::cerr << read.error << std::endl;
                return 2;
            }
            *tactic = std::move(read.tactic);
        }
    }
    std::optional<Recording> replay;
    if (!options.replay.empty())
    {
        auto read = ReadRecording(options.replay);
        if (const auto* reason = std::get_if<std::string>(&read))
        {
            return Fail(*reason);
        }
        replay = std::move(std::get<Recording>(read));
        if (!replay->warning.empty())
        {
            std::cerr << "tryzone: " << replay->warning << std::endl;
        }
    }
    CatchGameSignals();
    RecordingFile recording;
    LogFile events;
    if (auto problem = OpenGameOutputs(options, recording, events))
    {
        return Fail(*problem);
    }

    GameHost& host = GameHost::Instance();
    host.OpenWindow(1280, 720, "TryZone", 60);
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
        players = RugbyScene::ObtainPlayerSettings(KickOffFormation(width, static_cast<float>(host.WindowHeight())),
                                                   width, options.settings);
        // One seed for both engines, drawn as the engines used to draw theirs, and kept so the match can be replayed.
        seed = options.seed.value_or(std::random_device{}());
    }
    (void)host.LoadFont();

    MatchTimeline timeline(seed, players, events.IsOpen() ? &events.Stream() : nullptr, tactics);
    Session session(timeline);
    session.replay = replay ? &*replay : nullptr;
    session.cappedFrames = options.seed.has_value() || replay;
    session.files = GameFiles(options);
    if (events.IsOpen())
    {
        timeline.CutEventsIn(&events);
        session.events = &events;
        session.eventsOutput = {"--events", options.events == "-" ? "standard output" : options.events};
    }
    if (replay)
    {
        timeline.Preload(replay->inputs, replay->lastFrame);
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
    }
    if (recording.IsOpen())
    {
        timeline.RecordTo(&recording);
        session.recording = &recording;
        session.recordingOutput = {"--record", options.record};
    }
    const int signal = Loop(session);
    timeline.Finish();
    ReportFailures(session);
    if (signal != 0)
    {
        return 128 + signal;
    }
    return session.recordingOutput.reported || session.eventsOutput.reported ? 1 : 0;
}
