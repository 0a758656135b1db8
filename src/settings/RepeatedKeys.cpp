#include "settings/RepeatedKeys.h"

#include "files/JsonReader.h"
#include "settings/ConsoleText.h"

namespace tryzone
{

std::vector<std::string> RepeatedKeyWarnings(std::string_view text, const std::string& fileName)
{
    std::vector<JsonDuplicate> duplicates;
    JsonReadOptions options;
    options.duplicates = &duplicates;
    options.wholeText = false; // as the loader, which reads one value and leaves the rest
    std::vector<std::string> warnings;
    if (!ReadJsonText(text, fileName, options))
    {
        return warnings;
    }
    for (const JsonDuplicate& duplicate : duplicates)
    {
        // A player's keys sit at /SLOT; anything else is named by its pointer.
        const std::string where = duplicate.path.empty()       ? "the document"
                                  : duplicate.path.size() == 1 ? "slot " + duplicate.path[0]
                                                               : JsonPointer(duplicate.path);
        warnings.push_back("Warning: " + ConsoleText(fileName, 160) + ": " + where + ": key \"" +
                           ConsoleText(duplicate.key, 60) + "\" appears twice; the last value is used");
    }
    return warnings;
}

} // namespace tryzone
