#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tryzone
{

// Text from elsewhere (a library's message quoting the file) made fit for one console line: valid UTF-8 sequences
// are kept, any other byte and every control character is written as \xNN, and the result is cut after at most
// maxBytes at a character boundary, with "..." to show the cut.
[[nodiscard]] std::string ConsoleText(std::string_view text, std::size_t maxBytes);

} // namespace tryzone
