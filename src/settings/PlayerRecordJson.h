// The steps of reading one entry of the settings file, which the loader takes one by one to say which failed.
#pragma once

#include "settings/PlayerSettings.h"

#include <nlohmann/json_fwd.hpp>

namespace tryzone
{

// Every key of an entry is there (and the entry is an object).
[[nodiscard]] bool HasRequiredKeys(const nlohmann::json& entry);
// Every value has its type, and every number fits a float; the keys must be there.
[[nodiscard]] bool HasExpectedTypes(const nlohmann::json& entry);
// The record of an entry that has its keys and types.
[[nodiscard]] PlayerSettings ToRecord(const nlohmann::json& entry);

} // namespace tryzone
