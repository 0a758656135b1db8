#include "support/DefaultSettingsFile.h"
#include "support/Display.h"
#include "support/GameProcess.h"
#include "support/X11.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>
#include <thread>
#include <vector>

namespace tryzone
{

namespace
{
using namespace std::chrono_literals;

const sf::Color kInGoal(90, 151, 21);
const sf::Color kField(112, 189, 26);

struct Blob
{
    sf::Vector2f centre;
    int area = 0;
};

// Regions of exactly one colour, below the score texts (45 of 720 rows, as much of a resized picture); players and
// the ball are drawn in pure colours.
// merged: all such pixels as one region.
std::vector<Blob> Blobs(const sf::Image& image, sf::Color color, int minArea, bool merged = false)
{
    const sf::Vector2u size = image.getSize();
    std::vector<bool> seen(size.x * size.y, false);
    std::vector<Blob> blobs;
    std::vector<sf::Vector2u> stack;
    // A fixed 45 rows would hide a player or the ball near the top of a picture shrunk to half height.
    const unsigned top = 45 * size.y / 720;
    for (unsigned y = top; y < size.y; ++y)
    {
        for (unsigned x = 0; x < size.x; ++x)
        {
            if (seen[y * size.x + x] || image.getPixel(x, y) != color)
            {
                continue;
            }
            Blob blob;
            sf::Vector2f sum;
            stack.push_back({x, y});
            seen[y * size.x + x] = true;
            while (!stack.empty())
            {
                const sf::Vector2u p = stack.back();
                stack.pop_back();
                ++blob.area;
                sum += sf::Vector2f(static_cast<float>(p.x), static_cast<float>(p.y));
                const sf::Vector2u next[4] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
                for (const sf::Vector2u n : next)
                {
                    if (n.x < size.x && n.y >= top && n.y < size.y && !seen[n.y * size.x + n.x] &&
                        image.getPixel(n.x, n.y) == color)
                    {
                        seen[n.y * size.x + n.x] = true;
                        stack.push_back(n);
                    }
                }
            }
            if (merged && !blobs.empty())
            {
                Blob& all = blobs.front();
                all.centre =
                    (all.centre * static_cast<float>(all.area) + sum) / static_cast<float>(all.area + blob.area);
                all.area += blob.area;
            }
            else if (blob.area >= minArea)
            {
                blob.centre = sum / static_cast<float>(blob.area);
                blobs.push_back(blob);
            }
        }
    }
    return blobs;
}

int CountPixels(const sf::Image& image, sf::IntRect area, bool (*matches)(sf::Color))
{
    int count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
    {
        for (int x = area.left; x < area.left + area.width; ++x)
        {
            count += matches(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y))) ? 1 : 0;
        }
    }
    return count;
}

bool Near(sf::Color a, sf::Color b, int tolerance = 3)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

bool IsTextRed(sf::Color c)
{
    return c.r > 200 && c.g < 80 && c.b < 80;
}

// The lane lines are one pixel wide and blended with the grass by the antialiasing.
bool IsMagenta(sf::Color c)
{
    return c.r > 150 && c.g < 100 && c.b > 100;
}

