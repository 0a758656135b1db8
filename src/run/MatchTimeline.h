#pragma once

#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "run/OrderSource.h"
#include "run/Recording.h"

#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

class LogFile;
class RecordingFile;

// Ten seconds of match time.
inline constexpr std::int64_t kJumpFrames = 1198;
// How often a match keeps a checkpoint to jump from: about ten seconds, some 10 KB each.
inline constexpr std::int64_t kCheckpointFrames = 1200;

// A match and every input it was ever given, in one queue of frame-stamped inputs: live input from the window, a
// recording and a jump's re-play all feed the match from that queue, so what is played is what is kept. Frames count
// from the first kick-off and keep counting through settings reloads; the first step is frame 1. The event log and
// the match's console lines ("joueur non valide") follow the kept timeline: a frame logs the first time it is
// played, never again when a jump re-plays it, and new input that replaces the future takes its lines back.
class MatchTimeline
{
public:
    // Kicks off at frame 0. The events stream, when given, receives the match's event lines as they are played.
    // Each match lasts numbering.matchFrames from its kick-off (0: no set length), and the first is numbered
    // numbering.firstMatch in the log; the recordings carry both.
    MatchTimeline(std::uint32_t seed, std::vector<PlayerSettings> players, std::ostream* events,
                  MatchTactics tactics = {}, MatchNumbering numbering = {});

    // The current match's last frame, when matches have a set length; -1 otherwise.
    [[nodiscard]] std::int64_t FullTimeFrame() const
    {
        return numbering.matchFrames > 0 ? kickOff + numbering.matchFrames : -1;
    }
    // A recording's inputs, as the known future of the match.
    void Preload(std::vector<MatchInput> inputs, std::int64_t lastFrame);
    // From now on the history is written to the file as it grows (and cut back when it is cut).
    void RecordTo(RecordingFile* file);
    // The events stream is this log's: lines of a replaced future are cut from it where it can be cut.
    void CutEventsIn(LogFile* log);

    // Live input, stamped with the next frame: it replaces whatever the history held from that frame on, is kept,
    // and the match is fed the kept copy. True when the future it replaced held a settings reload.
    bool Give(MatchInput input);
    // Draws the match as it stands again, as a paused window shows input given since its last step: one step is
    // played for its drawing and taken back, so nothing else changes.
    void Redraw();
    // One step. A frame the history already holds keeps its recorded length; a new one lasts frameTime, and a
    // length other than the capped frame time is kept as an input.
    void Advance(float frameTime);
    // Shows the given frame by re-playing from the latest checkpoint before it (from its kick-off when there is
    // none), or by playing on when that is nearer; nothing but the last step is drawn. Returns the frames played.
    std::int64_t JumpTo(std::int64_t target);
    // Orders from outside the match (brains) for each frame played for the first time, kept as inputs: a jump's
    // re-play and a replay are fed the kept orders, and the source is never asked twice for a frame. Null for none;
    // not owned.
    // description is what the recording's header says of the source (null: nothing). A timeline that replays a
    // recording asks the source for its frames too, keeping none of its orders, so that a source with a state of its
    // own (a random brain's engine) plays on past the recording as it would have played the whole match.
    void DecideWith(OrderSource* source, nlohmann::ordered_json description = nullptr)
    {
        orders = source;
        brainsKept = std::move(description);
    }
    // Frames between checkpoints, from each kick-off's first frame; 0 keeps none (a headless replay never jumps).
    void SetCheckpointSpacing(std::int64_t frames) { checkpointSpacing = frames; }
    // Frames with a checkpoint, oldest first.
    [[nodiscard]] std::vector<std::int64_t> CheckpointFrames() const;
    // The first frame of the current match: Home shows it.
    [[nodiscard]] std::int64_t KickOffFrame() const { return kickOff + 1; }

    // A recording of the match up to the current frame, in a new file: a file already at path is never replaced
    // (EEXIST). 0, or the errno of the failure; a file that could not be written whole is removed.
    [[nodiscard]] int Save(const std::string& path) const;
    // Ends the recording being written and the event log at the current frame.
    void Finish();

