#pragma once

#include "tactics/Tactic.h"

#include <cstddef>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tryzone
{

// A tactics file (NAME.tactics.json) read and checked whole before anything is built from it.
struct TacticsRead
{
    std::shared_ptr<const CompiledTactic> tactic; // null when the file was refused
    std::string error;                            // the one line that says why, naming the file
    std::vector<std::string> warnings;            // "Warning: " lines: states that are never reached
};

// More than this is not a tactics file.
inline constexpr std::size_t kMaxTacticsFileBytes = 1024 * 1024;

// Reads and checks the file at path.
[[nodiscard]] TacticsRead ReadTacticsFile(const std::string& path);
// Checks the text of a file, which `name` names in the lines.
[[nodiscard]] TacticsRead ParseTactics(std::string_view text, const std::string& name);
// Checks a document already parsed, such as one kept in a recording.
[[nodiscard]] TacticsRead TacticsFromJson(const nlohmann::json& document, const std::string& name);

// The document a tactics file holds, every parameter written; reading it back gives the same tactic.
[[nodiscard]] nlohmann::ordered_json TacticToJson(const Tactic& tactic);
// The file's text: the document with an indent of four spaces and a final line end.
[[nodiscard]] std::string TacticText(const Tactic& tactic);

} // namespace tryzone
