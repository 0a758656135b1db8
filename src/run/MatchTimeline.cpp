#include "run/MatchTimeline.h"

#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "match/RugbyScene.h"
#include "run/RecordingFile.h"

#include <SFML/Window/Event.hpp>
#include <algorithm>
#include <fstream>
#include <iterator>

MatchTimeline::MatchTimeline(std::uint32_t matchSeed, std::vector<PlayerSettings> players, std::ostream* eventStream)
    : seed(matchSeed), firstPlayers(std::move(players)), events(eventStream)
{
    Restart(firstPlayers, 0, 1);
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
    file->WriteHeader(HeaderLine(seed, firstPlayers));
    for (const MatchInput& input : history)
    {
        file->WriteInput(InputLine(input));
    }
}

void MatchTimeline::Restart(const std::vector<PlayerSettings>& players, std::int64_t atFrame, int match)
{
    if (recorder && match > recorder->result.match)
    {
        finished.push_back(recorder->result);
    }
    recorder.emplace(match, silent ? nullptr : events);
    recorder->result.seed = seed;
    runner.Start(players, seed, &*recorder);
    kickOff = atFrame;
    clock = 0.0;
}

void MatchTimeline::Apply(const MatchInput& input)
{
    if (input.kind == InputKind::Reload)
    {
        Restart(input.players, input.frame - 1, recorder->result.match + 1);
    }
    else if (input.kind != InputKind::FrameTime)
    {
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

void MatchTimeline::Give(MatchInput input)
{
    input.frame = frame + 1;
    // New input after a jump back: the future the history held is gone.
    history.erase(history.begin() + static_cast<std::ptrdiff_t>(next), history.end());
    if (file != nullptr)
    {
        file->KeepInputs(next);
    }
    knownEnd = frame;
    while (!checkpoints.empty() && checkpoints.back().frame > frame)
    {
        checkpoints.pop_back();
    }
    Keep(std::move(input));
    Apply(history.back());
}

void MatchTimeline::Advance(float frameTime)
{
    const std::int64_t step = frame + 1;
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
    recorder->SetFrame(runner.Frame() + 1);
    runner.Step(length);
    ++recorder->result.teams[SideOf(runner.Scene(), *runner.Scene().ballCarrier)].possessionFrames;
    recorder->result.frames = runner.Frame();
    clock += static_cast<double>(length);
    frame = step;
    knownEnd = std::max(knownEnd, frame);
    if (checkpointSpacing > 0 && (frame - kickOff - 1) % checkpointSpacing == 0)
    {
        KeepCheckpoint();
    }
}

void MatchTimeline::KeepCheckpoint()
{
    // Playing on after a jump back passes checkpoints already kept.
    if (checkpoints.empty() || checkpoints.back().frame < frame)
    {
        checkpoints.push_back({frame, runner.Capture(), recorder->result, finished, next, kickOff, clock});
    }
}

void MatchTimeline::Resume(const Checkpoint& checkpoint)
{
    runner.Restore(checkpoint.match);
    recorder->result = checkpoint.result;
    finished = checkpoint.finished;
    next = checkpoint.next;
    kickOff = checkpoint.kickOff;
    clock = checkpoint.clock;
    frame = checkpoint.frame;
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
    if (target == frame)
    {
        return 0;
    }
    silent = true;
    recorder->SetEvents(nullptr);
    // Strictly before the target: the shown frame's drawing comes from its own step.
    const auto after =
        std::upper_bound(checkpoints.begin(), checkpoints.end(), target - 1,
                         [](std::int64_t at, const Checkpoint& checkpoint) { return at < checkpoint.frame; });
    if (after != checkpoints.begin() && (target < frame || std::prev(after)->frame > frame))
    {
        Resume(*std::prev(after));
    }
    else if (target < frame)
    {
        // From the latest kick-off at or before the target: the first one, or a reload's.
        std::size_t start = 0;
        int match = 1;
        for (std::size_t i = 0; i < history.size() && history[i].frame <= target; ++i)
        {
            if (history[i].kind == InputKind::Reload)
            {
                start = i + 1;
                ++match;
            }
        }
        finished.resize(static_cast<std::size_t>(match - 1));
        recorder.reset();
        Restart(start == 0 ? firstPlayers : history[start - 1].players, start == 0 ? 0 : history[start - 1].frame - 1,
                match);
        frame = kickOff;
        next = start;
    }
    const std::int64_t from = frame;
    const bool drawing = DebugOverlay::Enabled();
    DebugOverlay::SetEnabled(false);
    while (frame < target - 1)
    {
        Advance(kMaxFrameTime);
    }
    DebugOverlay::SetEnabled(drawing);
    silent = false;
    recorder->SetEvents(events);
    if (frame < target)
    {
        Advance(kMaxFrameTime);
    }
    return target - from;
}

bool MatchTimeline::Save(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    out << HeaderLine(seed, firstPlayers);
    for (const MatchInput& input : history)
    {
        if (input.frame <= frame)
        {
            out << InputLine(input);
        }
    }
    out << EndLine(frame);
    out.close();
    return static_cast<bool>(out);
}

void MatchTimeline::Finish()
{
    if (file == nullptr)
    {
        return;
    }
    // Inputs past the last frame shown (a future left by a jump back, or input given after the last step) are
    // not part of the match that was seen.
    std::size_t kept = 0;
    while (kept < history.size() && history[kept].frame <= frame)
    {
        ++kept;
    }
    file->KeepInputs(kept);
    file->WriteEnd(EndLine(frame));
    file = nullptr;
}

std::vector<MatchResult> MatchTimeline::Results() const
{
    std::vector<MatchResult> results = finished;
    results.push_back(recorder->result);
    return results;
}

std::vector<MatchResult> ReplayHeadless(const Recording& recording, std::ostream* events)
{
    MatchTimeline timeline(recording.seed, recording.players, events);
    timeline.SetCheckpointSpacing(0);
    timeline.Preload(recording.inputs, recording.lastFrame);
    while (timeline.Frame() < recording.lastFrame)
    {
        timeline.Advance(kMaxFrameTime);
    }
    return timeline.Results();
}
