#include "window/PlaybackSession.h"

#include "files/LogFile.h"
#include "run/MatchTimeline.h"
#include "run/RecordingFile.h"
#include "laws/Laws.h"
#include "tactics/TacticsFile.h"
#include "window/SettingsPanel.h"

#include <iostream>

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
        GiveReload(session, session.timeline.Players(), std::move(tactics),
                   what + " reloaded from " + changed + ": new kick-off");
    }
}

} // namespace tryzone
