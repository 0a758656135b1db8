#pragma once

#include "files/Expected.h"
#include "settings/PlayerSettings.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tryzone
{

// One settings key stepped over a range, or set to each of a list of values, on some of the players: what --vary and
// --who ask for.
struct Variation
{
    std::string key;
    double from = 0.0;        // of a list, its least value
    double to = 0.0;          // of a list, its greatest
    double step = 0.0;        // 0 for a list
    std::vector<double> list; // the values as given, for a list
    std::string who = "blue"; // blue, red, all or slot:N
    std::vector<int> slots;
    std::vector<float> values;
};

// The variation, or a one-line reason why it cannot be played.
[[nodiscard]] Expected<Variation> ParseVariation(const std::string& vary, const std::string& who);

// The players for each value: the base with the key set on the chosen slots.
[[nodiscard]] std::vector<std::vector<PlayerSettings>> Lineups(const Variation& variation,
                                                               const std::vector<PlayerSettings>& base);

// The float keys a variation may change, in the settings file's order, and each one's field.
[[nodiscard]] std::vector<std::string> FloatKeys();
[[nodiscard]] float PlayerSettings::*FloatField(const std::string& key);

// The slots --who names (blue, red, all or slot:N), or nothing when it names none.
[[nodiscard]] std::optional<std::vector<int>> WhoSlots(const std::string& who);

// "LuckMultiplier of blue from 0 to 1 by 0.25 (5 values)"
[[nodiscard]] std::string DescribeVariation(const Variation& variation);

// The value as the settings file would hold it, in the fewest digits that read back to the same float.
[[nodiscard]] std::string FloatText(float value);

} // namespace tryzone
