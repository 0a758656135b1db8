#include "window/PlaybackSession.h"

#include "files/FileGate.h"
#include "files/LogFile.h"
#include "laws/Laws.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "tactics/TacticsFile.h"
#include "window/SettingsPanel.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

namespace tryzone
{

namespace
{
// One line on standard error and in the status line, the first time an output fails.
void ReportFailure(Session& session, WrittenOutput& output, int error)
{
    if (auto line = output.Failure(error))
    {
        std::cerr << "tryzone: " << *line << std::endl;
        session.status.Say(*line);
    }
}
} // namespace

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

namespace
{
// Whether S may create name: nothing there yet, not even a dangling link, and none of the game's files.
bool FreeForSave(const Session& session, const std::string& name)
{
    struct stat status
    {
    };
    if (::lstat(name.c_str(), &status) == 0 || errno != ENOENT)
    {
        return false;
    }
    FileGate gate;
    for (const NamedFile& file : session.files)
    {
        gate.AddInput(file.option, file.path);
    }
    gate.AddOutput("S", name, OutputTarget::File);
    return gate.Check().HasValue();
}

void SayFailure(Session& session, const std::string& line)
{
    std::cerr << line << std::endl;
    session.status.Say(line);
}
} // namespace

void Save(Session& session)
{
    const MatchTimeline& timeline = session.timeline;
    const std::string stem = "tryzone-" + std::to_string(timeline.Seed()) + "-" + std::to_string(timeline.Frame());
    // Never replaces a file: a taken name gets a suffix, -2, -3 and on; O_EXCL settles a race with another game.
    constexpr int kMaxCopies = 1000;
    for (int copy = 1; copy <= kMaxCopies; ++copy)
    {
        const std::string name = stem + (copy == 1 ? "" : "-" + std::to_string(copy)) + ".jsonl";
        if (!FreeForSave(session, name))
        {
            continue;
        }
        const int error = timeline.Save(name);
        if (error == EEXIST)
        {
            continue;
        }
        if (error != 0)
        {
            SayFailure(session, "Failed to write recording: " + name + ": " + std::strerror(error));
            return;
        }
        std::cout << "Recording saved to: " << name << std::endl;
        session.status.Say("Recording saved to: " + name);
        return;
    }
    SayFailure(session, "Failed to write recording: " + stem + ".jsonl and " + std::to_string(kMaxCopies - 1) +
                            " numbered copies are all taken");
}

namespace
{
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
} // namespace

void ReloadSettings(Session& session)
{
    SettingsWatcher::Outcome outcome = session.watcher->Load();
    if (!outcome.players)
    {
        session.status.Say(outcome.message + " (the players loaded at " +
                               TimelineClock(session.timeline.PlayersSince()) + " play on)",
                           true);
        return;
    }
    GiveReload(session, std::move(*outcome.players), session.timeline.Tactics(),
               "Settings reloaded from " + session.watcher->Path() + ": new kick-off");
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
        session.status.Say(line, true);
    }
    else if (*outcome.players != session.timeline.Players())
    {
        GiveReload(session, std::move(*outcome.players), session.timeline.Tactics(),
                   "The reload ahead was replaced: settings reloaded from " + session.watcher->Path() +
                       ": new kick-off");
    }
}

void ReloadTactics(Session& session)
{
    MatchTactics tactics = session.timeline.Tactics();
    std::string changed;
    std::string warned;
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
            session.status.Say(read.error + " (playing on)", true);
            return;
        }
        if (!read.warnings.empty())
        {
            // The status line has room for one; all of them went to standard error.
            warned = " - " + read.warnings.front() +
                     (read.warnings.size() > 1 ? " (+" + std::to_string(read.warnings.size() - 1) + " more)" : "");
        }
        (side == 0 ? tactics.blue : tactics.red) = std::move(read.tactic);
        changed = watcher->Path();
    }
    std::string what = "Tactics";
    if (session.lawsWatcher != nullptr && session.lawsWatcher->Changed())
    {
        Expected<Laws> laws = ReadLawsFile(session.lawsWatcher->Path());
        if (!laws)
        {
            std::cerr << laws.Reason() << std::endl;
            session.status.Say(laws.Reason() + " (playing on)", true);
            return;
        }
        tactics.laws = AreGameLaws(*laws) ? nullptr : std::make_shared<const Laws>(*laws);
        what = changed.empty() ? "Laws" : "Tactics and laws";
        changed = changed.empty() ? session.lawsWatcher->Path() : changed + " and " + session.lawsWatcher->Path();
    }
    if (!changed.empty())
    {
        const std::string line = what + " reloaded from " + changed + ": new kick-off";
        GiveReload(session, session.timeline.Players(), std::move(tactics), line);
        if (!warned.empty())
        {
            session.status.Say(line + warned);
        }
    }
}

} // namespace tryzone
