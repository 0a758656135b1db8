#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

namespace tryzone
{

// What to fix in a settings document the loader refused, as a line for the user: the first offending entry, key and
// value and what was expected. Empty when the document has no such fault (a JSON syntax error names its own place).
[[nodiscard]] std::string SettingsHint(const nlohmann::json& document);

} // namespace tryzone