float DistanceBetween(sf::Vector2f a, sf::Vector2f b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Whether the picture has the colour all around a point, at the given distances across and down.
bool DiscAround(const sf::Image& image, sf::Vector2f centre, sf::Vector2f radius, sf::Color color)
{
    for (int i = 0; i < 16; ++i)
    {
        const float angle = static_cast<float>(i) * std::numbers::pi_v<float> / 8.f;
        const sf::Vector2f point = centre + sf::Vector2f(radius.x * std::cos(angle), radius.y * std::sin(angle));
        if (point.x < 0.f || point.y < 0.f || point.x >= static_cast<float>(image.getSize().x) ||
            point.y >= static_cast<float>(image.getSize().y) ||
            image.getPixel(static_cast<unsigned>(point.x), static_cast<unsigned>(point.y)) != color)
        {
            return false;
        }
    }
    return true;
}

// A player seen at the same place in both pictures, well away from a ball that has not moved either; none (area 0)
// while play is still moving.
// In a resized window every length in the picture is the pitch's times the window's scale.
Blob StandingApartFromTheBall(const sf::Image& before, const sf::Image& after, sf::Vector2f scale = {1.f, 1.f})
{
    const float area = scale.x * scale.y;
    const float length = std::min(scale.x, scale.y);
    // The markers of a selected holder cut the ball's yellow in pieces: all of it together.
    const auto ballBefore = Blobs(before, sf::Color::Yellow, 1, true);
    const auto ballAfter = Blobs(after, sf::Color::Yellow, 1, true);
    if (ballBefore.size() != 1 || ballAfter.size() != 1 ||
        DistanceBetween(ballBefore.front().centre, ballAfter.front().centre) > 1.f)
    {
        return {};
    }
    const sf::Vector2f ball = ballAfter.front().centre;
    Blob best;
    for (const sf::Color team : {sf::Color::Blue, sf::Color::Red})
    {
        const int playerArea = static_cast<int>(600.f * area);
        const auto earlier = Blobs(before, team, playerArea);
        // An opponent over him or half hidden under him: a click at his centre could pick either.
        const auto opponents =
            Blobs(after, team == sf::Color::Blue ? sf::Color::Red : sf::Color::Blue, static_cast<int>(100.f * area));
        for (const Blob& blob : Blobs(after, team, playerArea))
        {
            // A player who has reached his target steps across it and back, a few pixels, every frame; in a
            // shrunken picture those few pixels are not fewer, for the blob's edge pixels round the other way.
            const bool stands =
                std::any_of(earlier.begin(), earlier.end(),
                            [&](const Blob& b) { return DistanceBetween(b.centre, blob.centre) < 4.f; });
            // One whole player: his number and the debug rings may take a little of his area, nothing more. The
            // lane lines cut a player standing on one in two, and the halves of two players side by side there
            // can make one blob of a player's area, centred between them on the grass.
            const bool whole = static_cast<float>(blob.area) > 1500.f * area &&
                               static_cast<float>(blob.area) < 2100.f * area &&
                               DiscAround(after, blob.centre, 15.f * scale, team);
            // The ball handed to a player in an in-goal area would be a try, and gone from him at once.
            const bool inFieldOfPlay = blob.centre.x > 160.f * scale.x && blob.centre.x < 1120.f * scale.x;
            const bool alone =
                std::none_of(opponents.begin(), opponents.end(),
                             [&](const Blob& b) { return DistanceBetween(b.centre, blob.centre) < 50.f * length; });
            if (stands && whole && alone && inFieldOfPlay && DistanceBetween(blob.centre, ball) > 80.f * length &&
                (best.area == 0 || DistanceBetween(blob.centre, ball) > DistanceBetween(best.centre, ball)))
            {
                best = blob;
            }
        }
    }
    return best;
}

// Whether all of the ball's yellow lies around a point of the picture.
auto BallNear(int x, int y, float tolerance)
{
    return [=](const sf::Image& image)
    {
        const auto ball = Blobs(image, sf::Color::Yellow, 1, true);
        return ball.size() == 1 &&
               DistanceBetween(ball.front().centre, {static_cast<float>(x), static_cast<float>(y)}) < tolerance;
    };
}

class GameWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
        std::filesystem::copy_file(TRYZONE_FONT_PATH, folder.Path() / "Hack-Regular.ttf");
    }

    sf::Image Shot(GameProcess& game, const std::string& name)
    {
        sf::Image image = x11::Screenshot(game.Window());
        // Kept beside the game's files, for a look when a test fails.
        (void)image.saveToFile((folder.Path() / (name + ".png")).string());
        return image;
    }

    // A busy machine may take a while to draw the frame that answers a key: waits for it, a few seconds at most.
    template <class Shown> sf::Image ShotOnceShown(GameProcess& game, const std::string& name, Shown shown)
    {
        sf::Image image = Shot(game, name);
        for (int attempt = 0; attempt < 100 && !shown(image); ++attempt)
        {
            std::this_thread::sleep_for(50ms);
            image = Shot(game, name);
        }
        return image;
    }

    TemporaryFolder folder;
};
} // namespace

