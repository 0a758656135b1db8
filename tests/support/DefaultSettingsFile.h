#pragma once

#include <string>

namespace tryzone
{

// One default player as the file must show it, numbers spelt out by hand.
inline std::string DefaultEntryText(const std::string& number, const std::string& x, const std::string& y,
                                    const std::string& team, bool last)
{
    return "    {\n"
           "        \"EnemyIsTooNearDistance\": 75.0,\n"
           "        \"LuckMultiplier\": 1.0,\n"
           "        \"PassCooldown\": 1.0,\n"
           "        \"PassTime\": 0.5,\n"
           "        \"PlayerNumber\": " +
           number +
           ",\n"
           "        \"Radius\": 25.0,\n"
           "        \"Speed\": 300.0,\n"
           "        \"StartPosition\": [\n"
           "            " +
           x +
           ",\n"
           "            " +
           y +
           "\n"
           "        ],\n"
           "        \"Team\": \"" +
           team + "\"\n" + (last ? "    }\n" : "    },\n");
}

inline const std::string DefaultsFileText =
    "[\n" + DefaultEntryText("0", "192.0", "72.0", "Blue", false) +
    DefaultEntryText("1", "358.3999938964844", "108.00000762939453", "Blue", false) +
    DefaultEntryText("2", "448.0", "360.0", "Blue", false) +
    DefaultEntryText("3", "358.3999938964844", "612.0", "Blue", false) +
    DefaultEntryText("4", "192.0", "648.0", "Blue", false) + DefaultEntryText("5", "1088.0", "72.0", "Red", false) +
    DefaultEntryText("6", "921.5999755859375", "108.00000762939453", "Red", false) +
    DefaultEntryText("7", "832.0", "360.0", "Red", false) +
    DefaultEntryText("8", "921.5999755859375", "612.0", "Red", false) +
    DefaultEntryText("9", "1088.0", "648.0", "Red", true) + "]";

} // namespace tryzone
