#include "support/GameProcess.h"

#include "support/Display.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tryzone
{

// The real game in a real window: start it as a person would, then close it with the window's close button. In a
// sanitized build this is also the game's leak check: LeakSanitizer would change the exit status.
TEST(GameProcess, OpensItsWindowAndExitsCleanlyWhenClosed)
{
    TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
    TemporaryFolder folder;
    std::filesystem::copy_file(TRYZONE_FONT_PATH, folder.Path() / "Hack-Regular.ttf");
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start()) << game.Stderr() << "wait status " << game.EarlyExitStatus();
    EXPECT_EQ(game.Close(), 0) << game.Stderr();
    EXPECT_EQ(game.Stderr().find("LeakSanitizer"), std::string::npos) << game.Stderr();
}

} // namespace tryzone