TEST_F(GameWindowTest, PlaysTheMatchAndAnswersAPersonAtTheKeyboardAndMouse)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start()) << game.Stderr() << " wait status " << game.EarlyExitStatus();

    // The first frames: everyone near his kick-off spot, nobody yet in anybody's way. A slow build may take a
    // moment to show its first frame.
    const auto shown = [](const sf::Image& image)
    { return image.getSize() == sf::Vector2u(1280, 720) && Near(image.getPixel(20, 400), kInGoal); };
    sf::Image start = Shot(game, "start");
    for (int attempt = 0; attempt < 100 && !shown(start); ++attempt)
    {
        std::this_thread::sleep_for(50ms);
        start = Shot(game, "start");
    }
    ASSERT_EQ(start.getSize(), sf::Vector2u(1280, 720));
    EXPECT_TRUE(Near(start.getPixel(20, 400), kInGoal));
    EXPECT_TRUE(Near(start.getPixel(1260, 400), kInGoal));
    EXPECT_TRUE(Near(start.getPixel(640, 200), kField));
    // Semi-transparent white over the seam between in-goal and field.
    EXPECT_TRUE(Near(start.getPixel(126, 400), sf::Color(219, 232, 204), 4)) << int(start.getPixel(126, 400).r);
    EXPECT_EQ(Blobs(start, sf::Color::Blue, 200).size(), 5u);
    EXPECT_EQ(Blobs(start, sf::Color::Red, 200).size(), 5u);
    EXPECT_EQ(Blobs(start, sf::Color::Yellow, 200).size(), 1u);
    EXPECT_GT(CountPixels(start, {20, 8, 190, 30}, IsTextRed), 40);   // "Score Bleu : 0"
    EXPECT_GT(CountPixels(start, {1050, 8, 210, 30}, IsTextRed), 40); // "Score Rouge : 0"

    // Numpad5 shows the debug marks, magenta lane lines among them; a second press hides them.
    ASSERT_TRUE(x11::PressKey(game.Window(), "KP_5"));
    const auto laneLines = [](const sf::Image& image) { return CountPixels(image, {0, 238, 120, 4}, IsMagenta); };
    const sf::Image debug = ShotOnceShown(game, "debug", [&](const sf::Image& image) { return laneLines(image) > 0; });
    EXPECT_GT(CountPixels(debug, {0, 238, 120, 4}, IsMagenta), 100);
    EXPECT_GT(CountPixels(debug, {0, 478, 120, 4}, IsMagenta), 100);
    ASSERT_TRUE(x11::PressKey(game.Window(), "KP_5"));
    EXPECT_EQ(
        laneLines(ShotOnceShown(game, "debug-off", [&](const sf::Image& image) { return laneLines(image) == 0; })), 0);

    // In debug mode the carrier is left to the user: he runs on to the line he was heading for, and after that try
    // the new carrier stands still while the others settle around him. Then pick a player standing apart from the
    // ball with the middle button, press E, and the ball is his.
    ASSERT_TRUE(x11::PressKey(game.Window(), "KP_5"));
    // On a busy machine a player found standing may have moved by the time the click lands, and the ball goes to
    // whoever stands there: pick again, a few times at most.
    int x = 0;
    int y = 0;
    std::vector<Blob> moved;
    for (int handOff = 0; handOff < 3 && moved.empty(); ++handOff)
    {
        Blob receiver;
        sf::Image before = Shot(game, "settling");
        // On a busy machine the game draws fewer frames, and the carrier takes longer to reach the line.
        for (int attempt = 0; attempt < 200 && receiver.area == 0; ++attempt)
        {
            std::this_thread::sleep_for(300ms);
            const sf::Image after = Shot(game, "settled");
            receiver = StandingApartFromTheBall(before, after);
            before = after;
        }
        ASSERT_GT(receiver.area, 0) << "the players never settled";
        x = static_cast<int>(receiver.centre.x);
        y = static_cast<int>(receiver.centre.y);
        ASSERT_TRUE(x11::Click(game.Window(), 2, x, y));
        ASSERT_TRUE(x11::PressKey(game.Window(), "e"));
        // The receiver's markers now cover the middle of the ball: look at all of its yellow together.
        const sf::Image handed = ShotOnceShown(game, "handed", BallNear(x, y, 12.f));
        if (BallNear(x, y, 12.f)(handed))
        {
            moved = Blobs(handed, sf::Color::Yellow, 1, true);
        }
    }
    ASSERT_EQ(moved.size(), 1u) << "the ball never reached the player clicked, last at " << x << ", " << y;

    EXPECT_EQ(game.Close(), 0) << game.Stderr();
    EXPECT_EQ(ReadFile(folder.Path() / "PlayersSettings.json"), DefaultsFileText);
    EXPECT_NE(game.Stdout().find("Config saved to: PlayersSettings.json\n"), std::string::npos) << game.Stdout();

    // A second start reads the file it wrote.
    GameProcess again(folder.Path());
    ASSERT_TRUE(again.Start()) << again.Stderr() << " wait status " << again.EarlyExitStatus();
    EXPECT_EQ(again.Close(), 0);
    EXPECT_NE(again.Stdout().find("Config loaded and validated successfully.\n"), std::string::npos) << again.Stdout();
}