    // The runner counts the current match's frames; the timeline's go on from the frame it kicked off after.
    [[nodiscard]] std::int64_t Frame() const { return kickOff + runner.Frame(); }
    [[nodiscard]] std::int64_t KnownEnd() const { return knownEnd; }
    [[nodiscard]] std::uint32_t Seed() const { return seed; }
    [[nodiscard]] const std::vector<MatchInput>& History() const { return history; }
    // The tactics the current match is played with.
    [[nodiscard]] const MatchTactics& Tactics() const { return tactics; }
    // The players of the current match: the first ones, or the last reload's.
    [[nodiscard]] const std::vector<PlayerSettings>& Players() const;
    // The players of the match before the current one; none before the first reload.
    [[nodiscard]] const std::vector<PlayerSettings>* PlayersBefore() const;
    [[nodiscard]] const MatchTactics* TacticsBefore() const;
    // The frame the current players kicked off after: 0, or the last reload's frame before it.
    [[nodiscard]] std::int64_t PlayersSince() const { return kickOff; }
    [[nodiscard]] const RugbyScene& Scene() const { return runner.Scene(); }
    // The current match's counts; reloads start a new match.
    [[nodiscard]] const MatchResult& Result() const { return recorder->result; }
    // Simulated seconds since the current match's kick-off.
    [[nodiscard]] double Clock() const { return clock; }
    // The matches ended by a reload, then the current one.
    [[nodiscard]] std::vector<MatchResult> Results() const;

private:
    // Where the match before the current one started: 0 for the first match, the history index after its reload;
    // none while the first match is played.
    [[nodiscard]] std::optional<std::size_t> EarlierStart() const;
    // The timeline and its match at the end of a frame. The inputs before it never change afterwards, except when
    // new input replaces the future, which drops the checkpoints in that future.
    struct Checkpoint
    {
        std::int64_t frame = 0;
        MatchSnapshot match;
        MatchResult result;
        std::vector<MatchResult> finished;
        std::size_t next = 0;
        std::int64_t kickOff = 0;
        double clock = 0.0;
        MatchTactics tactics;
    };

    void Restart(const std::vector<PlayerSettings>& players, const MatchTactics& matchTactics, std::int64_t atFrame,
                 int match);
    void Apply(const MatchInput& input);
    void Keep(MatchInput input);
    // The order source's orders for a new frame, kept and fed: only those that change a player's order. For a frame
    // the history already holds (keep false), the source is only asked, once.
    void Decide(std::int64_t step, bool keep);
    void KeepCheckpoint();
    void Resume(const Checkpoint& checkpoint);
    // Before the given step's input and play: whether its lines are new (and where they start in the log).
    void BeginStepLines(std::int64_t step);
    // Takes back the event lines of frames after the current one, played before a jump back.
    void CutLinesAfterFrame();

    std::uint32_t seed;
    MatchNumbering numbering;
    std::vector<PlayerSettings> firstPlayers;
    MatchTactics firstTactics;
    MatchTactics tactics;
    std::ostream* events;
    LogFile* eventLog = nullptr;
    bool quiet = false;      // the step being played was logged before
    std::int64_t logged = 0; // the last frame whose lines were written
    // Where each frame's lines begin in the log, for frames that follow lines (a frame begins where the last
    // listed frame before it does).
    std::vector<std::pair<std::int64_t, std::uint64_t>> lineStarts;
    MatchRunner runner;
    std::optional<MatchRecorder> recorder;
    std::vector<MatchResult> finished;
    std::vector<MatchInput> history;
    std::size_t next = 0; // the first input not yet fed
    std::int64_t knownEnd = 0;
    std::int64_t kickOff = 0;
    double clock = 0.0;
    RecordingFile* file = nullptr;
    OrderSource* orders = nullptr;
    nlohmann::ordered_json brainsKept;
    std::int64_t asked = 0; // the last frame the order source was asked for
    std::vector<SlotOrder> decided;
    std::vector<Checkpoint> checkpoints;
    std::int64_t checkpointSpacing = kCheckpointFrames;
};

// Plays a recording headless up to its last frame, or until stop (a signal's flag) is set between two frames; the
// matches it holds, with their counts.
[[nodiscard]] std::vector<MatchResult> ReplayHeadless(const Recording& recording, std::ostream* events,
                                                      const volatile std::sig_atomic_t* stop = nullptr);

} // namespace tryzone
