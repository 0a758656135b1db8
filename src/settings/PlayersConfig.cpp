#include "settings/PlayersConfig.h"

#include "files/AtomicFile.h"
#include "files/Descriptor.h"
#include "settings/ConsoleText.h"
#include "settings/PlayerRecordJson.h"
#include "settings/RegularFile.h"
#include "settings/RepeatedKeys.h"
#include "settings/SettingsHint.h"
#include "shape/MatchShape.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tryzone
{

namespace
{
using nlohmann::json;

// The library quotes the offending text whole, so a single huge value would make a line of a megabyte, and a file
// that is not UTF-8 would put its raw bytes on the console.
void PrintLibraryText(std::ostream& out, std::string_view text)
{
    constexpr std::size_t MaxLength = 200;
    out << ConsoleText(text, MaxLength) << std::endl;
}

// The text Save writes: the first ten records.
std::string SavedText(const std::vector<PlayerSettings>& records)
{
    json document = json::array();
    for (std::size_t i = 0; i < records.size() && i < kPlayerSlots; ++i)
    {
        document.push_back(RecordToJson(records[i]));
    }
    return document.dump(4, ' ', false);
}

// Whether the open file holds exactly text; it is read only when the sizes agree, and then rewound.
bool Holds(int descriptor, const struct stat& status, const std::string& text)
{
    if (status.st_size != static_cast<off_t>(text.size()))
    {
        return false;
    }
    std::string contents;
    const bool read = ReadBounded(descriptor, contents, PlayersConfig::MaxFileBytes) == ReadOutcome::Read;
    return ::lseek(descriptor, 0, SEEK_SET) == 0 && read && contents == text;
}

// The file name as given, and where it really leads when it is a link: the user should know which file was
// written or could not be.
std::string NameWithTarget(const std::string& fileName, const std::filesystem::path& target)
{
    return target == std::filesystem::path(fileName) ? fileName : fileName + " -> " + target.string();
}

// Slots 0 to 4 are the blue side and 5 to 9 the red side in every query, kick-off and score, whatever the file's
// Team says; a file that says otherwise is used as it is, but not without a word.
void WarnAboutTeams(const std::vector<PlayerSettings>& loaded, std::ostream& complaints)
{
    for (std::size_t slot = 0; slot < loaded.size(); ++slot)
    {
        const bool blueSlot = SideOfSlot(static_cast<int>(slot)) == Side::Blue;
        if (blueSlot && loaded[slot].Team != 0)
        {
            complaints << "Warning: slot " << slot
                       << " is on the blue side (slots 0 to 4) but its Team is not \"Blue\"." << std::endl;
        }
        else if (!blueSlot && loaded[slot].Team == 0)
        {
            complaints << "Warning: slot " << slot << " is on the red side (slots 5 to 9) but its Team is \"Blue\"."
                       << std::endl;
        }
    }
}
} // namespace

PlayersConfig::PlayersConfig(std::string path) : fileName(std::move(path)) {}

namespace
{
// The file's text, read whole and bounded; false, with the loader's line printed, when it cannot be.
bool ReadSettingsText(const std::string& fileName, std::string& text, std::ostream& complaints)
{
    Descriptor file;
    struct stat status = {};
    const OpenOutcome opened = OpenRegular(fileName, file, status);
    if (opened == OpenOutcome::CannotOpen)
    {
        complaints << "Failed to open config file: " << fileName << std::endl;
        return false;
    }
    if (opened == OpenOutcome::NotAFile)
    {
        complaints << "Failed to read config file: " << fileName << std::endl;
        return false;
    }
    const ReadOutcome outcome = ReadBounded(file.Get(), text, PlayersConfig::MaxFileBytes);
    file.Close();
    if (outcome == ReadOutcome::TooLarge)
    {
        complaints << "Config file too large (more than 1 MiB): " << fileName << std::endl;
        return false;
    }
    if (outcome == ReadOutcome::Failed)
    {
        complaints << "Failed to read config file: " << fileName << std::endl;
        return false;
    }
    return true;
}

// Every entry checked and appended to records in order; false, with the loader's line printed, at the first that
// fails, the entries before it staying appended.
bool ReadEntries(const json& document, std::vector<PlayerSettings>& records, std::ostream& complaints)
{
    if (!document.is_array())
    {
        complaints << "Invalid JSON format: expected an array of players." << std::endl;
        return false;
    }
    std::size_t loaded = 0;
    for (const json& entry : document)
    {
        if (loaded == kPlayerSlots)
        {
            complaints << "Too many players in JSON file. Expected maximum: " << kPlayerSlots << std::endl;
            return false;
        }
        if (!HasRequiredKeys(entry))
        {
            complaints << "Invalid JSON format: missing keys in one of the player entries." << std::endl;
            return false;
        }
        if (!HasExpectedTypes(entry))
        {
            complaints << "Invalid JSON format: incorrect data types in one of the player entries." << std::endl;
            return false;
        }
        records.push_back(ToRecord(entry));
        ++loaded;
    }
    return true;
}
} // namespace

namespace
{
// After the loader's own line, what to fix; nothing when even that cannot be said (out of memory).
void PrintHint(const json& document, std::ostream& complaints) noexcept
{
    try
    {
        if (const std::string hint = SettingsHint(document); !hint.empty())
        {
            complaints << hint << std::endl;
        }
    }
    catch (const std::exception&)
    {
    }
}
} // namespace

namespace
{
// The lines written to a stream, one string each.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    return lines;
}

std::string WithoutLastLineEnd(std::string text)
{
    while (!text.empty() && text.back() == '\n')
    {
        text.pop_back();
    }
    return text;
}
} // namespace

