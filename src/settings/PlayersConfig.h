#pragma once

#include "shape/MatchShape.h"
#include "files/Expected.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <cstddef>
#include <iosfwd>
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

    // Appends one record per accepted entry and gives the warnings about the teams, one line each; at the first
    // fault, the loader's line (with what to fix on a second line when that can be said). Prints nothing: the
    // caller says kLoadedLine, the warnings and the reason where it wants them.
    [[nodiscard]] Expected<std::vector<std::string>> Load();

    void AppendRecords(const std::array<PlayerSettings, kPlayerSlots>& settings);

    // Writes the first ten records (all of them when there are fewer) in one step: a failed save leaves an existing
    // file as it was. The file's name as messages give it (through a link: "link -> target").
    [[nodiscard]] Expected<std::string> Save() const;

    // Copies an existing file to fileName + ".bak", replacing an older backup, so that the defaults can be saved
    // over a broken file without losing it. The backup's name, empty when there was nothing to keep.
    [[nodiscard]] Expected<std::string> BackUpFile() const;

    // Fills the slots a short file left empty with the defaults of those slots; returns how many it appended.
    int CompleteFrom(const std::array<PlayerSettings, kPlayerSlots>& defaults);

private:
    bool LoadInto(std::ostream& complaints);
};

// The settings file's own lines, as the programs print them (a load's success; after a save, a backup and the
// completion, the name or the count).
inline constexpr const char* kLoadedLine = "Config loaded and validated successfully.";
inline constexpr const char* kSavedPrefix = "Config saved to: ";
inline constexpr const char* kBackedUpPrefix = "Config backed up to: ";
inline constexpr const char* kFilledInPrefix = "Missing players filled in from defaults: ";

// A line the settings' users have for the console, in order: standard error when error is set.
struct SettingsLine
{
    bool error = false;
    std::string text;

    bool operator==(const SettingsLine&) const = default;
};

} // namespace tryzone
