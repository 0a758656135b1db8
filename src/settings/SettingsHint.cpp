#include "settings/SettingsHint.h"

#include "shape/MatchShape.h"
#include "settings/ConsoleText.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <cmath>
#include <nlohmann/json.hpp>

namespace tryzone
{

namespace
{
using nlohmann::json;

constexpr std::size_t kQuoted = 40;

// Arrays and objects are not quoted: they may nest deeper than a recursive dump could go.
std::string Quoted(const json& value)
{
    if (value.is_structured())
    {
        return value.is_array() ? "[...]" : "{...}";
    }
    return ConsoleText(value.dump(), kQuoted);
}

const char* KindOf(const json& value)
{
    switch (value.type())
    {
    case json::value_t::null:
        return "null";
    case json::value_t::boolean:
        return "a boolean";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
        return "a whole number";
    case json::value_t::number_float:
        return "a number with a decimal point";
    case json::value_t::string:
        return "a string";
    case json::value_t::array:
        return "an array";
    default:
        return "an object";
    }
}

bool TooLargeForFloat(const json& value)
{
    return value.is_number_float() && std::fabs(value.get<double>()) >= 0x1.ffffffp127;
}

std::string FloatHint(const json& value)
{
    if (value.is_number_integer() || value.is_number_unsigned())
    {
        return Quoted(value) + " is a whole number; write " + Quoted(value) + ".0";
    }
    if (TooLargeForFloat(value))
    {
        return Quoted(value) + " is too large for a float (at most about 3.4e38)";
    }
    if (!value.is_number_float())
    {
        return Quoted(value) + " is " + KindOf(value) + "; write a number with a decimal point, such as 1.0";
    }
    return {};
}

std::string KeyHint(const std::string& key, const json& value)
{
    if (key == "PlayerNumber")
    {
        if (value.is_number_unsigned())
        {
            return {};
        }
        return Quoted(value) + (value.is_number_integer() ? " is negative" : std::string(" is ") + KindOf(value)) +
               "; write a whole number from 0";
    }
    if (key == "Team")
    {
        return value.is_string() ? std::string() : Quoted(value) + " is " + KindOf(value) + "; write \"Blue\" or \"Red\"";
    }
    if (key == "StartPosition")
    {
        const std::string write = "; write [x, y], such as [100.0, 360.0]";
        if (!value.is_array())
        {
            return Quoted(value) + " is " + KindOf(value) + write;
        }
        if (value.size() != 2)
        {
            return "[...] has " + std::to_string(value.size()) + (value.size() == 1 ? " element" : " elements") + write;
        }
        return {};
    }
    return FloatHint(value);
}

std::string EntryHint(const json& entry, std::size_t slot)
{
    const std::string where = "slot " + std::to_string(slot);
    if (!entry.is_object())
    {
        return where + ": " + Quoted(entry) + " is " + KindOf(entry) + ", not an object with the nine keys";
    }
    for (const char* key : kPlayerKeys)
    {
        if (!entry.contains(key))
        {
            return where + ": no " + key + "; every entry needs all nine keys";
        }
    }
    for (const char* key : kPlayerKeys)
    {
        if (std::string hint = KeyHint(key, entry.at(key)); !hint.empty())
        {
            return where + ", " + key + ": " + hint;
        }
    }
    // The coordinates last, as the loader meets them: their range with the types, their kind when converted.
    const json& position = entry.at("StartPosition");
    for (const json& coordinate : position)
    {
        if (TooLargeForFloat(coordinate))
        {
            return where + ", StartPosition: " + Quoted(coordinate) + " is too large for a float (at most about 3.4e38)";
        }
    }
    for (const json& coordinate : position)
    {
        if (!coordinate.is_number() && !coordinate.is_boolean())
        {
            return where + ", StartPosition: " + Quoted(coordinate) +
                   " is not a number; write [x, y], such as [100.0, 360.0]";
        }
    }
    return {};
}
} // namespace

std::string SettingsHint(const json& document)
{
    if (!document.is_array())
    {
        return std::string("Warning: the file is ") + KindOf(document) +
               "; write an array of up to ten players: [ {...}, {...} ]";
    }
    // In the loader's order: an entry past the tenth is refused only once the ten before it passed.
    for (std::size_t slot = 0; slot < document.size(); ++slot)
    {
        if (slot == kPlayerSlots)
        {
            return "Warning: " + std::to_string(document.size()) + " entries; remove " +
                   std::to_string(document.size() - kPlayerSlots) + " (at most ten players)";
        }
        if (std::string hint = EntryHint(document[slot], slot); !hint.empty())
        {
            return "Warning: " + hint;
        }
    }
    return {};
}

} // namespace tryzone
