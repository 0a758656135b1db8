#pragma once

#include "core/FramePicture.h"
#include "files/Expected.h"
#include "picture/PictureStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tryzone
{

// A moment the page's time bar marks.
struct PageEvent
{
    std::int64_t frame = 0;
    std::string kind; // "try", "tackle" or "pass"
};

// What the page says about the match it plays.
struct MatchPageInfo
{
    std::string title;
    std::vector<std::pair<std::string, std::string>> facts; // shown under the picture: seed, settings, tactics
    int width = 0;
    int height = 0;
    PictureColor clear;
    std::int64_t jumpFrames = 0; // Left and Right
};

// The largest page written, some 30 minutes of a match: a whole 80-minute match makes an 8 MB page that chromium
// takes half a minute and 800 MB to open, and is better cut into clips.
inline constexpr std::size_t kMaxPageBytes = 3u << 20;

// One self-contained HTML page that plays the pictures in a browser (src/batch/match-page.js): nothing is fetched,
// nothing lies beside it. Refused above kMaxPageBytes.
[[nodiscard]] Expected<std::string> MatchPage(const MatchPageInfo& info, const PictureStream& pictures,
                                              const std::vector<PageEvent>& events);

} // namespace tryzone
