#pragma once

#include "settings/PlayerSettings.h"

#include <ctime>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Notices edits to the settings file during play by its modification time and size, and loads the edited file
// without ever writing, moving or creating it: the user is editing it.
class SettingsWatcher
{
public:
    explicit SettingsWatcher(std::string path);

    // True once for each change since the last call (or since construction).
    [[nodiscard]] bool Changed();

    struct Outcome
    {
        std::optional<std::vector<PlayerSettings>> players; // none when the file does not load
        std::string message;                                // the loader's line when it does not
    };
    // The ten players the file now gives (short files completed with the defaults), or the loader's complaint,
    // which also goes to standard error.
    [[nodiscard]] Outcome Load() const;

    [[nodiscard]] const std::string& Path() const { return path; }

private:
    struct Stamp
    {
        bool exists = false;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& other) const;
    };
    [[nodiscard]] Stamp Look() const;

    std::string path;
    Stamp last;
};