TEST_F(GameWindowTest, ClicksInAResizedWindowLandWhereThePointerIs)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start()) << game.Stderr() << " wait status " << game.EarlyExitStatus();
    // A resize before the first frame may be lost to the window's own set-up.
    for (int attempt = 0; attempt < 100 && !Near(Shot(game, "start").getPixel(20, 400), kInGoal); ++attempt)
    {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(x11::PressKey(game.Window(), "KP_5"));

    // Half size, then another shape; at each, hand the ball to a player picked where he is drawn.
    for (const sf::Vector2i size : {sf::Vector2i(640, 360), sf::Vector2i(900, 780)})
    {
        ASSERT_TRUE(x11::ResizeWindow(game.Window(), size.x, size.y));
        const sf::Vector2f scale(static_cast<float>(size.x) / 1280.f, static_cast<float>(size.y) / 720.f);
        const std::string name = std::to_string(size.x) + "x" + std::to_string(size.y);
        // Stretched, the in-goal area ends before 128 pixels; drawn at the old size it would reach past them.
        const unsigned betweenGoalLines = static_cast<unsigned>(64.f * (1.f + scale.x));
        bool stretched = false;
        for (int attempt = 1; attempt <= 200 && !stretched; ++attempt)
        {
            const sf::Image shot = Shot(game, "resized-" + name);
            stretched = shot.getSize() == sf::Vector2u(size) && Near(shot.getPixel(betweenGoalLines, 100), kField);
            if (!stretched && attempt % 20 == 0)
            {
                // Without a window manager a resize can go unnoticed by the game; the same size again would send
                // nothing, so the corner is dragged a pixel out and back.
                ASSERT_TRUE(x11::ResizeWindow(game.Window(), size.x + 1, size.y + 1));
                ASSERT_TRUE(x11::ResizeWindow(game.Window(), size.x, size.y));
            }
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_TRUE(stretched) << "the picture never followed the window to " << name;
        // Paused, nobody moves: the player found on the picture is where the game has him when the click comes.
        ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
        Blob receiver;
        sf::Image before = Shot(game, "resized-" + name);
        for (int attempt = 1; attempt <= 100 && receiver.area == 0; ++attempt)
        {
            if (attempt % 10 == 0)
            {
                // Nobody stands apart in this frame: play on a little and pause again.
                ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
                std::this_thread::sleep_for(500ms);
                ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
            }
            std::this_thread::sleep_for(100ms);
            const sf::Image after = Shot(game, "paused-" + name);
            ASSERT_EQ(after.getSize(), sf::Vector2u(size));
            receiver = StandingApartFromTheBall(before, after, scale);
            before = after;
        }
        ASSERT_GT(receiver.area, 0) << "no player stood apart at " << name;
        const int x = static_cast<int>(receiver.centre.x);
        const int y = static_cast<int>(receiver.centre.y);
        ASSERT_TRUE(x11::Click(game.Window(), 2, x, y));
        ASSERT_TRUE(x11::PressKey(game.Window(), "e"));
        // The ball moves onto its holder at the next step.
        ASSERT_TRUE(x11::PressKey(game.Window(), "period"));
        const float tolerance = 12.f * std::max(scale.x, scale.y);
        const auto ball =
            Blobs(ShotOnceShown(game, "handed-" + name, BallNear(x, y, tolerance)), sf::Color::Yellow, 1, true);
        ASSERT_EQ(ball.size(), 1u);
        EXPECT_LT(DistanceBetween(ball.front().centre, {static_cast<float>(x), static_cast<float>(y)}), tolerance)
            << name << ": clicked at " << x << ", " << y;
        ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    }

    EXPECT_EQ(game.Close(), 0) << game.Stderr();
    EXPECT_EQ(game.Stdout().find("joueur non valide"), std::string::npos) << game.Stdout();
}

} // namespace tryzone
