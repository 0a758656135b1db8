#pragma once

#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayerSettings.h"
#include "settings/PlayersConfig.h"
#include "support/Files.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace tryzone
{

inline void PrintTo(const PlayerSettings& s, std::ostream* os)
{
    *os << "{#" << int{s.PlayerNumber} << " team " << int{s.Team} << " at (" << s.StartPosition.x << ", "
        << s.StartPosition.y << ") r " << s.Radius << " v " << s.Speed << " luck " << s.LuckMultiplier << " near "
        << s.EnemyIsTooNearDistance << " cooldown " << s.PassCooldown << " pass " << s.PassTime << "}";
}

// The defaults of a 1280 x 720 window, the formation spelt out as the match builds it.
inline std::array<PlayerSettings, 10> DefaultsAt1280x720()
{
    const float w = 1280.f;
    const float h = 720.f;
    const std::array<sf::Vector2f, 5> formation = {
        sf::Vector2f(0.15f * w, 0.1f * h), sf::Vector2f(0.28f * w, 0.15f * h), sf::Vector2f(0.35f * w, 0.5f * h),
        sf::Vector2f(0.28f * w, 0.85f * h), sf::Vector2f(0.15f * w, 0.9f * h)};
    return DefaultPlayerSettings(formation, w);
}

// Checked by the C library's own converter, which refuses overlong forms, surrogates and stray bytes.
inline bool IsValidUtf8(const std::string& text)
{
    iconv_t converter = iconv_open("UTF-8", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
    {
        return false;
    }
    std::string input = text;
    std::string output(text.size() * 2 + 16, '\0');
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    const bool valid = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(converter);
    return valid;
}

struct Console
{
    std::string out;
    std::string err;
};

template <typename Operation> Console CaptureConsole(Operation&& operation)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    operation();
    Console console;
    console.out = testing::internal::GetCapturedStdout();
    console.err = testing::internal::GetCapturedStderr();
    return console;
}

// The store prints nothing; these give the lines the programs print for its operations, as the game prints them,
// and check that silence.
inline void ExpectSilence(const Console& console)
{
    EXPECT_EQ(console.out + console.err, "") << "the settings library printed";
}

inline Console PrintedLoad(PlayersConfig& config, bool& loaded)
{
    std::optional<Expected<std::vector<std::string>>> result;
    ExpectSilence(CaptureConsole([&] { result.emplace(config.Load()); }));
    Console console;
    loaded = result->HasValue();
    if (!loaded)
    {
        console.err = result->Reason() + "\n";
        return console;
    }
    console.out = std::string(kLoadedLine) + "\n";
    for (const std::string& warning : **result)
    {
        console.err += warning + "\n";
    }
    return console;
}

inline Console PrintedSave(const PlayersConfig& config, bool& saved)
{
    std::optional<Expected<std::string>> result;
    ExpectSilence(CaptureConsole([&] { result.emplace(config.Save()); }));
    saved = result->HasValue();
    return saved ? Console{kSavedPrefix + **result + "\n", ""} : Console{"", result->Reason() + "\n"};
}

inline Console PrintedBackUp(const PlayersConfig& config, bool& kept)
{
    std::optional<Expected<std::string>> result;
    ExpectSilence(CaptureConsole([&] { result.emplace(config.BackUpFile()); }));
    kept = result->HasValue();
    if (!kept)
    {
        return {"", result->Reason() + "\n"};
    }
    return {(*result)->empty() ? "" : kBackedUpPrefix + **result + "\n", ""};
}

// The match's steps after a failed load: a backup, then, when that worked, the save.
inline Console PrintedBackUpThenSave(const PlayersConfig& config, bool& saved)
{
    Console console = PrintedBackUp(config, saved);
    if (saved)
    {
        const Console save = PrintedSave(config, saved);
        console.out += save.out;
        console.err += save.err;
    }
    return console;
}

template <class Defaults> Console PrintedCompletion(PlayersConfig& config, const Defaults& defaults, int& appended)
{
    ExpectSilence(CaptureConsole([&] { appended = config.CompleteFrom(defaults); }));
    return {appended > 0 ? kFilledInPrefix + std::to_string(appended) + "\n" : "", ""};
}

// Every test gets a fresh folder of its own and absolute paths inside it.
class SettingsFolderTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }

    [[nodiscard]] std::string Path(const std::string& name) const { return (folder / name).string(); }

    // Names in the folder, sorted: shows leftovers such as temporary files.
    [[nodiscard]] std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TemporaryFolder temporary;
    std::filesystem::path folder = temporary.Path();
};

} // namespace tryzone
