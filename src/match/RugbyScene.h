#pragma once

#include "core/Scene.h"
#include "laws/Laws.h"
#include "match/MatchObserver.h"
#include "settings/PlayerSettings.h"
#include "settings/PlayersConfig.h"
#include "shape/MatchShape.h"
#include "tactics/Tactic.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tryzone
{

class Ball;
class Player;

// The file the match reads its players from, in the working directory.
inline constexpr const char* kPlayersSettingsFile = "PlayersSettings.json";

// The try lines, as fractions of the pitch's width: red scores past the left-hand one, blue past the right-hand one.
inline constexpr float kLeftTryLine = 0.1f;
inline constexpr float kRightTryLine = 0.9f;

// The pitch as the match draws it, and as every picture of it shows it: the field of play between the try lines, the
// in-goals beyond them, and over each try line a white band, from and to as fractions of the width.
inline const sf::Color kFieldOfPlay(112, 189, 26, 255);
inline const sf::Color kInGoal(90, 151, 21, 255);
inline const sf::Color kTryLine(255, 255, 255, 200);
struct Band
{
    float from;
    float to;
};
inline constexpr std::array<Band, 2> kTryLineBands{{{0.0975f, 0.1025f}, {0.8975f, 0.9025f}}};

// What changes in a match besides its entities and the players it points to, in one aggregate that snapshots copy
// whole.
struct RugbySceneStatus
{
    bool debugMode = false;
    std::int32_t blueScore = 0;
    std::int32_t redScore = 0;
    bool tryPending = false;
    std::array<sf::Vector2f, kTeamSlots> formation{};

    bool operator==(const RugbySceneStatus&) const = default;
};

// One match: slots 0 to 4 hold the blue team (flag 0, attacks towards x = W), slots 5 to 9 the red team
// (flag 1, attacks towards x = 0). Possession is recorded twice, here in ballCarrier and in the ball's holder,
// and every change of possession sets both.
class RugbyScene : public Scene, public RugbySceneStatus
{
public:
    void Initialize() override;
    void HandleEvent(const sf::Event& event) override;
    void Update() override;

    // Tells the observer, when there is one, what just happened.
    template <class... Params, class... Args> void Notify(void (MatchObserver::*event)(Params...), Args&&... args)
    {
        if (observer != nullptr)
        {
            (observer->*event)(std::forward<Args>(args)...);
        }
    }

    // The debug mode's marks as the match stands, the scene's and each player's, for a picture that shows them
    // whatever the mode: in debug mode, the match draws them itself.
    void DrawDebugMarks() const;
    // The pitch and the scores as the match stands, for a picture of a frame that was played unseen.
    void DrawStill() const;

    // Puts every player back on his kick-off spot and gives the ball to a random player of the receiving team.
    void ResetKickOff(bool redTeamReceives);
    // A law that ends play: the team that did not break it restarts from the kick-off formation with the ball, and
    // no score changes.
    void RestartPlay(bool redTeamReceives);

    // The ten players' settings from the settings file: the defaults where the file cannot be used (a broken file
    // is kept aside as a backup before they are written over it), and for the slots a short file leaves empty.
    // What the game says of it goes to lines, in order, for the game to print.
    [[nodiscard]] static std::vector<PlayerSettings>
    ObtainPlayerSettings(const std::array<sf::Vector2f, kTeamSlots>& formation, float width,
                         std::vector<SettingsLine>& lines, const std::string& path = kPlayersSettingsFile);

    // What Initialize's ObtainPlayerSettings had to say.
    std::vector<SettingsLine> settingsLines;

    // Queries the players and the ball put to the match. Teams are slot ranges: flag 0 is slots 0 to 4, flag 1
    // slots 5 to 9. Distances between players are taken on whole-pixel centres, and ties go to the lower slot.

    // A point whose y is the middle of the lane; (0, 0) for a lane that does not exist.
    [[nodiscard]] sf::Vector2f GetLaneCentre(std::uint8_t lane) const;
    // The player of the side without the ball whose centre is nearest to the ball's.
    [[nodiscard]] Player* FindNearestOpponentToBall() const;
    // The carrier's teammate (never the carrier himself) nearest to the ball.
    [[nodiscard]] Player* FindNearestTeammateToBall() const;
    // The nearest player to from among his teammates or his opponents; null when there is none.
    [[nodiscard]] Player* FindNearestPlayer(const Player& from, bool sameTeam) const;
    // The player's slot, 0 to 9; -1 for null or a player who is not one of this match's ten.
    [[nodiscard]] int SlotOf(const Player* player) const;
    // A uniformly random teammate of from, never from himself; null for a team flag that names no side.
    [[nodiscard]] Player* PickRandomTeammate(const Player& from) const;

    std::array<Player*, kPlayerSlots> players{};
    Ball* ball = nullptr;
    Player* ballCarrier = nullptr;
    Player* selectedPlayer = nullptr;
    Player* selectedReceiver = nullptr;
    // Not owned; unset in the game.
    MatchObserver* observer = nullptr;
    // The laws the match is played under; not owned, and alive as long as the match.
    const Laws* laws = &GameLaws();
    // The blue (team flag 0) and red teams' tactics, given before the set-up; null: the default tactic.
    std::array<std::shared_ptr<const CompiledTactic>, 2> tactics{};

protected:
    // Spawns the ten players from their records in slot order, and the ball on a random red player.
    void SetUpMatch(const std::vector<PlayerSettings>& records);

private:
    // The player under the point, in the order 5, 0, 6, 1, ... 9, 4; null when there is none.
    [[nodiscard]] Player* PickAt(int x, int y) const;
    // Counts a try and restarts play with the team that conceded it on the ball.
    void ScoreTry(bool redScored);
    // The carrier took the ball over his own try line, under a law that makes it the opponents' restart.
    void CarriedOverOwnLine();
    void DrawPitch(float width, float height) const;
    void DrawScores() const;
    void DrawDebugShapes(float width, float height) const;
};

} // namespace tryzone