Expected<std::vector<std::string>> PlayersConfig::Load()
{
    std::ostringstream complaints;
    if (LoadInto(complaints))
    {
        return Lines(complaints.str());
    }
    return Unexpected{WithoutLastLineEnd(complaints.str())};
}

bool PlayersConfig::LoadInto(std::ostream& complaints)
{
    json document;
    try
    {
        std::string text;
        if (!ReadSettingsText(fileName, text, complaints))
        {
            return false;
        }
        // Extraction from a stream reads one value and leaves whatever follows it unexamined.
        std::istringstream in(text);
        in >> document;
        for (const std::string& warning : RepeatedKeyWarnings(text, fileName))
        {
            complaints << warning << std::endl;
        }
        const auto first = static_cast<std::ptrdiff_t>(records.size());
        if (!ReadEntries(document, records, complaints))
        {
            PrintHint(document, complaints);
            return false;
        }
        WarnAboutTeams(std::vector<PlayerSettings>(records.begin() + first, records.end()), complaints);
        return true;
    }
    catch (const json::parse_error& error)
    {
        complaints << "JSON parsing error: ";
        PrintLibraryText(complaints, error.what());
        return false;
    }
    catch (const std::exception& error)
    {
        complaints << "Error while loading config: ";
        PrintLibraryText(complaints, error.what());
        // A value of the wrong kind met while converting an entry; other failures leave no document to speak of.
        if (dynamic_cast<const json::type_error*>(&error) != nullptr)
        {
            PrintHint(document, complaints);
        }
        return false;
    }
}

void PlayersConfig::AppendRecords(const std::array<PlayerSettings, kPlayerSlots>& settings)
{
    records.insert(records.end(), settings.begin(), settings.end());
}

Expected<std::string> PlayersConfig::Save() const
{
    const std::string text = SavedText(records);

    // Through a link, the file it leads to is replaced and the link stays.
    const std::filesystem::path target = FinalTarget(fileName);
    if (!ReplaceFile(target, [&text](int descriptor) { return WriteAll(descriptor, text); }))
    {
        return Unexpected{"Failed to create or open file: " + NameWithTarget(fileName, target)};
    }
    return NameWithTarget(fileName, target);
}

Expected<std::string> PlayersConfig::BackUpFile() const
{
    // The backup lies beside the file a link leads to: that is the file about to be replaced.
    const std::filesystem::path target = FinalTarget(fileName);
    struct stat status = {};
    if (::lstat(target.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR))
    {
        return std::string(); // nothing there to lose, a link leading nowhere included
    }

    // A copy keeps the very bytes and leaves the file in place until a save replaces it in one step, so a save
    // that fails afterwards still leaves the file as it was. Only a regular file is copied; anything else (a
    // folder, a FIFO, a device) fails here, and so nothing is written over it.
    const std::string backupName = target.string() + ".bak";
    Descriptor source;
    const bool opened = OpenRegular(target.string(), source, status) == OpenOutcome::Opened;
    // Two games started together on one broken file: the second to get here finds the first one's defaults, the
    // broken file being kept already. Copying them would put the defaults over that backup.
    if (opened && Holds(source.Get(), status, SavedText(records)))
    {
        return std::string();
    }
    const bool copied =
        opened && ReplaceFile(
                      backupName, [&source](int descriptor) { return CopyAll(source.Get(), descriptor); },
                      FileAccess{status.st_mode, status.st_uid, status.st_gid});
    if (!copied)
    {
        return Unexpected{"Failed to back up config file: " + fileName};
    }
    return backupName;
}

int PlayersConfig::CompleteFrom(const std::array<PlayerSettings, kPlayerSlots>& defaults)
{
    int appended = 0;
    for (std::size_t slot = records.size(); slot < defaults.size(); ++slot)
    {
        records.push_back(defaults[slot]);
        ++appended;
    }
    return appended;
}

} // namespace tryzone
