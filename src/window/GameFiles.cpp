#include "window/GameFiles.h"

#include "files/LogFile.h"
#include "run/RecordingFile.h"

#include <cerrno>
#include <cstring>

namespace tryzone
{

std::optional<std::string> WrittenOutput::Failure(int error)
{
    if (error == 0 || reported)
    {
        return std::nullopt;
    }
    reported = true;
    return "cannot write " + path + " (" + option + "): " + std::strerror(error) +
           "; the file is left as it stood, playing on";
}

Expected<void> OpenGameOutputs(const GameOptions& options, RecordingFile& recording, LogFile& events)
{
    if (auto checked = CheckGameFiles(options); !checked)
    {
        return checked;
    }
    if (!options.record.empty() && !recording.Open(options.record))
    {
        return Unexpected{"cannot write " + options.record + ": " + std::strerror(errno)};
    }
    if (!options.events.empty())
    {
        if (const int error = events.Open(options.events); error != 0)
        {
            return Unexpected{"cannot write " + options.events + ": " + std::strerror(error)};
        }
    }
    return {};
}

std::vector<NamedFile> GameFiles(const GameOptions& options)
{
    std::vector<NamedFile> files = {{"the font", "Hack-Regular.ttf"}};
    const std::pair<const char*, const std::string*> named[] = {{"--settings", &options.settings},
                                                                {"--replay", &options.replay},
                                                                {"--blue-tactics", &options.blueTactics},
                                                                {"--red-tactics", &options.redTactics},
                                                                {"--laws", &options.laws},
                                                                {"--record", &options.record},
                                                                {"--events", &options.events}};
    for (const auto& [option, path] : named)
    {
        if (!path->empty())
        {
            files.push_back({option, *path});
        }
    }
    return files;
}

} // namespace tryzone
