#include "Plot.h"

#include "PlotSweepScript.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr const char* kPlotter = "gnuplot";

// A gnuplot string: single quotes, with any quote inside doubled.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
    {
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Commands(const Variation& variation, int matchesPerValue, const std::vector<SweepRow>& rows,
                     const std::string& output)
{
    std::ostringstream commands;
    const std::string side = variation.who.starts_with("slot:") ? "slot " + variation.who.substr(5) : variation.who;
    commands << "output = " << Quoted(output) << "\nvaried = " << Quoted(variation.key) << "\nside = " << Quoted(side)
             << "\nmatches = " << matchesPerValue << "\n$sweep << EOD\n";
    for (const SweepRow& row : rows)
    {
        const TeamTotals& blue = row.totals.teams[0];
        const TeamTotals& red = row.totals.teams[1];
        std::array<char, 256> line{};
        std::snprintf(line.data(), line.size(), "%s %.6f %.6f %.6f %.6f %.6f %.6f %.6f\n", FloatText(row.value).c_str(),
                      100.0 * blue.wins / static_cast<double>(row.results.size()), 100.0 * row.blueWins.low,
                      100.0 * row.blueWins.high, blue.triesMean, blue.triesSpread, red.triesMean, red.triesSpread);
        commands << line.data();
    }
    commands << "EOD\n" << kPlotSweepScript;
    return commands.str();
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size())
    {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Runs gnuplot with the commands on its standard input; its own complaints go to our standard error.
std::optional<std::string> RunPlotter(const std::string& commands)
{
    std::array<int, 2> ends{};
    if (pipe(ends.data()) != 0)
    {
        return std::string("cannot start ") + kPlotter + ": " + std::strerror(errno);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[1]);
    std::array<char*, 2> argv{const_cast<char*>(kPlotter), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, kPlotter, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (spawned != 0)
    {
        close(ends[1]);
        return std::string("cannot start ") + kPlotter + ": " + std::strerror(spawned);
    }
    // A plotter that stops reading is reported by its exit status, not by SIGPIPE ending us.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    WriteAll(ends[1], commands);
    close(ends[1]);
    std::signal(SIGPIPE, previous);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    {
        return std::string(kPlotter) + " failed to draw the chart";
    }
    return std::nullopt;
}
} // namespace

std::string PlotterMissing()
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
    {
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / kPlotter;
        if (access(candidate.c_str(), X_OK) == 0)
        {
            return "";
        }
    }
    return std::string("--plot draws with ") + kPlotter +
           ", which is not installed: install the Debian package gnuplot-nox (apt-get install gnuplot-nox)";
}

std::optional<std::string> PlotSweep(const Variation& variation, int matchesPerValue, const std::vector<SweepRow>& rows,
                                     const std::string& file)
{
    auto failure = RunPlotter(Commands(variation, matchesPerValue, rows, file));
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (!failure && (error || size == 0))
    {
        failure = std::string(kPlotter) + " drew nothing";
    }
    return failure;
}
