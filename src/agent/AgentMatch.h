#pragma once

#include "core/FramePicture.h"
#include "shape/MatchShape.h"
#include "agent/AgentAction.h"
#include "agent/BrainDriver.h"
#include "core/World.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace sf
{
class RenderTarget;
}

namespace tryzone
{

// The whole state of a match for those who want more than an observation; pitch frame, slots 0 to 9.
struct RawState
{
    std::array<float, 20> positions{};  // centre x, y of each slot
    std::array<float, 20> velocities{}; // pixels per second
    std::array<std::int32_t, kPlayerSlots> states{};
    std::array<std::int32_t, 30> orders{}; // code, x, y in the pitch frame
    std::array<float, 2> ball{};
    std::int32_t holder = 0;
    std::array<std::int32_t, 2> tries{}; // blue, red
    std::int64_t frame = 0;
};

// One match played in a world of its own, some of its players controlled from outside; every call makes its world
// current on the calling thread, so that matches on different threads never touch. The event lines and, when kept,
// the recording of the match (its outside orders as input lines) are gathered until it ends.
class AgentMatch
{
public:
    // tactics: null ones for the built-in wiring, null laws for the game's own; brains: on uncontrolled slots.
    AgentMatch(const std::vector<PlayerSettings>& players, const std::vector<int>& controlled,
               std::int64_t framesPerMatch, bool keepEvents, bool keepRecording, const MatchTactics& tactics = {},
               const BrainPlan& brains = {});
    AgentMatch(const AgentMatch&) = delete;
    AgentMatch& operator=(const AgentMatch&) = delete;
    ~AgentMatch();

    // A fresh match with the seed, numbered as the simulator numbers its matches in the event log.
    void Start(std::uint32_t seed, int number);
    // One valid action per controlled player, in the order of `controlled`; a changed order is recorded.
    void Act(const AgentAction* actions);
    // Plays up to `frames` frames, never past the end of the match.
    void Advance(std::int64_t frames);
    // kObservationSize floats per controlled player, in the order of `controlled`.
    void Observe(float* out) const;
    [[nodiscard]] RawState Raw() const;

    // Asks the processor to fetch the memory the match's next frames read, while another match is stepped: a batch
    // of hundreds of matches does not fit the caches, and its frames chase pointers one miss at a time.
    // The scene, entities and players, two matches ahead; then the state graphs' current states, whose addresses
    // are read from the players, one match ahead.
    void Prefetch() const;
    void PrefetchGraphs() const;

    // Switches the match's overlay on, with the font from fontDirectory, so that its frames can be drawn: each
    // Advance then keeps the requests of its last frame. Drawing changes nothing in the match.
    void Show(const std::string& fontDirectory);
    // Draws the match's last frame into the target, as the game's window shows it.
    void Draw(sf::RenderTarget& target);
    // The match's last frame as the game's window would show it, as data.
    void Picture(FramePicture& picture);

    [[nodiscard]] bool Over() const { return runner.Frame() >= framesPerMatch; }
    [[nodiscard]] std::array<std::int32_t, 2> Tries() const;
    [[nodiscard]] int Number() const { return number; }
    // The event lines and the recording so far; the recording ends with its end line once the match is over.
    [[nodiscard]] std::string Events() const { return events.str(); }
    [[nodiscard]] std::string Recording() const;

private:
    std::vector<PlayerSettings> players;
    std::vector<int> controlled;
    std::int64_t framesPerMatch;
    bool keepEvents;
    bool keepRecording;
    MatchTactics tactics;
    BrainPlan brains; // the uncontrolled slots outside brains play
    World world;
    MatchRunner runner;
    std::optional<MatchRecorder> recorder;
    std::optional<BrainDriver> driver;
    std::ostringstream events;
    std::string recording;
    int number = 0;
    bool shown = false;
    bool unseenFrame = false; // shown since the last step: the overlay holds nothing of this frame yet
    std::vector<const void*> hot; // the cache lines of the host, scene, entities and players
};

} // namespace tryzone
