#include "settings/PlayersConfig.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
using nlohmann::json;

constexpr std::size_t MaxPlayers = 10;

constexpr std::array<const char*, 9> RequiredKeys = {
    "PlayerNumber",           "Team",         "StartPosition", "Radius", "Speed", "LuckMultiplier",
    "EnemyIsTooNearDistance", "PassCooldown", "PassTime"};

constexpr std::array<const char*, 6> FloatKeys = {"Radius",       "Speed",   "LuckMultiplier", "EnemyIsTooNearDistance",
                                                  "PassCooldown", "PassTime"};

// FLT_MAX plus half a step: from here on a double rounds to infinity as a float.
constexpr double FloatOverflow = 0x1.ffffffp127;

// Only a floating-point number can be too large: integers and booleans always fit.
bool FitsFloat(const json& value)
{
    return !value.is_number_float() || std::fabs(value.get<double>()) < FloatOverflow;
}

// Numbers of any kind and booleans; anything else throws the library's type error, as the caller expects.
float ToFloat(const json& value)
{
    // Floating-point values have been checked against the float range, so the narrowing is defined.
    return value.is_number_float() ? static_cast<float>(value.get<double>()) : value.get<float>();
}

bool HasRequiredKeys(const json& entry)
{
    if (!entry.is_object())
    {
        return false;
    }
    for (const char* key : RequiredKeys)
    {
        if (!entry.contains(key))
        {
            return false;
        }
    }
    return true;
}

bool HasExpectedTypes(const json& entry)
{
    if (!entry.at("PlayerNumber").is_number_unsigned() || !entry.at("Team").is_string())
    {
        return false;
    }
    const json& position = entry.at("StartPosition");
    if (!position.is_array() || position.size() != 2)
    {
        return false;
    }
    for (const char* key : FloatKeys)
    {
        if (!entry.at(key).is_number_float() || !FitsFloat(entry.at(key)))
        {
            return false;
        }
    }
    // A number too large for a float counts as a wrong type, whatever else the entry holds.
    return FitsFloat(position[0]) && FitsFloat(position[1]);
}

PlayerSettings ToRecord(const json& entry)
{
    PlayerSettings record;
    record.PlayerNumber = static_cast<std::uint8_t>(entry.at("PlayerNumber").get<std::uint64_t>() % 256);
    record.Team = entry.at("Team").get_ref<const std::string&>() == "Blue" ? 0 : 1;

    const json& position = entry.at("StartPosition");
    const float y = ToFloat(position[1]);
    const float x = ToFloat(position[0]);
    record.StartPosition = sf::Vector2f(x, y);

    float* const fields[] = {&record.Radius,         &record.Speed,
                             &record.LuckMultiplier, &record.EnemyIsTooNearDistance,
                             &record.PassCooldown,   &record.PassTime};
    for (std::size_t i = 0; i < FloatKeys.size(); ++i)
    {
        *fields[i] = ToFloat(entry.at(FloatKeys[i]));
    }
    return record;
}

json ToJson(const PlayerSettings& record)
{
    // Floats are widened exactly, so the file shows the double each float really is.
    return json{{"PlayerNumber", static_cast<std::uint64_t>(record.PlayerNumber)},
                {"Team", record.Team != 0 ? "Red" : "Blue"},
                {"StartPosition", json::array({static_cast<double>(record.StartPosition.x),
                                               static_cast<double>(record.StartPosition.y)})},
                {"Radius", static_cast<double>(record.Radius)},
                {"Speed", static_cast<double>(record.Speed)},
                {"LuckMultiplier", static_cast<double>(record.LuckMultiplier)},
                {"EnemyIsTooNearDistance", static_cast<double>(record.EnemyIsTooNearDistance)},
                {"PassCooldown", static_cast<double>(record.PassCooldown)},
                {"PassTime", static_cast<double>(record.PassTime)}};
}

// The library quotes the offending text whole, so a single huge value would make a line of a megabyte.
void PrintLibraryText(std::ostream& out, std::string_view text)
{
    constexpr std::size_t MaxLength = 200;
    out << text.substr(0, MaxLength) << (text.size() > MaxLength ? "..." : "") << std::endl;
}

enum class ReadOutcome
{
    Read,
    TooLarge,
    Failed,
};

// Reads the whole stream into text, in chunks, giving up as soon as it holds more than MaxFileBytes: memory stays
// bounded whatever lies at the settings path, a huge file or an endless device.
ReadOutcome ReadBounded(std::istream& in, std::string& text)
{
    std::array<char, 16384> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0)
    {
        const auto count = static_cast<std::size_t>(in.gcount());
        if (text.size() + count > PlayersConfig::MaxFileBytes)
        {
            return ReadOutcome::TooLarge;
        }
        text.append(chunk.data(), count);
    }
    // A folder opens like a file but cannot be read: the stream turns bad.
    return in.bad() ? ReadOutcome::Failed : ReadOutcome::Read;
}

