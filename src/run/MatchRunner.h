#pragma once

#include "shape/MatchShape.h"
#include "behaviour/PlayerOrder.h"
#include "core/GameHost.h"
#include "run/FrameObserver.h"
#include "run/MatchSnapshot.h"
#include "settings/PlayerSettings.h"
#include "tactics/Tactic.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sf
{
class Event;
}

namespace tryzone
{

class MatchObserver;

class RugbyScene;
class StepObserver;

// The ten players the game fields when it has no settings file.
[[nodiscard]] std::array<PlayerSettings, kPlayerSlots> DefaultPlayers();

// A match's length when none is given (tryzone-sim's default), in simulated minutes.
inline constexpr double kDefaultMinutes = 80.0;
// The longest match any program or the Python batch plays, in simulated minutes.
inline constexpr double kMaxMinutes = 100000.0;

// Frames that make up the given simulated minutes at the capped frame time, and back to hours.
[[nodiscard]] std::int64_t FramesFor(double minutes);
[[nodiscard]] double SimulatedHours(std::int64_t frames);

// The seed of one match of a run, drawn from the run's seed, so that each match can be replayed on its own.
[[nodiscard]] std::uint32_t MatchSeed(std::uint64_t runSeed, int match);

// Runs one match at a time in the host: starts it from ten players and a seed, steps it by a given frame time,
// feeds it input and lets an observer listen. The game's playback, the simulator, the benchmark and the tests all
// play matches through it, so a match is the same match wherever it is played. It alone counts frames, and tells
// its frame observers of each one. A world (core/World.h) holds one
// match: a runner that starts one ends the match of any other runner in the same world, which then no longer runs
// and leaves the host alone. Every call works on the calling thread's current world, the one it was started in.
class MatchRunner
{
public:
    MatchRunner() = default;
    MatchRunner(const MatchRunner&) = delete;
    MatchRunner& operator=(const MatchRunner&) = delete;
    ~MatchRunner();

    // A fresh match: the world emptied (a window the host has is kept, and drawn into), both random engines seeded
    // from the seed, the players set up in slot order, each wired by his team's tactic, the ball on a random red
    // player. The observer may be null.
    const RugbyScene& Start(const std::vector<PlayerSettings>& players, std::uint32_t seed, MatchObserver* observer,
                            const MatchTactics& tactics = {});
    // Input for the match, acted on at once, as the game acts on a polled event before the frame's update.
    void Feed(const sf::Event& event);
    // An outside brain's order to the player in slot (0 to 9), followed from the next step on.
    void Order(int slot, const PlayerOrder& order);
    // Advances the match by one frame of the given length, its observers told before and after; nothing once an
    // observer has ended the match.
    void Step(float frameTime);
    // The match as it stands between two frames.
    [[nodiscard]] MatchSnapshot Capture() const;
    // Continues from a snapshot, taken from this match or any other: the next step plays its frame Frame() + 1, even
    // after an observer ended the match.
    void Restore(const MatchSnapshot& snapshot);
    // Destroys the match; without a window the host returns to its first state.
    void End();

    // The observer hears of every frame from now on, after those already watching, through every Start, until it
    // is unwatched; not owned. Watching one twice changes nothing.
    void Watch(FrameObserver& observer);
    void Unwatch(FrameObserver& observer);
    // The host's step observer while this runner's match is played: set now, and again by every Start, whose fresh
    // world would otherwise drop it; null for none. Not owned.
    void WatchSteps(StepObserver* observer);

    [[nodiscard]] bool Running() const { return scene != nullptr; }
    // Only while Running(); as are Feed, Step, Capture and Restore.
    [[nodiscard]] const RugbyScene& Scene() const { return *scene; }
    // Frames played since the start, the one about to be played being Frame() + 1.
    [[nodiscard]] std::int64_t Frame() const { return frame; }
    // An observer ended the match after frame Frame().
    [[nodiscard]] bool Stopped() const { return stopped; }

private:
    RugbyScene* scene = nullptr;
    std::int64_t frame = 0;
    bool stopped = false;
    std::vector<FrameObserver*> observers;
    StepObserver* steps = nullptr;
};

} // namespace tryzone
