#pragma once

#include "settings/PlayerSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// Notices edits to the settings file during play by its content and the file its link names, never by size and
// time alone (a copy that keeps both is an edit; a touch or a save with nothing changed is none), and loads the
// edited file without ever writing, moving or creating it: the user is editing it.
class SettingsWatcher
{
public:
    explicit SettingsWatcher(std::string path);

    // True once for each change since the last one reported (or since construction), once the new content has held
    // still from one call to the next: a file still being written is read again before it is loaded.
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
    struct Look
    {
        bool exists = false;
        std::string target;  // where a symbolic link points
        std::string content; // at most one byte past the loader's limit
        bool operator==(const Look& other) const = default;
    };
    [[nodiscard]] Look LookNow() const;

    std::string path;
    Look last;
    std::optional<Look> pending; // a change seen once, to be confirmed
};

} // namespace tryzone
