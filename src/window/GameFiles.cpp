#include "window/GameFiles.h"

#include "files/FileGate.h"
#include "files/LogFile.h"
#include "laws/Laws.h"
#include "run/RecordingFile.h"
#include "tactics/TacticsFile.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <unistd.h>

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
    // The recording is cut back as it is written: a file only. The log may be standard output or a FIFO.
    FileGate gate;
    for (const NamedFile& file : GameFiles(options))
    {
        if (file.option == "--record")
        {
            gate.AddOutput(file.option, file.path, OutputTarget::File);
        }
        else if (file.option == "--events")
        {
            gate.AddOutput(file.option, file.path, OutputTarget::Stream);
        }
        else
        {
            gate.AddInput(file.option, file.path);
        }
    }
    if (auto opened = gate.Open(); !opened)
    {
        return opened;
    }
    if (!options.record.empty() && !recording.Open(options.record))
    {
        return Unexpected{"cannot write " + options.record + ": " + std::strerror(errno)};
    }
    if (!options.events.empty())
    {
        const int stream = gate.TakeStream("--events");
        const int error = stream > STDOUT_FILENO ? events.Adopt(stream) : events.Open(options.events);
        if (error != 0)
        {
            return Unexpected{"cannot write " + options.events + ": " + std::strerror(error)};
        }
    }
    return {};
}

std::vector<NamedFile> GameFiles(const GameOptions& options)
{
    std::vector<NamedFile> files;
    const std::pair<const char*, const std::string*> named[] = {
        {"--settings", &options.settings},      {"--replay", &options.replay}, {"--blue-tactics", &options.blueTactics},
        {"--red-tactics", &options.redTactics}, {"--laws", &options.laws},     {"--record", &options.record},
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

bool ReadGameTactics(const GameOptions& options, MatchTactics& tactics)
{
    for (const auto& [file, tactic] :
         {std::pair{&options.blueTactics, &tactics.blue}, {&options.redTactics, &tactics.red}})
    {
        if (!file->empty())
        {
            TacticsRead read = ReadTacticsFile(*file);
            for (const std::string& warning : read.warnings)
            {
                std::cerr << warning << std::endl;
            }
            if (read.tactic == nullptr)
            {
                std::cerr << read.error << std::endl;
                return false;
            }
            *tactic = std::move(read.tactic);
        }
    }
    if (!options.laws.empty())
    {
        Expected<Laws> laws = ReadLawsFile(options.laws);
        if (!laws)
        {
            std::cerr << laws.Reason() << std::endl;
            return false;
        }
        tactics.laws = AreGameLaws(*laws) ? nullptr : std::make_shared<const Laws>(*laws);
    }
    return true;
}

} // namespace tryzone
