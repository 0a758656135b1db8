#include "window/SettingsWatcher.h"

#include "run/MatchRunner.h"
#include "settings/PlayersConfig.h"
#include "settings/RegularFile.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <sys/stat.h>

namespace tryzone
{

SettingsWatcher::SettingsWatcher(std::string file) : path(std::move(file)), last(LookNow()) {}

SettingsWatcher::Look SettingsWatcher::LookNow() const
{
    Look look;
    std::error_code error;
    look.target = std::filesystem::read_symlink(path, error).string();
    Descriptor file;
    struct stat status = {};
    switch (OpenRegular(path, file, status))
    {
    case OpenOutcome::Opened:
        look.exists = true;
        static_cast<void>(ReadBounded(file.Get(), look.content, PlayersConfig::MaxFileBytes + 1));
        break;
    case OpenOutcome::NotAFile:
        look.exists = true;
        break;
    case OpenOutcome::CannotOpen:
        look.exists = errno != ENOENT;
        break;
    }
    return look;
}

bool SettingsWatcher::Changed()
{
    Look now = LookNow();
    if (now == last)
    {
        pending.reset();
        return false;
    }
    if (pending && *pending == now)
    {
        last = std::move(now);
        pending.reset();
        return true;
    }
    pending = std::move(now);
    return false;
}

SettingsWatcher::Outcome SettingsWatcher::Load() const
{
    Outcome outcome;
    PlayersConfig config(path);
    // The loader's line is wanted in the status line as well as on standard error.
    const auto loaded = config.Load();
    if (!loaded)
    {
        std::cerr << loaded.Reason() << std::endl;
        outcome.message = loaded.Reason();
        return outcome;
    }
    std::cout << kLoadedLine << std::endl;
    for (const std::string& warning : *loaded)
    {
        std::cerr << warning << std::endl;
    }
    const auto defaults = DefaultPlayers();
    if (const int filled = config.CompleteFrom(defaults); filled > 0)
    {
        std::cout << kFilledInPrefix << filled << std::endl;
    }
    outcome.players = config.records;
    return outcome;
}

} // namespace tryzone
