#include "experiments/Variation.h"

#include "shape/MatchShape.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace tryzone
{

namespace
{
constexpr int kMostValues = 1000;

float PlayerSettings::*FieldOf(const std::string& key)
{
    for (const auto& [name, field] : kPlayerFloatKeys)
    {
        if (key == name)
        {
            return field;
        }
    }
    return nullptr;
}

std::string FloatKeyList()
{
    std::string list;
    for (const auto& entry : kPlayerFloatKeys)
    {
        list += (list.empty() ? "" : ", ") + std::string(entry.name);
    }
    return list;
}

// A number the settings file can hold as a float, or why not.
Expected<double> ParseBound(std::string_view text, const std::string& what)
{
    const std::string quoted = what + " '" + std::string(text) + "'";
    // A plus sign is how many write a positive number; from_chars takes none.
    const std::string_view digits = text.starts_with('+') && text.size() > 1 && text[1] != '-' ? text.substr(1) : text;
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool whole = end == digits.data() + digits.size() && !digits.empty();
    if (whole && error == std::errc::result_out_of_range)
    {
        // from_chars leaves the value alone when out of range: whether it was too large or too small shows in the
        // exponent, which strtod reads to infinity or zero.
        value = std::strtod(std::string(digits).c_str(), nullptr);
    }
    if (whole && (error == std::errc() || error == std::errc::result_out_of_range))
    {
        if (std::isinf(value) || std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        {
            return Unexpected{quoted + " is beyond the range of a float"};
        }
        if (value == 0.0 ? error != std::errc() : static_cast<float>(value) == 0.f)
        {
            return Unexpected{quoted + " is too close to 0 for a float, whose smallest is 1.4e-45: write 0"};
        }
        if (std::isfinite(value))
        {
            return value;
        }
    }
    return Unexpected{quoted + " is not a finite number"};
}

// The values, each a different float, or why not.
Expected<void> DifferentFloats(const std::vector<double>& numbers)
{
    for (std::size_t i = 0; i < numbers.size(); ++i)
    {
        for (std::size_t j = 0; j < i; ++j)
        {
            if (static_cast<float>(numbers[i]) == static_cast<float>(numbers[j]))
            {
                return Unexpected{"the values " + DoubleText(numbers[j]) + " and " + DoubleText(numbers[i]) +
                                  " are the same float, " + FloatText(static_cast<float>(numbers[i]))};
            }
        }
    }
    return {};
}

std::optional<std::vector<int>> SlotsOf(const std::string& who)
{
    if (who == "blue" || who == "red" || who == "all")
    {
        std::vector<int> slots;
        for (int slot = who == "red" ? FirstSlotOf(Side::Red) : 0; slot < (who == "blue" ? kTeamSize : kPlayerCount); ++slot)
        {
            slots.push_back(slot);
        }
        return slots;
    }
    constexpr std::string_view prefix = "slot:";
    int slot = -1;
    const char* end = who.data() + who.size();
    if (who.starts_with(prefix) && who.size() > prefix.size() &&
        std::from_chars(who.data() + prefix.size(), end, slot).ptr == end && IsSlot(slot))
    {
        return std::vector<int>{slot};
    }
    return std::nullopt;
}

Expected<std::vector<double>> RangeValues(std::string_view text, Variation& variation)
{
    const std::size_t colon1 = text.find(':');
    const std::size_t colon2 = text.find(':', colon1 + 1);
    if (colon2 == std::string_view::npos || text.find(':', colon2 + 1) != std::string_view::npos)
    {
        return Unexpected{"KEY=FROM:TO:STEP or KEY=V1,V2,..."};
    }
    const std::array<std::pair<std::string_view, const char*>, 3> bounds{{
        {text.substr(0, colon1), "FROM"},
        {text.substr(colon1 + 1, colon2 - colon1 - 1), "TO"},
        {text.substr(colon2 + 1), "STEP"},
    }};
    std::array<double, 3> numbers{};
    for (std::size_t i = 0; i < bounds.size(); ++i)
    {
        auto parsed = ParseBound(bounds[i].first, bounds[i].second);
        if (!parsed)
        {
            return parsed.Error();
        }
        numbers[i] = *parsed;
    }
    variation.from = numbers[0];
    variation.to = numbers[1];
    variation.step = numbers[2];
    if (variation.from > variation.to)
    {
        return Unexpected{"FROM is above TO"};
    }
    if (variation.step <= 0.0)
    {
        return Unexpected{"STEP must be above 0"};
    }
    // A step that lands on TO but for rounding (0.3 / 0.1 is 2.9999999999999996) still reaches it.
    const double steps = std::floor((variation.to - variation.from) / variation.step + 1e-9);
    if (steps + 1.0 > kMostValues)
    {
        return Unexpected{"more than " + std::to_string(kMostValues) + " values"};
    }
    std::vector<double> values;
    for (int i = 0; i <= static_cast<int>(steps); ++i)
    {
        values.push_back(std::min(variation.from + i * variation.step, variation.to));
    }
    return values;
}

// V1,V2,..., the values in the order given.
Expected<std::vector<double>> ListValues(std::string_view text, Variation& variation)
{
    std::vector<double> values;
    for (std::size_t start = 0; start <= text.size();)
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (values.size() == kMostValues)
        {
            return Unexpected{"more than " + std::to_string(kMostValues) + " values"};
        }
        auto parsed = ParseBound(text.substr(start, comma - start), "value");
        if (!parsed)
        {
            return parsed.Error();
        }
        values.push_back(*parsed);
        start = comma + 1;
    }
    variation.list = values;
    variation.from = *std::min_element(values.begin(), values.end());
    variation.to = *std::max_element(values.begin(), values.end());
    return values;
}
} // namespace

Expected<Variation> ParseVariation(const std::string& vary, const std::string& who)
{
    const std::string bad = "bad value for --vary: '" + vary + "' ";
    const std::size_t equals = vary.find('=');
    if (equals == std::string::npos)
    {
        return Unexpected{bad + "(KEY=FROM:TO:STEP or KEY=V1,V2,...)"};
    }
    Variation variation;
    variation.key = vary.substr(0, equals);
    std::string side = who;
    if (const std::size_t dot = variation.key.find('.'); dot != std::string::npos && FieldOf(variation.key) == nullptr)
    {
        // A tactic's STATE.PARAMETER, its side given by a prefix or found when the tactics are known.
        const std::size_t colon = variation.key.find(':');
        const std::string prefix = colon < dot ? variation.key.substr(0, colon) : "";
        variation.state = variation.key.substr(colon < dot ? colon + 1 : 0, dot - (colon < dot ? colon + 1 : 0));
        variation.parameter = variation.key.substr(dot + 1);
        if ((colon < dot && prefix != "blue" && prefix != "red") || variation.state.empty() ||
            variation.parameter.empty())
        {
            return Unexpected{bad + "(a tactic's parameter is STATE.PARAMETER, or blue:STATE.PARAMETER or "
                                    "red:STATE.PARAMETER for one side's tactic)"};
        }
        side = prefix.empty() ? who : prefix;
        if (side != "blue" && side != "red" && side != "all")
        {
            return Unexpected{"bad value for --who: '" + who + "' (a tactic's parameter is varied for blue, red or "
                              "all)"};
        }
    }
    else if (FieldOf(variation.key) == nullptr)
    {
        const bool known =
            variation.key == "PlayerNumber" || variation.key == "Team" || variation.key == "StartPosition";
        return Unexpected{bad + "(" + (known ? "not a float key" : "unknown key") + "; the float keys are " +
                          FloatKeyList() + ")"};
    }
    const std::string_view text = std::string_view(vary).substr(equals + 1);
    auto numbers =
        text.find(':') != std::string_view::npos ? RangeValues(text, variation) : ListValues(text, variation);
    if (!numbers)
    {
        return Unexpected{bad + "(" + numbers.Reason() + ")"};
    }
    const auto& values = *numbers;
    if (const auto different = DifferentFloats(values); !different)
    {
        return Unexpected{bad + "(" + different.Reason() + ": one label cannot stand for two values)"};
    }
    for (const double value : values)
    {
        variation.values.push_back(static_cast<float>(value));
    }

    const auto slots = SlotsOf(side);
    if (!slots)
    {
        return Unexpected{"bad value for --who: '" + who + "' (blue, red, all or slot:N with N from 0 to 9)"};
    }
    variation.who = side;
    variation.slots = *slots;
    return variation;
}

std::vector<std::vector<PlayerSettings>> Lineups(const Variation& variation, const std::vector<PlayerSettings>& base)
{
    const auto field = FieldOf(variation.key);
    std::vector<std::vector<PlayerSettings>> lineups;
    for (const float value : variation.values)
    {
        std::vector<PlayerSettings> players = base;
        for (const int slot : variation.slots)
        {
            // A tactic's parameter leaves the players as they are.
            if (field != nullptr && static_cast<std::size_t>(slot) < players.size())
            {
                players[static_cast<std::size_t>(slot)].*field = value;
            }
        }
        lineups.push_back(std::move(players));
    }
    return lineups;
}

std::vector<std::string> FloatKeys()
{
    std::vector<std::string> keys;
    for (const auto& entry : kPlayerFloatKeys)
    {
        keys.emplace_back(entry.name);
    }
    return keys;
}

float PlayerSettings::*FloatField(const std::string& key)
{
    return FieldOf(key);
}

std::optional<std::vector<int>> WhoSlots(const std::string& who)
{
    return SlotsOf(who);
}

std::string DescribeVariation(const Variation& variation)
{
    const std::size_t count = variation.values.size();
    std::string values;
    if (variation.list.empty())
    {
        values = " from " + FloatText(static_cast<float>(variation.from)) + " to " +
                 FloatText(static_cast<float>(variation.to)) + " by " + FloatText(static_cast<float>(variation.step));
    }
    else
    {
        for (const float value : variation.values)
        {
            values += (values.empty() ? " at " : ", ") + FloatText(value);
        }
    }
    return variation.key + " of " +
           (variation.who.starts_with("slot:") ? "slot " + variation.who.substr(5) : variation.who) + values + " (" +
           std::to_string(count) + (count == 1 ? " value)" : " values)");
}

std::string DoubleText(double value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

std::string FloatText(float value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

} // namespace tryzone
