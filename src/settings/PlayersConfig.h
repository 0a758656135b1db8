#pragma once

#include "shape/MatchShape.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <cstddef>
#include <iostream>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// One entry of the settings file as the store reads it; nothing when a key is missing or has the wrong type.
[[nodiscard]] std::optional<PlayerSettings> RecordFromJson(const nlohmann::json& entry);
// One record as the store writes it: floats widened exactly, so they read back as the same floats.
[[nodiscard]] nlohmann::json RecordToJson(const PlayerSettings& record);

// The settings store: reads, validates and writes the players' settings file.
class PlayersConfig
{
public:
    explicit PlayersConfig(std::string path);

    // A real settings file is a few kilobytes; anything over this is refused before it is parsed.
    static constexpr std::size_t MaxFileBytes = 1024 * 1024;

    std::string fileName;
    std::vector<PlayerSettings> records; // in file order; the operations only ever append

    // Appends one record per accepted entry; false, with one line on complaints (standard error unless a caller
    // wants the lines itself), at the first fault. Warnings about the teams go there too.
    [[nodiscard]] bool Load(std::ostream& complaints = std::cerr);

    void AppendRecords(const std::array<PlayerSettings, kPlayerSlots>& settings);

    // Writes the first ten records (all of them when there are fewer) in one step: a failed save leaves an existing
    // file as it was. Returns whether the file was written.
    bool Save() const;

    // Copies an existing file to fileName + ".bak", replacing an older backup, so that the defaults can be saved
    // over a broken file without losing it. True when there was nothing to keep or it was kept.
    [[nodiscard]] bool BackUpFile() const;

    // Fills the slots a short file left empty with the defaults of those slots; returns how many it appended.
    int CompleteFrom(const std::array<PlayerSettings, kPlayerSlots>& defaults);
};

} // namespace tryzone
