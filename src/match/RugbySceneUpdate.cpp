#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "core/Random.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace tryzone
{

namespace
{
void DrawBand(float from, float to, float height, sf::Color color)
{
    DebugOverlay::DrawRectangle({from, 0.f}, {to - from, height}, color, DebugLayer::Background, true);
}

// Label and score in a fixed buffer: the scores are drawn every frame, and formatting them allocates nothing.
class ScoreText
{
public:
    ScoreText(std::string_view label, std::int32_t score)
    {
        std::memcpy(buffer.data(), label.data(), label.size());
        length = static_cast<std::size_t>(
            std::to_chars(buffer.data() + label.size(), buffer.data() + buffer.size(), score).ptr - buffer.data());
    }

    [[nodiscard]] std::string_view View() const { return {buffer.data(), length}; }

private:
    std::array<char, 32> buffer{};
    std::size_t length = 0;
};

void PlaceCentre(Entity& entity, sf::Vector2f centre)
{
    entity.PlaceAt(centre.x, centre.y, 0.5f, 0.5f);
}
} // namespace

void RugbyScene::Update()
{
    const float width = static_cast<float>(WindowWidth());
    const float height = static_cast<float>(WindowHeight());
    // Queued before the try test: a try shows in the score from the next frame on. A headless run's overlay drops
    // every request, so none is built there.
    if (DebugOverlay::Enabled())
    {
        DrawPitch(width, height);
        DrawScores();
    }

    // The ball over a try line scores for the team that attacks that line; whoever carries it, unless the laws
    // give a carry over one's own line to the opponents as a restart.
    const float ballX = ball->PositionAt(0.5f, 0.5f).x;
    if (ballX < kLeftTryLine * width && !tryPending)
    {
        laws->ownTryLineRestart && ballCarrier->team == 0 ? CarriedOverOwnLine() : ScoreTry(true);
    }
    else if (ballX > kRightTryLine * width && !tryPending)
    {
        laws->ownTryLineRestart && ballCarrier->team == 1 ? CarriedOverOwnLine() : ScoreTry(false);
    }

    if (debugMode)
    {
        DrawDebugShapes(width, height);
    }
}

void RugbyScene::DrawStill() const
{
    DrawPitch(static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()));
    DrawScores();
}

void RugbyScene::DrawDebugMarks() const
{
    DrawDebugShapes(static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()));
    for (const Player* player : players)
    {
        player->DrawDebugMarks();
    }
}

void RugbyScene::ScoreTry(bool redScored)
{
    ++(redScored ? redScore : blueScore);
    tryPending = true;
    Notify(&MatchObserver::OnTry, static_cast<std::uint8_t>(redScored ? 1 : 0));
    ResetKickOff(!redScored);
}

void RugbyScene::CarriedOverOwnLine()
{
    Notify(&MatchObserver::OnRestart, *ballCarrier);
    RestartPlay(ballCarrier->team == 0);
}

void RugbyScene::RestartPlay(bool redTeamReceives)
{
    // The try's own reset, without its score.
    tryPending = true;
    ResetKickOff(redTeamReceives);
}

void RugbyScene::ResetKickOff(bool redTeamReceives)
{
    if (!tryPending)
    {
        return;
    }
    const auto backOnSpot = [](Player& player, sf::Vector2f spot)
    {
        PlaceCentre(player, spot);
        player.Halt();
        // The boost runs out at the player's next update, and the next possession may boost again.
        player.boostTimer = player.boostDuration;
    };
    // The formation, not the settings' start positions: every restart looks the same.
    const float width = static_cast<float>(WindowWidth());
    for (std::size_t k = 0; k < formation.size(); ++k)
    {
        backOnSpot(*players[k], formation[k]);
        backOnSpot(*players[5 + k], MirroredSpot(formation[k], width));
    }
    const std::size_t k = static_cast<std::size_t>(RandomInt(0, 4));
    Player* receiver = redTeamReceives ? players[5 + k] : players[k];
    ballCarrier = receiver;
    ball->holder = receiver;
    PlaceCentre(*ball, redTeamReceives ? MirroredSpot(formation[k], width) : formation[k]);
    tryPending = false;
    Notify(&MatchObserver::OnKickOff, *receiver);
}

void RugbyScene::DrawPitch(float width, float height) const
{
    DrawBand(kLeftTryLine * width, kRightTryLine * width, height, kFieldOfPlay);
    DrawBand(0.f, kLeftTryLine * width, height, kInGoal);
    DrawBand(kRightTryLine * width, width, height, kInGoal);
    // Over the seams at 0.1 W and 0.9 W, which are the scoring boundaries.
    for (const Band& band : kTryLineBands)
    {
        DrawBand(band.from * width, band.to * width, height, kTryLine);
    }
}

void RugbyScene::DrawScores() const
{
    DebugOverlay::DrawText(1050.f, 10.f, ScoreText("Score Rouge : ", redScore).View(), sf::Color::Red,
                           DebugLayer::Foreground);
    DebugOverlay::DrawText(20.f, 10.f, ScoreText("Score Bleu : ", blueScore).View(), sf::Color::Red,
                           DebugLayer::Foreground);
}

void RugbyScene::DrawDebugShapes(float width, float height) const
{
    const float laneHeight = height / 3.f;
    for (int i = 0; i < 3; ++i)
    {
        const float y = static_cast<float>(i) * laneHeight;
        DebugOverlay::DrawLine(0.f, y, width, y, sf::Color::Magenta, DebugLayer::Foreground);
    }
    if (selectedPlayer != nullptr)
    {
        const sf::Vector2f centre = selectedPlayer->PositionAt(0.5f, 0.5f);
        DebugOverlay::DrawCircle(centre.x, centre.y, 10.f, sf::Color::Magenta, false, 1.f, DebugLayer::Foreground);
    }
    if (selectedReceiver != nullptr)
    {
        const sf::Vector2f centre = selectedReceiver->PositionAt(0.5f, 0.5f);
        DebugOverlay::DrawCircle(centre.x, centre.y, 5.f, sf::Color::Black, false, 1.f, DebugLayer::Foreground);
    }
    if (const Player* teammate = FindNearestTeammateToBall())
    {
        const sf::Vector2f from = ballCarrier->PositionAt(0.5f, 0.5f);
        const sf::Vector2f to = teammate->PositionAt(0.5f, 0.5f);
        // Red when the teammate stands level or towards x = W, green when behind towards x = 0, for both teams.
        const sf::Color color = to.x >= from.x ? sf::Color::Red : sf::Color::Green;
        DebugOverlay::DrawLine(from.x, from.y, to.x, to.y, color, DebugLayer::Foreground);
    }
}

} // namespace tryzone
