#pragma once

#include "files/Expected.h"
#include "files/FileIdentity.h"
#include "tactics/Tactic.h"
#include "window/GameCommandLine.h"

#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

class LogFile;
class RecordingFile;

// Opens --record and --events once every path the options name has been checked, so that a bad one leaves every
// file untouched; the reason when one cannot be used.
[[nodiscard]] Expected<void> OpenGameOutputs(const GameOptions& options, RecordingFile& recording, LogFile& events);

// Every tactics file and the laws file read and checked; false, with its line printed on standard error, when one
// is refused.
[[nodiscard]] bool ReadGameTactics(const GameOptions& options, MatchTactics& tactics);

// Every file the game reads or writes, which S must not write over.
[[nodiscard]] std::vector<NamedFile> GameFiles(const GameOptions& options);

// An output the game writes as it plays, whose first failed write is reported once.
struct WrittenOutput
{
    std::string option;
    std::string path;
    bool reported = false;

    // The line to report for errno error, the first time only.
    [[nodiscard]] std::optional<std::string> Failure(int error);
};

} // namespace tryzone
