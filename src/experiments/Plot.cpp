#include "experiments/Plot.h"

#include "PlotSweepScript.h"

#include <algorithm>
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

namespace tryzone
{

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

std::string Commands(const Variation& variation, int matchesPerValue, const std::vector<SweepRow>& rows)
{
    std::ostringstream commands;
    const std::string side = variation.who.starts_with("slot:") ? "slot " + variation.who.substr(5) : variation.who;
    commands << "varied = " << Quoted(variation.key) << "\nside = " << Quoted(side)
             << "\nwhose = " << Quoted(SideName(WhoseSide(variation))) << "\nmatches = " << matchesPerValue
             << "\nvalues = " << rows.size() << "\n$sweep << EOD\n";
    // A list's values come in the order given; the lines join them from left to right.
    std::vector<const SweepRow*> ordered;
    for (const SweepRow& row : rows)
    {
        ordered.push_back(&row);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const SweepRow* a, const SweepRow* b) { return a->value < b->value; });
    for (const SweepRow* each : ordered)
    {
        const SweepRow& row = *each;
        const TeamTotals& blue = row.totals.teams[0];
        const TeamTotals& red = row.totals.teams[1];
        std::array<char, 256> line{};
        std::snprintf(line.data(), line.size(), "%s %.6f %.6f %.6f %.6f %.6f %.6f %.6f\n", FloatText(row.value).c_str(),
                      100.0 * row.WinRate(), 100.0 * row.wins.low, 100.0 * row.wins.high, blue.triesMean,
                      blue.triesSpread, red.triesMean, red.triesSpread);
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

// The last line written to the file, which it closes.
std::string LastLine(std::FILE* file)
{
    if (file == nullptr)
    {
        return "";
    }
    std::rewind(file);
    std::string line;
    std::string last;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), file) != nullptr)
    {
        line += chunk.data();
        if (line.ends_with('\n'))
        {
            line.pop_back();
            if (line.find_first_not_of(" ^\t") != std::string::npos)
            {
                last = line;
            }
            line.clear();
        }
    }
    std::fclose(file);
    const std::size_t start = last.find_first_not_of(' ');
    return start == std::string::npos ? "" : last.substr(start);
}

} // namespace

// Its complaints are kept aside and shown only when it fails.
Expected<std::string> RunPlotter(const std::string& commands)
{
    std::array<int, 2> input{};
    std::array<int, 2> output{};
    if (pipe(input.data()) != 0 || pipe(output.data()) != 0)
    {
        return Unexpected{std::string("cannot start ") + kPlotter + ": " + std::strerror(errno)};
    }
    // Its complaints ("empty x range") are kept aside, and shown only when it fails.
    std::FILE* complaints = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    if (complaints != nullptr)
    {
        posix_spawn_file_actions_adddup2(&actions, fileno(complaints), STDERR_FILENO);
    }
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    // We ignore SIGPIPE; the plotter need not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::array<char*, 2> argv{const_cast<char*>(kPlotter), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, kPlotter, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(input[0]);
    close(output[1]);
    if (spawned != 0)
    {
        close(input[1]);
        close(output[0]);
        if (complaints != nullptr)
        {
            std::fclose(complaints);
        }
        return Unexpected{std::string("cannot start ") + kPlotter + ": " + std::strerror(spawned)};
    }
    // A plotter that stops reading is reported by its exit status, not by SIGPIPE ending us. The picture comes out
    // only after the last command, so writing them all first cannot block on a full pipe.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    WriteAll(input[1], commands);
    close(input[1]);
    std::signal(SIGPIPE, previous);
    std::string png;
    std::array<char, 65536> chunk{};
    for (ssize_t got = 0; (got = read(output[0], chunk.data(), chunk.size())) != 0;)
    {
        if (got < 0 && errno != EINTR)
        {
            break;
        }
        png.append(chunk.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    close(output[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    const std::string complaint = LastLine(complaints);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || png.empty())
    {
        return Unexpected{std::string(kPlotter) + " failed to draw the chart" +
                          (complaint.empty() ? "" : ": " + complaint)};
    }
    return png;
}

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

Expected<std::string> PlotSweep(const Variation& variation, int matchesPerValue, const std::vector<SweepRow>& rows)
{
    return RunPlotter(Commands(variation, matchesPerValue, rows));
}

} // namespace tryzone
