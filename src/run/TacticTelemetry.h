#pragma once

#include "files/Expected.h"

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <vector>

namespace tryzone
{

struct CompiledTactic;
class RugbyScene;

// How a team played its tactic: player-frames spent in each state and how often each link was taken, by state index
// and link order. Counts, never shares, so that matches, workers and shards add up exactly.
struct TacticTelemetry
{
    std::vector<std::int64_t> stateFrames;              // by state
    std::vector<std::vector<std::int64_t>> linkFirings; // by state, then link

    // Adds another's counts, growing to fit: the sum of two matches of one tactic.
    TacticTelemetry& operator+=(const TacticTelemetry& other);
    [[nodiscard]] bool Empty() const { return stateFrames.empty(); }
    // 0 beyond what was counted.
    [[nodiscard]] std::int64_t StateFrames(std::size_t state) const;
    [[nodiscard]] std::int64_t Firings(std::size_t state, std::size_t link) const;
    bool operator==(const TacticTelemetry&) const = default;
};

// The telemetry of the scene's two sides, blue then red, read from their players' state graphs.
[[nodiscard]] std::array<TacticTelemetry, 2> ReadTelemetry(const RugbyScene& scene);

// The counts as parts and workers carry them: {"state_frames": [...], "link_firings": [[...], ...]}.
[[nodiscard]] nlohmann::ordered_json TelemetryToJson(const TacticTelemetry& telemetry);
// Throws nlohmann::json::exception, or std::out_of_range for a negative count.
[[nodiscard]] TacticTelemetry TelemetryFromJson(const nlohmann::ordered_json& json);

// What a designer reads: each state's share of the player-time and each link's firings, by the tactic's names:
// {"player_frames": N, "states": [{"state", "share", "player_frames"}...], "links": [{"from", "link", "to",
// "firings"}...]}, states and links in the tactic's order.
[[nodiscard]] nlohmann::ordered_json TelemetryAsJson(const CompiledTactic& tactic, const TacticTelemetry& telemetry);
// The counts back from that form, checked against the tactic's states and links; why not, as one line.
[[nodiscard]] Expected<TacticTelemetry> TelemetryFromNamed(const CompiledTactic& tactic,
                                                           const nlohmann::ordered_json& named);

} // namespace tryzone
