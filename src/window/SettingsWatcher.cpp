#include "window/SettingsWatcher.h"

#include "run/MatchRunner.h"
#include "settings/PlayersConfig.h"

#include <iostream>
#include <sstream>
#include <sys/stat.h>

SettingsWatcher::SettingsWatcher(std::string file) : path(std::move(file)), last(Look()) {}

bool SettingsWatcher::Stamp::operator==(const Stamp& other) const
{
    return exists == other.exists && size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

SettingsWatcher::Stamp SettingsWatcher::Look() const
{
    struct stat status = {};
    Stamp stamp;
    if (::stat(path.c_str(), &status) == 0)
    {
        stamp.exists = true;
        stamp.size = status.st_size;
        stamp.modified = status.st_mtim;
    }
    return stamp;
}

bool SettingsWatcher::Changed()
{
    const Stamp now = Look();
    if (now == last)
    {
        return false;
    }
    last = now;
    return true;
}

SettingsWatcher::Outcome SettingsWatcher::Load() const
{
    Outcome outcome;
    PlayersConfig config(path);
    // The loader's line is wanted in the status line as well as on standard error.
    std::ostringstream complaint;
    std::streambuf* const standardError = std::cerr.rdbuf(complaint.rdbuf());
    const bool loaded = config.Load();
    std::cerr.rdbuf(standardError);
    std::cerr << complaint.str() << std::flush;
    if (!loaded)
    {
        outcome.message = complaint.str();
        while (!outcome.message.empty() && outcome.message.back() == '\n')
        {
            outcome.message.pop_back();
        }
        return outcome;
    }
    const auto defaults = DefaultPlayers();
    config.CompleteFrom(defaults);
    outcome.players = config.records;
    return outcome;
}