bool WriteAll(int descriptor, std::string_view text)
{
    while (!text.empty())
    {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The text goes to a temporary file beside the target, reaches the disk, and only then takes the target's name,
// so a crash or a full disk never leaves a half-written settings file behind.
bool ReplaceFile(const std::string& target, std::string_view text)
{
    const std::string temporary = target + ".tmp";
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor < 0)
    {
        return false;
    }
    const bool written = WriteAll(descriptor, text) && ::fsync(descriptor) == 0;
    // close reports delayed write errors too; it is not retried, the descriptor is gone either way.
    const bool closed = ::close(descriptor) == 0;
    if (written && closed && std::rename(temporary.c_str(), target.c_str()) == 0)
    {
        return true;
    }
    // Best effort: the save has failed already, and a leftover is truncated by the next attempt.
    static_cast<void>(::unlink(temporary.c_str()));
    return false;
}
} // namespace

PlayersConfig::PlayersConfig(std::string path) : fileName(std::move(path)) {}

bool PlayersConfig::Load()
{
    std::ifstream file(fileName);
    if (!file)
    {
        std::cerr << "Failed to open config file: " << fileName << std::endl;
        return false;
    }

    try
    {
        std::string text;
        const ReadOutcome outcome = ReadBounded(file, text);
        file.close();
        if (outcome == ReadOutcome::TooLarge)
        {
            std::cerr << "Config file too large (more than 1 MiB): " << fileName << std::endl;
            return false;
        }
        if (outcome == ReadOutcome::Failed)
        {
            std::cerr << "Failed to read config file: " << fileName << std::endl;
            return false;
        }

        // Extraction from a stream reads one value and leaves whatever follows it unexamined.
        std::istringstream in(std::move(text));
        json document;
        in >> document;
        if (!document.is_array())
        {
            std::cerr << "Invalid JSON format: expected an array of players." << std::endl;
            return false;
        }

        std::size_t accepted = 0;
        for (const json& entry : document)
        {
            if (accepted == MaxPlayers)
            {
                std::cerr << "Too many players in JSON file. Expected maximum: " << MaxPlayers << std::endl;
                return false;
            }
            if (!HasRequiredKeys(entry))
            {
                std::cerr << "Invalid JSON format: missing keys in one of the player entries." << std::endl;
                return false;
            }
            if (!HasExpectedTypes(entry))
            {
                std::cerr << "Invalid JSON format: incorrect data types in one of the player entries." << std::endl;
                return false;
            }
            records.push_back(ToRecord(entry));
            ++accepted;
        }

        std::cout << "Config loaded and validated successfully." << std::endl;
        return true;
    }
    catch (const json::parse_error& error)
    {
        std::cerr << "JSON parsing error: ";
        PrintLibraryText(std::cerr, error.what());
        return false;
    }
    catch (const std::exception& error)
    {
        std::cerr << "Error while loading config: ";
        PrintLibraryText(std::cerr, error.what());
        return false;
    }
}

void PlayersConfig::AppendRecords(const std::array<PlayerSettings, 10>& settings)
{
    records.insert(records.end(), settings.begin(), settings.end());
}

bool PlayersConfig::Save() const
{
    json document = json::array();
    for (std::size_t i = 0; i < records.size() && i < MaxPlayers; ++i)
    {
        document.push_back(ToJson(records[i]));
    }

    if (!ReplaceFile(fileName, document.dump(4, ' ', false)))
    {
        std::cerr << "Failed to create or open file: " << fileName << std::endl;
        return false;
    }
    std::cout << "Config saved to: " << fileName << std::endl;
    return true;
}

bool PlayersConfig::BackUpFile() const
{
    struct stat status = {};
    if (::lstat(fileName.c_str(), &status) != 0)
    {
        if (errno == ENOENT || errno == ENOTDIR)
        {
            return true; // nothing there to lose
        }
        std::cerr << "Failed to back up config file: " << fileName << std::endl;
        return false;
    }

    // A copy keeps the very bytes and leaves the file in place until a save replaces it in one step, so a save
    // that fails afterwards still leaves the file as it was.
    const std::string backupName = fileName + ".bak";
    std::error_code error;
    if (!std::filesystem::copy_file(fileName, backupName, std::filesystem::copy_options::overwrite_existing, error))
    {
        std::cerr << "Failed to back up config file: " << fileName << std::endl;
        return false;
    }
    std::cout << "Config backed up to: " << backupName << std::endl;
    return true;
}

int PlayersConfig::CompleteFrom(const std::array<PlayerSettings, 10>& defaults)
{
    int appended = 0;
    for (std::size_t slot = records.size(); slot < defaults.size(); ++slot)
    {
        records.push_back(defaults[slot]);
        ++appended;
    }
    if (appended > 0)
    {
        std::cout << "Missing players filled in from defaults: " << appended << std::endl;
    }
    return appended;
}
