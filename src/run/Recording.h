#pragma once

#include "behaviour/PlayerOrder.h"
#include "files/Expected.h"
#include "settings/PlayerSettings.h"
#include "tactics/Tactic.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace sf
{
class Event;
}

namespace tryzone
{

// What the match is fed besides its seed and players. An input stamped with frame F is given after step F - 1 and
// before step F; the first step is frame 1.
enum class InputKind : std::uint8_t
{
    Debug,     // Numpad5
    Pick,      // right button, debug mode
    Steer,     // left button, debug mode
    Receiver,  // middle button, debug mode
    Hand,      // E, debug mode
    FrameTime, // step F lasted frameTime rather than the capped frame time
    Reload,    // the match restarts from kick-off, same seed, with these players
    Order,     // an outside brain's order to the player in slot
};

struct MatchInput
{
    std::int64_t frame = 0;
    InputKind kind = InputKind::Debug;
    int x = 0;
    int y = 0;
    float frameTime = 0.f;
    std::vector<PlayerSettings> players; // Reload only
    int slot = 0;                        // Order only
    PlayerOrder order;                   // Order only
    MatchTactics tactics;                // Reload only
};

inline constexpr const char* kRecordingFormat = "tryzone-recording";
inline constexpr int kRecordingVersion = 1;
// What a recording may hold: 100000 simulated minutes of frames (tryzone-sim's --minutes limit), and 64 MiB, an
// hour of the densest input (clicks every frame) several times over.
inline constexpr std::int64_t kMaxRecordingFrames = 718562874;
// The highest match number tryzone-sim gives.
inline constexpr int kMaxMatch = 1000000;
inline constexpr std::size_t kMaxRecordingBytes = std::size_t{64} << 20;

// An outside brain's order to the player in slot, given before frame.
[[nodiscard]] MatchInput OrderInput(std::int64_t frame, int slot, const PlayerOrder& order);

// The input a window event stands for, stamped with the frame it is fed before; none for an event the match ignores
// (clicks and E only count in debug mode).
[[nodiscard]] std::optional<MatchInput> InputFromEvent(const sf::Event& event, bool debugMode, std::int64_t frame);
// The event the match is fed for a recorded input (Debug, Pick, Steer, Receiver and Hand only).
[[nodiscard]] sf::Event EventFromInput(const MatchInput& input);

// One line of a recording each, ending with a line feed.
// numbering.matchFrames, when set, is the length of each match (tryzone --minutes); a recording without it has
// none. numbering.firstMatch numbers the first match in the event log (tryzone --match); written when it is not 1.
struct MatchNumbering
{
    std::int64_t matchFrames = 0;
    int firstMatch = 1;
};
// Tactics other than the default are written whole, so that a recording needs no other file; brains, when not null,
// are the outside brains that played (as a run keeps them), so that a replay can play on with them.
[[nodiscard]] std::string HeaderLine(std::uint32_t seed, const std::vector<PlayerSettings>& players,
                                     const MatchTactics& tactics = {}, MatchNumbering numbering = {},
                                     const nlohmann::ordered_json& brains = nullptr);
[[nodiscard]] std::string InputLine(const MatchInput& input);
[[nodiscard]] std::string EndLine(std::int64_t frame);

struct Recording
{
    std::uint32_t seed = 0;
    std::vector<PlayerSettings> players;
    MatchTactics tactics;
    MatchNumbering numbering; // frames from each kick-off to full time (0: no set length), the first match's number
    nlohmann::ordered_json brains;  // the brains that played, as a run keeps them; null for none (and older files)
    std::vector<MatchInput> inputs; // frames never decrease
    std::int64_t lastFrame = 0;     // the end line's, or the last input's when the recording was cut short
    std::string warning;            // a cut last line, which was left out
};

// The recording in the file, or one line saying what is wrong with it and where. A FIFO or a device is refused
// without being opened, so nothing blocks; blank lines after the last one are allowed.
[[nodiscard]] Expected<Recording> ReadRecording(const std::string& path);

} // namespace tryzone
