#pragma once

#include <array>
#include <string_view>
#include <variant>

namespace tryzone
{

// Each catalogue entry as a typed value: the player's behaviour builds its actions and conditions from these, with
// one std::visit that does not compile while an entry has no builder. The members' initial values are the entries'
// defaults, which are the built-in behaviour; the catalogue takes its defaults from here.

// Where in his lane a supporter runs: the top edge or the middle, drawn at each entry or fixed.
enum class LanePosition
{
    Random,
    Edge,
    Centre,
};

// The evasive point of a defender: chosen by the player's own draw, mirrored, sign-turned, or no evasion at all.
enum class Evasion
{
    Player,
    Mirror,
    Sign,
    None,
};

// Who receives a pass.
enum class Receiver
{
    Random,   // any teammate, as the ball picks him
    Nearest,  // the teammate nearest to the passer
    Advanced, // the teammate nearest to the opponents' goal line
};

// Whom a marker follows.
enum class MarkChoice
{
    Lane,    // the opponent in his own lane nearest to him
    Nearest, // the nearest opponent no teammate marks already
    Slot,    // the opponent of a given slot of the other team
};

template <class Enum> struct WordFor
{
    std::string_view word;
    Enum value;
};

inline constexpr std::array<WordFor<LanePosition>, 3> kLanePositionWords{
    {{"random", LanePosition::Random}, {"edge", LanePosition::Edge}, {"centre", LanePosition::Centre}}};
inline constexpr std::array<WordFor<Evasion>, 4> kEvasionWords{
    {{"player", Evasion::Player}, {"mirror", Evasion::Mirror}, {"sign", Evasion::Sign}, {"none", Evasion::None}}};
inline constexpr std::array<WordFor<Receiver>, 3> kReceiverWords{
    {{"random", Receiver::Random}, {"nearest", Receiver::Nearest}, {"advanced", Receiver::Advanced}}};
inline constexpr std::array<WordFor<MarkChoice>, 3> kMarkChoiceWords{
    {{"lane", MarkChoice::Lane}, {"nearest", MarkChoice::Nearest}, {"slot", MarkChoice::Slot}}};

// A parameter that is the player's own value unless a number is given.
inline constexpr float kPlayersOwn = -1.f;

struct IdleStep
{
};

struct SupportStep
{
    float behind = 1.f; // carrier radii
    LanePosition lanePosition = LanePosition::Random;
};

struct DefendStep
{
    Evasion evasive = Evasion::Player;
};

struct AttackStep
{
    float speedFactor = kPlayersOwn; // below 0: the player's own attackSpeedFactor
};

struct PassStep
{
    Receiver receiver = Receiver::Random;
};

struct HoldStep
{
    float depth = 0.25f; // share of the pitch's length from the team's own goal line
};

struct MarkStep
{
    MarkChoice opponent = MarkChoice::Lane;
    int slot = 0;     // with MarkChoice::Slot: 0 to 4, counted within the other team
    float gap = 30.f; // pixels between the marked opponent and the marker, on the marker's goal side
};

struct PlayerHaveBallTest
{
};

struct TeamHaveBallTest
{
};

struct EnemyIsNearTest
{
    float distance = kPlayersOwn; // below 0: the player's enemyIsTooNearDistance
};

struct BallInZoneTest
{
    float from = 0.f;
    float to = 0.5f;
};

struct ScoreDifferenceTest
{
    int atLeast = 1;
    int atMost = 1000;
};

// In the catalogue's order.
using ActionStep = std::variant<IdleStep, SupportStep, DefendStep, AttackStep, PassStep, HoldStep, MarkStep>;
using ConditionTest =
    std::variant<PlayerHaveBallTest, TeamHaveBallTest, EnemyIsNearTest, BallInZoneTest, ScoreDifferenceTest>;

} // namespace tryzone
