#pragma once

#include "files/Expected.h"

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tryzone
{

// A key given twice in one object, where the reader was told to let the last one win.
struct JsonDuplicate
{
    std::vector<std::string> path; // from the document down to the object holding the key (indices as text)
    std::string key;
};

struct JsonReadOptions
{
    // Deeper than this is refused before anything walks the document.
    std::size_t maxDepth = 64;
    // Null: a second key of one object is refused. Otherwise the last value wins and each repeat is listed here.
    std::vector<JsonDuplicate>* duplicates = nullptr;
    // False: one value is read and whatever follows it is left unexamined.
    bool wholeText = true;
};

// The project's one reader of JSON text. A fault is one line, "FILE: PLACE: what", the place a JSON pointer
// ("/states/0/parameters/depth") or, for a syntax error, "line L, column C".
[[nodiscard]] Expected<nlohmann::json> ReadJsonText(std::string_view text, std::string_view fileName,
                                                    const JsonReadOptions& options = {});
// The same, keeping each object's keys in the file's order.
[[nodiscard]] Expected<nlohmann::ordered_json> ReadOrderedJsonText(std::string_view text, std::string_view fileName,
                                                                   const JsonReadOptions& options = {});

// The path as a JSON pointer, each token escaped ("~" as "~0", "/" as "~1") and fit for one console line.
[[nodiscard]] std::string JsonPointer(const std::vector<std::string>& path);

} // namespace tryzone
