#pragma once

#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayerSettings.h"
#include "support/Files.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
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
