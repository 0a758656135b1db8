#include "drawing/Video.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tryzone
{

namespace
{
constexpr const char* kEncoder = "ffmpeg";

std::string LastLine(std::FILE* file)
{
    if (file == nullptr)
    {
        return "";
    }
    std::rewind(file);
    std::array<char, 512> chunk{};
    std::string last;
    while (std::fgets(chunk.data(), chunk.size(), file) != nullptr)
    {
        std::string line = chunk.data();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        {
            line.pop_back();
        }
        if (!line.empty())
        {
            last = line;
        }
    }
    return last;
}
} // namespace

std::string VideoEncoderMissing()
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
    {
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / kEncoder;
        if (access(candidate.c_str(), X_OK) == 0)
        {
            return "";
        }
    }
    return std::string("--video encodes with ") + kEncoder +
           ", which is not installed: install the Debian package ffmpeg (apt-get install ffmpeg)";
}

Expected<std::unique_ptr<VideoEncoder>> VideoEncoder::Start(int width, int height, int framesPerSecond)
{
    std::unique_ptr<VideoEncoder> encoder(new VideoEncoder());
    encoder->pictureBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    std::string pattern = (std::filesystem::temp_directory_path() / "tryzone-video-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        return Unexpected{std::string("cannot make a folder for the video: ") + std::strerror(errno)};
    }
    encoder->folder = pattern;
    std::array<int, 2> pipeEnds{};
    if (pipe(pipeEnds.data()) != 0)
    {
        return Unexpected{std::string("cannot start ") + kEncoder + ": " + std::strerror(errno)};
    }
    encoder->complaints = std::tmpfile();
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(framesPerSecond);
    const std::string output = encoder->folder + "/video.mp4";
    std::vector<std::string> arguments{kEncoder,     "-hide_banner", "-loglevel", "error",    "-f",      "rawvideo",
                                       "-pix_fmt",   "rgb24",        "-s",        size,       "-r",      rate,
                                       "-i",         "pipe:0",       "-an",       "-c:v",     "libx264", "-preset",
                                       "veryfast",   "-crf",         "23",        "-pix_fmt", "yuv420p", "-movflags",
                                       "+faststart", "-f",           "mp4",       "-y",       output};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
    {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (encoder->complaints != nullptr)
    {
        posix_spawn_file_actions_adddup2(&actions, fileno(encoder->complaints), STDERR_FILENO);
    }
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const int spawned = posix_spawnp(&encoder->pid, kEncoder, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (spawned != 0)
    {
        close(pipeEnds[1]);
        encoder->pid = -1;
        return Unexpected{std::string("cannot start ") + kEncoder + ": " + std::strerror(spawned)};
    }
    encoder->input = pipeEnds[1];
    return encoder;
}

Expected<void> VideoEncoder::Add(const std::uint8_t* rgb)
{
    // An encoder that stops reading is reported by its exit status, not by SIGPIPE ending us.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::size_t done = 0;
    while (done < pictureBytes)
    {
        const ssize_t wrote = write(input, rgb + done, pictureBytes - done);
        if (wrote < 0 && errno == EINTR)
        {
            continue;
        }
        if (wrote <= 0)
        {
            std::signal(SIGPIPE, previous);
            const Expected<void> ended = Wait();
            return Unexpected{ended ? std::string(kEncoder) + " stopped reading the pictures" : ended.Reason()};
        }
        done += static_cast<std::size_t>(wrote);
    }
    std::signal(SIGPIPE, previous);
    return {};
}

Expected<void> VideoEncoder::Wait()
{
    if (input >= 0)
    {
        close(input);
        input = -1;
    }
    if (pid < 0)
    {
        return {};
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    pid = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    {
        const std::string complaint = LastLine(complaints);
        return Unexpected{std::string(kEncoder) + " failed to make the video" +
                          (complaint.empty() ? "" : ": " + complaint)};
    }
    return {};
}

Expected<std::string> VideoEncoder::Finish()
{
    if (const auto ended = Wait(); !ended)
    {
        return ended.Error();
    }
    std::ifstream file(folder + "/video.mp4", std::ios::binary);
    std::string video((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file || video.empty())
    {
        return Unexpected{std::string(kEncoder) + " made no video"};
    }
    return video;
}

VideoEncoder::~VideoEncoder()
{
    if (pid > 0)
    {
        kill(pid, SIGTERM);
    }
    (void)Wait();
    if (complaints != nullptr)
    {
        std::fclose(complaints);
    }
    if (!folder.empty())
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

} // namespace tryzone
