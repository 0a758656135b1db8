#include "run/MatchTimeline.h"

#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "files/LogFile.h"
#include "match/RugbyScene.h"
#include "run/RecordingFile.h"

#include <SFML/Window/Event.hpp>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>

namespace tryzone
{

namespace
{
// Silences the match's console lines while a frame already shown is played again.
class ConsoleMute
{
public:
    explicit ConsoleMute(bool mute) : host(GameHost::Instance()), saved(host.console)
    {
        host.console = mute ? nullptr : saved;
    }
    ~ConsoleMute() { host.console = saved; }
    ConsoleMute(const ConsoleMute&) = delete;
    ConsoleMute& operator=(const ConsoleMute&) = delete;

private:
    GameHost& host;
    std::ostream* saved;
};
} // namespace

MatchTimeline::MatchTimeline(std::uint32_t matchSeed, std::vector<PlayerSettings> players, std::ostream* eventStream,
                             MatchTactics matchTactics, MatchNumbering matchNumbering)
    : seed(matchSeed), numbering(matchNumbering), firstPlayers(std::move(players)),
      firstTactics(std::move(matchTactics)), events(eventStream)
{
    Restart(firstPlayers, firstTactics, 0, numbering.firstMatch);
}

void MatchTimeline::Preload(std::vector<MatchInput> inputs, std::int64_t lastFrame)
{
    history = std::move(inputs);
    knownEnd = lastFrame;
    checkpoints.clear();
}

void MatchTimeline::RecordTo(RecordingFile* recordingFile)
{
    file = recordingFile;
    file->WriteHeader(HeaderLine(seed, firstPlayers, firstTactics, numbering, brainsKept));
    for (const MatchInput& input : history)
    {
        file->WriteInput(InputLine(input));
    }
}

void MatchTimeline::CutEventsIn(LogFile* log)
{
    eventLog = log;
    // The first kick-off's lines are never taken back.
    lineStarts.assign(1, {0, log->Length()});
}

void MatchTimeline::Restart(const std::vector<PlayerSettings>& players, const MatchTactics& matchTactics,
                            std::int64_t atFrame, int match)
{
    if (recorder)
    {
        if (match > recorder->result.match)
        {
            finished.push_back(recorder->result);
        }
        runner.Unwatch(*recorder);
    }
    recorder.emplace(match, quiet ? nullptr : events);
    recorder->result.seed = seed;
    runner.Watch(*recorder);
    tactics = matchTactics;
    runner.Start(players, seed, &*recorder, tactics);
    kickOff = atFrame;
    clock = 0.0;
}

void MatchTimeline::Apply(const MatchInput& input)
{
    if (input.kind == InputKind::Reload)
    {
        Restart(input.players, input.tactics, input.frame - 1, recorder->result.match + 1);
    }
    else if (input.kind == InputKind::Order)
    {
        runner.Order(input.slot, input.order);
    }
    else if (input.kind != InputKind::FrameTime)
    {
        // What the input causes (a hand-off) is logged with the frame it comes before.
        runner.Feed(EventFromInput(input));
    }
}

void MatchTimeline::Keep(MatchInput input)
{
    if (file != nullptr)
    {
        file->WriteInput(InputLine(input));
    }
    history.push_back(std::move(input));
    ++next;
}

void MatchTimeline::BeginStepLines(std::int64_t step)
{
    quiet = step <= logged;
    recorder->SetEvents(quiet ? nullptr : events);
    if (!quiet && eventLog != nullptr && (lineStarts.empty() || lineStarts.back().second != eventLog->Length()))
    {
        lineStarts.emplace_back(step, eventLog->Length());
    }
}

void MatchTimeline::CutLinesAfterFrame()
{
    if (logged <= Frame())
    {
        return;
    }
    // The lines of the frames after this one described a future that is now gone. The next frame begins where
    // the last listed frame up to it does.
    const auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), Frame() + 1,
                                        [](std::int64_t at, const auto& start) { return at < start.first; });
    if (after != lineStarts.begin() && eventLog != nullptr)
    {
        eventLog->CutTo(std::prev(after)->second);
    }
    lineStarts.erase(after, lineStarts.end());
    logged = Frame();
}

