#pragma once

#include "files/FileIdentity.h"
#include "run/Recording.h"
#include "window/GameFiles.h"
#include "window/PlaybackControls.h"
#include "window/SettingsWatcher.h"
#include "window/StatusLine.h"

#include <array>
#include <memory>
#include <vector>

namespace tryzone
{

class LogFile;
class MatchTimeline;
class RecordingFile;

// The game's window as it plays one timeline: its controls, status line, watched settings file and outputs.
struct Session
{
    explicit Session(MatchTimeline& played) : timeline(played) {}

    MatchTimeline& timeline;
    PlaybackControls controls;
    StatusLine status;
    std::unique_ptr<SettingsWatcher> watcher; // none for a replay
    // The tactics files by side, blue then red, watched like the settings file; none for the default or a replay.
    std::array<std::unique_ptr<SettingsWatcher>, 2> tacticsWatchers;
    // The laws file, watched the same way; none for the game's own laws or a replay.
    std::unique_ptr<SettingsWatcher> lawsWatcher;
    const Recording* replay = nullptr;
    bool cappedFrames = false; // a seeded or replayed match never depends on the clock
    LogFile* events = nullptr;
    RecordingFile* recording = nullptr;
    WrittenOutput recordingOutput;
    WrittenOutput eventsOutput;
    std::vector<NamedFile> files; // every file the game reads or writes, which S must not write over
    bool redraw = false;          // paused, with input the picture does not show yet
};

// Plays until the window closes (0) or a stop signal comes (that signal), the frame shown being the last one.
[[nodiscard]] int PlayLoop(Session& session);
// One line on standard error and in the status line, the first time an output fails.
void ReportFailures(Session& session);
// S: the match so far as tryzone-SEED-FRAME.jsonl, never over a file the game reads or writes.
void Save(Session& session);
// The edited settings file given to the match as a reload, or, when it does not load, why, held in the status line.
void ReloadSettings(Session& session);
// The changed tactics files read whole and given to the match as a reload; a refused one is said and the match
// plays on unchanged.
void ReloadTactics(Session& session);
// New input replaced a future that held a reload: the players in play may no longer be the file's.
void CheckPlayersAgainstFile(Session& session);

} // namespace tryzone
