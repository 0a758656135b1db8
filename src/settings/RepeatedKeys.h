#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tryzone
{

// The settings file loads as the JSON library reads it, a key given twice keeping its last value; each such key is
// a "Warning: FILE: slot N: ..." line, since the file says two things at once. No line when the text is no JSON:
// the loader says that itself.
[[nodiscard]] std::vector<std::string> RepeatedKeyWarnings(std::string_view text, const std::string& fileName);

} // namespace tryzone
