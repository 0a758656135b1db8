#include "window/StatusLine.h"

#include "window/PlaybackControls.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

TEST(StatusLine, TextsWiderThanTheWindowAreWrappedAtSpacesAndLongWordsAreCut)
{
    const std::string loader =
        "mine.json: JSON parsing error at line 1, column 20: unexpected end of input (playing on)";
    const std::string wrapped = Wrapped(loader, 30);
    std::istringstream lines(wrapped);
    std::string joined;
    for (std::string line; std::getline(lines, line);)
    {
        EXPECT_LE(line.size(), 30u) << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, loader);
    EXPECT_EQ(Wrapped(std::string(25, 'x'), 10),
              std::string(10, 'x') + "\n" + std::string(10, 'x') + "\n" + std::string(5, 'x'));
    EXPECT_EQ(Wrapped("short\nlines", 0), "short\nlines");
}

TEST(PlaybackControls, SpaceAndSActOncePerPressWhateverTheKeyRepeat)
{
    PlaybackControls controls;
    PlaybackControls::Command command = PlaybackControls::Command::None;
    for (int repeat = 0; repeat < 5; ++repeat)
    {
        EXPECT_TRUE(controls.HandleKey(sf::Keyboard::Space, command));
        EXPECT_TRUE(controls.HandleKey(sf::Keyboard::S, command));
        EXPECT_EQ(command == PlaybackControls::Command::Save, repeat == 0);
    }
    EXPECT_TRUE(controls.Paused());
    controls.ReleaseKey(sf::Keyboard::Space);
    EXPECT_TRUE(controls.HandleKey(sf::Keyboard::Space, command));
    EXPECT_FALSE(controls.Paused());
}

} // namespace tryzone
