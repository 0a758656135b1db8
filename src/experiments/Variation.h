#pragma once

#include "files/Expected.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tryzone
{

struct CompiledTactic;

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
    // A tactic's parameter instead of a settings key: the key is [blue:|red:]STATE.PARAMETER.
    std::string state;
    std::string parameter;
    // Set by ResolveTacticVariation: for each value, the blue and the red tactic it plays (null: the run's own).
    std::vector<std::array<std::shared_ptr<const CompiledTactic>, 2>> tactics;

    [[nodiscard]] bool OfTactic() const { return !state.empty(); }
};

// The variation, or a one-line reason why it cannot be played.
[[nodiscard]] Expected<Variation> ParseVariation(const std::string& vary, const std::string& who);

// A tactic variation made playable: its side chosen (a blue: or red: prefix; else the side whose tactic has the
// state; when both have it, --who: blue, red or all) and each value's tactic read as the file edited to that value
// would be. `tactics` are the run's, blue and red, null for the default tactic, and `files` their names.
[[nodiscard]] Expected<void> ResolveTacticVariation(Variation& variation,
                                                    const std::array<const CompiledTactic*, 2>& tactics,
                                                    const std::array<std::string, 2>& files);

// The tactic as its file would read with the state's action's parameter edited to the value, written as a sweep
// labels it; the file's one line when the file would be refused.
[[nodiscard]] Expected<std::shared_ptr<const CompiledTactic>> WithParameter(const CompiledTactic& tactic, int state,
                                                                            const std::string& parameter, float value,
                                                                            const std::string& file);

// A number the tactic's actions hold, with the range the catalogue allows it.
struct NumericParameter
{
    int state = 0;
    std::string name;
    double value = 0.0;
    double min = 0.0;
    double max = 0.0;
    bool whole = false;
};
[[nodiscard]] std::vector<NumericParameter> NumericParameters(const CompiledTactic& tactic);

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

// The double in the fewest digits that read back to it.
[[nodiscard]] std::string DoubleText(double value);

// The value as the settings file would hold it, in the fewest digits that read back to the same float.
[[nodiscard]] std::string FloatText(float value);

} // namespace tryzone