bool MatchTimeline::Give(MatchInput input)
{
    input.frame = Frame() + 1;
    const bool droppedReload = std::any_of(history.begin() + static_cast<std::ptrdiff_t>(next), history.end(),
                                           [](const MatchInput& old) { return old.kind == InputKind::Reload; });
    CutLinesAfterFrame();
    BeginStepLines(Frame() + 1);
    // New input after a jump back: the future the history held is gone.
    history.erase(history.begin() + static_cast<std::ptrdiff_t>(next), history.end());
    if (file != nullptr)
    {
        file->KeepInputs(next);
    }
    knownEnd = Frame();
    while (!checkpoints.empty() && checkpoints.back().frame > Frame())
    {
        checkpoints.pop_back();
    }
    Keep(std::move(input));
    Apply(history.back());
    return droppedReload;
}

void MatchTimeline::Redraw()
{
    const MatchSnapshot still = runner.Capture();
    const MatchResult result = recorder->result;
    recorder->SetEvents(nullptr);
    {
        const ConsoleMute mute(true);
        DebugOverlay::Instance().Clear();
        runner.Step(kMaxFrameTime);
    }
    runner.Restore(still);
    recorder->result = result;
    recorder->SetEvents(quiet ? nullptr : events);
}

const std::vector<PlayerSettings>& MatchTimeline::Players() const
{
    for (std::size_t i = next; i > 0; --i)
    {
        if (history[i - 1].kind == InputKind::Reload)
        {
            return history[i - 1].players;
        }
    }
    return firstPlayers;
}

std::optional<std::size_t> MatchTimeline::EarlierStart() const
{
    bool current = false;
    for (std::size_t i = next; i > 0; --i)
    {
        if (history[i - 1].kind == InputKind::Reload)
        {
            if (current)
            {
                return i;
            }
            current = true;
        }
    }
    return current ? std::optional<std::size_t>(0) : std::nullopt;
}

const std::vector<PlayerSettings>* MatchTimeline::PlayersBefore() const
{
    const auto at = EarlierStart();
    return !at ? nullptr : *at == 0 ? &firstPlayers : &history[*at - 1].players;
}

const MatchTactics* MatchTimeline::TacticsBefore() const
{
    const auto at = EarlierStart();
    return !at ? nullptr : *at == 0 ? &firstTactics : &history[*at - 1].tactics;
}

void MatchTimeline::Advance(float frameTime)
{
    const std::int64_t step = Frame() + 1;
    BeginStepLines(step);
    const ConsoleMute mute(quiet);
    float length = kMaxFrameTime;
    bool timed = false;
    for (; next < history.size() && history[next].frame == step; ++next)
    {
        if (history[next].kind == InputKind::FrameTime)
        {
            length = history[next].frameTime;
            timed = true;
        }
        Apply(history[next]);
    }
    if (step > knownEnd || step > asked)
    {
        Decide(step, step > knownEnd);
    }
    if (step > knownEnd && !timed && frameTime != kMaxFrameTime)
    {
        MatchInput input;
        input.frame = step;
        input.kind = InputKind::FrameTime;
        input.frameTime = frameTime;
        Keep(std::move(input));
        length = frameTime;
    }

    // Only the last step's drawing requests are shown, however many steps a drawn frame takes.
    DebugOverlay::Instance().Clear();
    runner.Step(length);
    clock += static_cast<double>(length);
    knownEnd = std::max(knownEnd, Frame());
    logged = std::max(logged, Frame());
    if (checkpointSpacing > 0 && (runner.Frame() - 1) % checkpointSpacing == 0)
    {
        KeepCheckpoint();
    }
}

