#pragma once

#include "files/Expected.h"

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace tryzone
{

// The laws a match is played under. The defaults are the game's own laws: a pass may go anywhere and completes at
// once, a try is the ball past a try line whoever carries it, and nothing bounds a player's x. Each law is a switch
// of its own, so a laws file names only what it changes.
struct Laws
{
    // A pass to a receiver nearer the opponents' try line than the passer, by more than the tolerance (pixels), is
    // not completed: the opponents restart from the kick-off formation with the ball.
    bool forwardPass = false;
    float forwardPassTolerance = 0.f;
    // The ball carried over a team's own try line gives the opponents a restart instead of a try.
    bool ownTryLineRestart = false;
    // No player's centre beyond the dead-ball lines, 0 <= x <= W.
    bool deadBallLines = false;

    bool operator==(const Laws&) const = default;
};

// The default laws, alive for the whole program: a match points at them unless it is given others.
[[nodiscard]] const Laws& GameLaws();
[[nodiscard]] inline bool AreGameLaws(const Laws& laws)
{
    return laws == Laws{};
}

// The tolerance a file may give, in pixels: up to the length of the pitch.
inline constexpr float kMaxForwardPassTolerance = 1280.f;
// More than this is not a laws file.
inline constexpr std::size_t kMaxLawsFileBytes = 64 * 1024;

// Every law written, in a fixed order; reading it back gives the same laws.
[[nodiscard]] nlohmann::ordered_json LawsToJson(const Laws& laws);
// The file's text: the document with an indent of four spaces and a final line end.
[[nodiscard]] std::string LawsText(const Laws& laws);
// Checks a document already parsed (such as one kept in a recording or a part); the one-line reason names `name`,
// the JSON place and the fault.
[[nodiscard]] Expected<Laws> LawsFromJson(const nlohmann::json& document, const std::string& name);
// Checks the text of a laws file, refusing a key given twice.
[[nodiscard]] Expected<Laws> ParseLaws(std::string_view text, const std::string& name);
// Reads and checks the laws file at path.
[[nodiscard]] Expected<Laws> ReadLawsFile(const std::string& path);

} // namespace tryzone
