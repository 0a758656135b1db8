// The players' settings file under test: entries spelt out as raw JSON, and folders to load from and save to.
#pragma once

#include "settings/PlayersConfig.h"
#include "settings/SettingsTestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace tryzone
{

// One player entry as raw JSON text, so that the exact spelling of each value (25 or 25.0 or 2.5e1) is under test.
class Entry
{
public:
    Entry& Set(const std::string& key, const std::string& raw)
    {
        for (auto& member : members)
        {
            if (member.first == key)
            {
                member.second = raw;
                return *this;
            }
        }
        members.emplace_back(key, raw);
        return *this;
    }

    Entry& Drop(const std::string& key)
    {
        std::erase_if(members, [&](const auto& member) { return member.first == key; });
        return *this;
    }

    [[nodiscard]] std::string Text() const
    {
        std::string text = "{";
        for (const auto& [key, raw] : members)
        {
            text += (text.size() > 1 ? ", \"" : "\"") + key + "\": " + raw;
        }
        return text + "}";
    }

private:
    std::vector<std::pair<std::string, std::string>> members = {{"PlayerNumber", "7"},
                                                                {"Team", "\"Red\""},
                                                                {"StartPosition", "[100.5, 200.25]"},
                                                                {"Radius", "21.5"},
                                                                {"Speed", "310.25"},
                                                                {"LuckMultiplier", "1.75"},
                                                                {"EnemyIsTooNearDistance", "80.5"},
                                                                {"PassCooldown", "1.25"},
                                                                {"PassTime", "0.75"}};
};

inline std::string Array(const std::vector<std::string>& entries)
{
    std::string text = "[";
    for (const std::string& entry : entries)
    {
        text += (text.size() > 1 ? ",\n" : "\n") + entry;
    }
    return text + "\n]";
}

// `count` valid entries, then `last` when it is not empty.
inline std::string ValidThen(int count, const std::string& last = "")
{
    std::vector<std::string> entries(static_cast<std::size_t>(count), Entry().Text());
    if (!last.empty())
    {
        entries.push_back(last);
    }
    return Array(entries);
}

struct LoadOutcome
{
    bool loaded = false;
    Console console;
    std::vector<PlayerSettings> records;
};

class PlayersConfigLoad : public SettingsFolderTest
{
protected:
    LoadOutcome LoadText(const std::string& text)
    {
        WriteFile(Path("PlayersSettings.json"), text);
        return LoadFile();
    }

    LoadOutcome LoadFile()
    {
        PlayersConfig config(Path("PlayersSettings.json"));
        LoadOutcome outcome;
        outcome.console = PrintedLoad(config, outcome.loaded);
        outcome.records = config.records;
        return outcome;
    }

    // Loads one valid entry altered by `key` = `raw` and returns its record.
    PlayerSettings LoadAccepted(const std::string& key, const std::string& raw)
    {
        const LoadOutcome outcome = LoadText(Array({Entry().Set(key, raw).Text()}));
        EXPECT_TRUE(outcome.loaded) << key << " = " << raw << ": " << outcome.console.err;
        EXPECT_EQ(outcome.records.size(), outcome.loaded ? 1u : 0u);
        return outcome.records.empty() ? PlayerSettings{} : outcome.records.front();
    }
};

// The loader's lines, or their fixed starts where the library's text follows.
inline const std::string MissingKeys = "Invalid JSON format: missing keys in one of the player entries.";
inline const std::string WrongTypes = "Invalid JSON format: incorrect data types in one of the player entries.";
inline const std::string TypeError = "Error while loading config: [json.exception.type_error.";
inline const std::string ParseError = "JSON parsing error: [json.exception.parse_error.";

inline const std::string FailedSave = "Failed to create or open file: ";

// A save that failed says so, on standard error only.
inline void ExpectFailedSave(const auto& outcome, const std::string& path)
{
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.console.out, "");
    EXPECT_EQ(outcome.console.err, FailedSave + path + "\n");
}

class PlayersConfigSave : public SettingsFolderTest
{
protected:
    struct SaveOutcome
    {
        bool saved = false;
        Console console;
    };

    static SaveOutcome SaveQuietly(const PlayersConfig& config)
    {
        SaveOutcome outcome;
        outcome.console = PrintedSave(config, outcome.saved);
        return outcome;
    }

    static std::vector<PlayerSettings> LoadQuietly(const std::string& path)
    {
        PlayersConfig config(path);
        bool loaded = false;
        PrintedLoad(config, loaded);
        EXPECT_TRUE(loaded);
        return config.records;
    }
};

} // namespace tryzone
