#include "laws/Laws.h"

#include "files/JsonReader.h"
#include "settings/ConsoleText.h"
#include "settings/RegularFile.h"

#include <cmath>

namespace tryzone
{

namespace
{
using nlohmann::json;

constexpr std::size_t kMaxLineText = 160;

// The place is the key as a JSON pointer ("/forwardPass"), made fit for one line as the rest.
Unexpected Refused(const std::string& name, const std::string& key, const std::string& what)
{
    return Unexpected{ConsoleText(name, kMaxLineText) + ": " + (key.empty() ? "" : JsonPointer({key}) + ": ") + what};
}

// Each law's key, in the order the file is written; a description is allowed and kept nowhere.
constexpr const char* kForwardPass = "forwardPass";
constexpr const char* kForwardPassTolerance = "forwardPassTolerance";
constexpr const char* kOwnTryLineRestart = "ownTryLineRestart";
constexpr const char* kDeadBallLines = "deadBallLines";
constexpr const char* kDescription = "description";

json Number(float value)
{
    // Whole numbers are written as such: "4" rather than "4.0".
    const double wide = static_cast<double>(value);
    return std::floor(wide) == wide ? json(static_cast<std::int64_t>(wide)) : json(wide);
}
} // namespace

const Laws& GameLaws()
{
    static const Laws laws;
    return laws;
}

nlohmann::ordered_json LawsToJson(const Laws& laws)
{
    return {{kForwardPass, laws.forwardPass},
            {kForwardPassTolerance, Number(laws.forwardPassTolerance)},
            {kOwnTryLineRestart, laws.ownTryLineRestart},
            {kDeadBallLines, laws.deadBallLines}};
}

std::string LawsText(const Laws& laws)
{
    return LawsToJson(laws).dump(4) + "\n";
}

Expected<Laws> LawsFromJson(const json& document, const std::string& name)
{
    if (!document.is_object())
    {
        return Refused(name, "", "not a JSON object");
    }
    Laws laws;
    for (const auto& item : document.items())
    {
        // Named references, not a structured binding: clang 14, which builds the fuzz targets, cannot capture one.
        const std::string& key = item.key();
        const json& value = item.value();
        const auto flag = [&](bool& law) -> Expected<void>
        {
            if (!value.is_boolean())
            {
                return Refused(name, key, "not true or false");
            }
            law = value.get<bool>();
            return {};
        };
        Expected<void> read;
        if (key == kForwardPass)
        {
            read = flag(laws.forwardPass);
        }
        else if (key == kOwnTryLineRestart)
        {
            read = flag(laws.ownTryLineRestart);
        }
        else if (key == kDeadBallLines)
        {
            read = flag(laws.deadBallLines);
        }
        else if (key == kForwardPassTolerance)
        {
            if (!value.is_number())
            {
                return Refused(name, key, "not a number");
            }
            const double tolerance = value.get<double>();
            if (!(tolerance >= 0.0 && tolerance <= static_cast<double>(kMaxForwardPassTolerance)))
            {
                return Refused(name, key, "out of range (0 to 1280 pixels)");
            }
            laws.forwardPassTolerance = static_cast<float>(tolerance);
        }
        else if (key == kDescription)
        {
            if (!value.is_string())
            {
                return Refused(name, key, "not a string");
            }
        }
        else
        {
            return Refused(name, key,
                           "unknown key (known: forwardPass, forwardPassTolerance, ownTryLineRestart, "
                           "deadBallLines, description)");
        }
        if (!read)
        {
            return read.Error();
        }
    }
    return laws;
}

Expected<Laws> ParseLaws(std::string_view text, const std::string& name)
{
    // The project's reader refuses a key given twice, and says where a syntax fault is.
    Expected<json> document = ReadJsonText(text, name);
    if (!document)
    {
        return document.Error();
    }
    return LawsFromJson(*document, name);
}

Expected<Laws> ReadLawsFile(const std::string& path)
{
    Descriptor file;
    struct stat status = {};
    const OpenOutcome opened = OpenRegular(path, file, status);
    if (opened != OpenOutcome::Opened)
    {
        return Refused(path, "", opened == OpenOutcome::NotAFile ? "not a regular file" : "cannot be opened");
    }
    std::string text;
    const ReadOutcome outcome = ReadBounded(file.Get(), text, kMaxLawsFileBytes);
    if (outcome != ReadOutcome::Read)
    {
        return Refused(path, "", outcome == ReadOutcome::TooLarge ? "larger than 64 KiB" : "cannot be read");
    }
    return ParseLaws(text, path);
}

} // namespace tryzone