void MatchTimeline::KeepCheckpoint()
{
    // Playing on after a jump back passes checkpoints already kept.
    if (checkpoints.empty() || checkpoints.back().frame < Frame())
    {
        checkpoints.push_back({Frame(), runner.Capture(), recorder->result, finished, next, kickOff, clock, tactics});
    }
}

void MatchTimeline::Resume(const Checkpoint& checkpoint)
{
    // A snapshot fits only players wired by the same tactics: the match of another reload is set up anew first.
    if (checkpoint.tactics != tactics)
    {
        tactics = checkpoint.tactics;
        runner.Start(firstPlayers, seed, &*recorder, tactics);
    }
    runner.Restore(checkpoint.match);
    recorder->result = checkpoint.result;
    finished = checkpoint.finished;
    next = checkpoint.next;
    kickOff = checkpoint.kickOff;
    clock = checkpoint.clock;
}

std::vector<std::int64_t> MatchTimeline::CheckpointFrames() const
{
    std::vector<std::int64_t> frames;
    for (const Checkpoint& checkpoint : checkpoints)
    {
        frames.push_back(checkpoint.frame);
    }
    return frames;
}

std::int64_t MatchTimeline::JumpTo(std::int64_t target)
{
    target = std::max<std::int64_t>(target, 1);
    if (target == Frame())
    {
        return 0;
    }
    // A kick-off the jump restarts from was logged when it was first played.
    quiet = true;
    recorder->SetEvents(nullptr);
    // Strictly before the target: the shown frame's drawing comes from its own step.
    const auto after =
        std::upper_bound(checkpoints.begin(), checkpoints.end(), target - 1,
                         [](std::int64_t at, const Checkpoint& checkpoint) { return at < checkpoint.frame; });
    if (after != checkpoints.begin() && (target < Frame() || std::prev(after)->frame > Frame()))
    {
        Resume(*std::prev(after));
    }
    else if (target < Frame())
    {
        // From the latest kick-off at or before the target: the first one, or a reload's.
        std::size_t start = 0;
        int match = numbering.firstMatch;
        for (std::size_t i = 0; i < history.size() && history[i].frame <= target; ++i)
        {
            if (history[i].kind == InputKind::Reload)
            {
                start = i + 1;
                ++match;
            }
        }
        finished.resize(static_cast<std::size_t>(match - numbering.firstMatch));
        runner.Unwatch(*recorder);
        recorder.reset();
        Restart(start == 0 ? firstPlayers : history[start - 1].players,
                start == 0 ? firstTactics : history[start - 1].tactics, start == 0 ? 0 : history[start - 1].frame - 1,
                match);
        next = start;
    }
    const std::int64_t from = Frame();
    const bool drawing = DebugOverlay::Enabled();
    DebugOverlay::SetEnabled(false);
    while (Frame() < target - 1)
    {
        Advance(kMaxFrameTime);
    }
    DebugOverlay::SetEnabled(drawing);
    if (Frame() < target)
    {
        Advance(kMaxFrameTime);
    }
    return target - from;
}

void MatchTimeline::Finish()
{
    // The log, like the recording, ends with the frame shown: what was played past it before a jump back is gone.
    CutLinesAfterFrame();
    if (eventLog != nullptr)
    {
        eventLog->Stream().flush();
    }
    if (file == nullptr)
    {
        return;
    }
    // Inputs past the last frame shown (a future left by a jump back, or input given after the last step) are
    // not part of the match that was seen.
    std::size_t kept = 0;
    while (kept < history.size() && history[kept].frame <= Frame())
    {
        ++kept;
    }
    file->KeepInputs(kept);
    file->WriteEnd(EndLine(Frame()));
    file = nullptr;
}

std::vector<MatchResult> MatchTimeline::Results() const
{
    std::vector<MatchResult> results = finished;
    results.push_back(recorder->result);
    return results;
}

} // namespace tryzone
