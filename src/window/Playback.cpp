#include "window/Playback.h"

#include "core/GameHost.h"
#include "core/PitchMapping.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "tactics/TacticsFile.h"
#include "window/PlaybackControls.h"
#include "window/SettingsWatcher.h"
#include "window/StatusLine.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>

namespace
{
int Fail(const std::string& reason)
{
    std::cerr << "tryzone: " << reason << std::endl;
    return 2;
}

struct Session
{
    MatchTimeline& timeline;
    PlaybackControls controls;
    StatusLine status;
    std::unique_ptr<SettingsWatcher> watcher; // none for a replay
    // The tactics files by side, blue then red, watched like the settings file; none for the default or a replay.
    std::array<std::unique_ptr<SettingsWatcher>, 2> tacticsWatchers;
    std::vector<PlayerSettings> players; // those of the current match, which a tactics reload keeps
    const Recording* replay = nullptr;
    bool cappedFrames = false; // a seeded or replayed match never depends on the clock
    std::ofstream* events = nullptr;
};

void Command(Session& session, PlaybackControls::Command command)
{
    MatchTimeline& timeline = session.timeline;
    switch (command)
    {
    case PlaybackControls::Command::JumpBack:
        timeline.JumpTo(timeline.Frame() - kJumpFrames);
        break;
    case PlaybackControls::Command::JumpForward:
        timeline.JumpTo(timeline.Frame() + kJumpFrames);
        break;
    case PlaybackControls::Command::KickOff:
        timeline.JumpTo(timeline.KickOffFrame());
        break;
    case PlaybackControls::Command::Save:
    {
        const std::string name =
            "tryzone-" + std::to_string(timeline.Seed()) + "-" + std::to_string(timeline.Frame()) + ".jsonl";
        if (timeline.Save(name))
        {
            std::cout << "Recording saved to: " << name << std::endl;
            session.status.Say("Recording saved to: " + name);
        }
        else
        {
            std::cerr << "Failed to write recording: " << name << std::endl;
            session.status.Say("Failed to write recording: " + name);
        }
        break;
    }
    case PlaybackControls::Command::None:
        break;
    }
}

void ReloadSettings(Session& session)
{
    SettingsWatcher::Outcome outcome = session.watcher->Load();
    if (!outcome.players)
    {
        session.status.Say(outcome.message + " (playing on)");
        return;
    }
    MatchInput reload;
    reload.kind = InputKind::Reload;
    reload.players = std::move(*outcome.players);
    reload.tactics = session.timeline.Tactics();
    session.players = reload.players;
    session.timeline.Give(std::move(reload));
    const std::string line = "Settings reloaded from " + session.watcher->Path() + ": new kick-off";
    std::cout << line << std::endl;
    session.status.Say(line);
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
    MatchInput reload;
    reload.kind = InputKind::Reload;
    reload.players = session.players;
    reload.tactics = std::move(tactics);
    session.timeline.Give(std::move(reload));
    const std::string line = "Tactics reloaded from " + changed + ": new kick-off";
    std::cout << line << std::endl;
    session.status.Say(line);
}

void Loop(Session& session)
{
    GameHost& host = GameHost::Instance();
    sf::RenderWindow& window = *host.Window();
    MatchTimeline& timeline = session.timeline;
    bool replayEnded = false;
    sf::Clock clock;
    sf::Clock sinceLook;
    while (window.isOpen())
    {
        const float measured = CapFrameTime(clock.restart().asSeconds());
        sf::Event event;
        while (window.pollEvent(event))
        {
            if (event.type == sf::Event::Closed)
            {
                window.close();
            }
            // Clicks are read on the pitch, whatever size the window has been given.
            const sf::Event onPitch = EventOnPitch(window.getView(), window.getSize(), event);
            PlaybackControls::Command command = PlaybackControls::Command::None;
            if (onPitch.type == sf::Event::KeyPressed && session.controls.HandleKey(onPitch.key.code, command))
            {
                Command(session, command);
                continue;
            }
            // A replayed match takes no input but the controls.
            if (session.replay == nullptr)
            {
                if (auto input = InputFromEvent(onPitch, timeline.Scene().debugMode, timeline.Frame() + 1))
                {
                    timeline.Give(std::move(*input));
                }
            }
        }
        if (session.watcher && sinceLook.getElapsedTime().asSeconds() >= 1.f)
        {
            sinceLook.restart();
            if (session.watcher->Changed())
            {
                ReloadSettings(session);
            }
            ReloadTactics(session);
        }

        // A replay pauses on its last frame once; Space plays on past it.
        const std::int64_t stopAt = session.replay != nullptr && !replayEnded ? session.replay->lastFrame : -1;
        if (PlayDrawnFrame(timeline, session.controls, measured, session.cappedFrames, stopAt))
        {
            replayEnded = true;
            std::cout << "Replay ended at frame " << timeline.Frame() << std::endl;
            session.status.Say("End of the recording: frame " + std::to_string(timeline.Frame()));
        }
        if (session.events != nullptr)
        {
            // The log follows the match as it is shown, a frame's lines at a time.
            session.events->flush();
        }
        host.DrawKeptFrame([&](sf::RenderWindow& target) { session.status.Draw(target, timeline, session.controls); });
    }
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
    // Outputs are opened before the window, so that a wrong path fails at once.
    RecordingFile recording;
    if (!options.record.empty() && !recording.Open(options.record))
    {
        return Fail("cannot write " + options.record);
    }
    std::ofstream events;
    if (!options.events.empty())
    {
        events.open(options.events, std::ios::binary);
        if (!events)
        {
            return Fail("cannot write " + options.events);
        }
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

    MatchTimeline timeline(seed, players, events.is_open() ? &events : nullptr, tactics);
    Session session{timeline,
                    {},
                    {},
                    nullptr,
                    {},
                    {},
                    replay ? &*replay : nullptr,
                    options.seed.has_value() || replay,
                    events.is_open() ? &events : nullptr};
    if (replay)
    {
        timeline.Preload(replay->inputs, replay->lastFrame);
    }
    else
    {
        session.watcher = std::make_unique<SettingsWatcher>(options.settings);
        session.players = players;
        // Only the file's stamp is used: a tactics file is watched as the settings file is, and read by its own
        // loader.
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
    }
    Loop(session);
    timeline.Finish();
    return 0;
}
