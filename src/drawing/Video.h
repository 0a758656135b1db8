#pragma once

#include "files/Expected.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/types.h>

namespace tryzone
{

// An MP4 video (H.264) made by Debian's ffmpeg program, fed raw pictures through a pipe.
class VideoEncoder
{
public:
    // Starts ffmpeg for pictures of width x height at the given frames per second.
    [[nodiscard]] static Expected<std::unique_ptr<VideoEncoder>> Start(int width, int height, int framesPerSecond);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // One picture: width x height x 3 bytes, red, green and blue, rows from the top.
    [[nodiscard]] Expected<void> Add(const std::uint8_t* rgb);
    // Ends the video and returns the MP4 file's bytes.
    [[nodiscard]] Expected<std::string> Finish();

private:
    VideoEncoder() = default;
    [[nodiscard]] Expected<void> Wait();

    std::size_t pictureBytes = 0;
    int input = -1;
    pid_t pid = -1;
    std::string folder; // ffmpeg's output file lies here
    std::FILE* complaints = nullptr;
};

// Empty when ffmpeg can be started; otherwise what to install.
[[nodiscard]] std::string VideoEncoderMissing();

} // namespace tryzone
