#pragma once

#include "files/Expected.h"

#include <nlohmann/json.hpp>
#include <string_view>

namespace tryzone
{

// One JSON document parsed whole, refusing an object that names a key twice (the library keeps the last silently).
// The reason is "line L, column C: what" for a syntax fault, "KEY: given twice" for a duplicate.
[[nodiscard]] Expected<nlohmann::json> ParseStrictJson(std::string_view text);

} // namespace tryzone
