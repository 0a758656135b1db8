#pragma once

#include "match/MatchObserver.h"
#include "run/FrameObserver.h"
#include "run/MatchRules.h"
#include "run/TacticTelemetry.h"

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace tryzone
{

class Player;
class RugbyScene;

struct TeamRecord
{
    int tries = 0;
    std::int64_t possessionFrames = 0;
    int passAttempts = 0;
    int passes = 0;
    int tackleAttempts = 0;
    int tackles = 0;
    int forwardPasses = 0; // refused by the laws: counted for the passer's side
    int restarts = 0;      // the ball carried over his own try line: counted for the carrier's side
    TacticTelemetry tactic; // filled at the end of a batch match; the window leaves it empty

    bool operator==(const TeamRecord&) const = default;
};

// Where a team's count shows in the outputs: its key in a part, its group and name in the report (no group: the
// report shows it its own way, tries as the score and possession as a share), and its row in the summary, with the
// share it is of the count before it when rated.
struct CountField
{
    const char* key;
    const char* group;
    const char* name;
    const char* label;
    bool rated;
    // Only a law other than the game's own makes it non-zero: the outputs show it when it is not zero, so that a
    // run under the game's laws reads as before.
    bool law = false;
};

// Calls visit(field, count...) with each count of every record given, in the order all the outputs list them: the
// worker's bytes, the parts, the report, the totals and the summary. A new count is one line here.
template <class Visit, class... Records> void ForEachCount(Visit&& visit, Records&... records)
{
    visit(CountField{"tries", nullptr, nullptr, nullptr, false}, records.tries...);
    visit(CountField{"possession_frames", nullptr, nullptr, nullptr, false}, records.possessionFrames...);
    visit(CountField{"pass_attempts", "passes", "attempted", "Passes attempted", false}, records.passAttempts...);
    visit(CountField{"passes", "passes", "completed", "Passes completed", true}, records.passes...);
    visit(CountField{"tackle_attempts", "tackles", "attempted", "Tackles attempted", false}, records.tackleAttempts...);
    visit(CountField{"tackles", "tackles", "successful", "Tackles successful", true}, records.tackles...);
    visit(CountField{"forward_passes", "laws", "forward_passes", "Forward passes", false, true},
          records.forwardPasses...);
    visit(CountField{"restarts", "laws", "restarts", "Own-line restarts", false, true}, records.restarts...);
}

// What one match came to; teams by slot side, 0 blue and 1 red.
struct MatchResult
{
    int match = 0; // from 1
    std::uint32_t seed = 0;
    std::int64_t frames = 0; // played: fewer than planned when a rule was broken
    std::array<TeamRecord, 2> teams;
    std::optional<RuleBreach> breach; // with the rules checked, the first one broken
};

// The side a player counts for, 0 blue or 1 red: his slot's (0 to 4 the left-hand team, 5 to 9 the right-hand one),
// as in every kick-off, pass, tackle and score, whatever his settings' Team says.
[[nodiscard]] int SideOf(const RugbyScene& scene, const Player& player);

// Counts a match's events as they happen and, when given a stream, writes each as one line of JSON. Watching the
// runner's frames, it stamps each line with its frame (0 for the first kick-off) and counts the frames played and
// which side held the ball at the end of each: the one count of possession the simulator and the window share.
// FrameObserver comes first: its calls, every frame, need no this-adjusting thunk. GCC 12.2 at -O3 -flto inlines a
// speculatively devirtualised thunk of BeforeFrame with its arguments shifted by one, which stamped the game's events
// with the runner's address; tools/gcc-thunk reproduces it in 60 lines with no undefined behaviour.
class MatchRecorder : public FrameObserver, public MatchObserver
{
public:
    MatchRecorder(int match, std::ostream* events);

    void BeforeFrame(MatchRunner& /*runner*/, std::int64_t playing) override { frame = playing; }
    bool AfterFrame(const RugbyScene& scene, std::int64_t played) override;
    void BeforeInput(std::int64_t next) override { frame = next; }
    // Where the event lines go from now on; null for none (a jump re-plays frames already shown).
    void SetEvents(std::ostream* stream) { events = stream; }

    void OnKickOff(const Player& receiver) override;
    void OnPassAttempt(const Player& passer, float roll, float threshold, bool success) override;
    void OnPass(const Player& from, const Player& to) override;
    void OnTackleAttempt(const Player& tackler, const Player& holder, float roll, float threshold,
                         bool success) override;
    void OnTackle(const Player& tackler, const Player& from) override;
    void OnTry(std::uint8_t scoringTeam) override;
    void OnHand(const Player& from, const Player& to) override;
    void OnForwardPass(const Player& from, const Player& to) override;
    void OnRestart(const Player& carrier) override;

    MatchResult result;

private:
    TeamRecord& Team(const Player& player);
    void Write(const char* kind, const nlohmann::ordered_json& details);

    std::ostream* events;
    std::int64_t frame = 0;
};

} // namespace tryzone
