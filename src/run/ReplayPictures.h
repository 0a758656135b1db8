#pragma once

#include "core/FramePicture.h"
#include "files/Expected.h"
#include "run/MatchTimeline.h"
#include "run/Recording.h"

#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tryzone
{

// Which frames of a recording to picture.
struct PictureSpan
{
    std::int64_t from = 1;  // the first frame shown
    std::int64_t to = 0;    // the last frame shown; 0 for the recording's last
    std::int64_t every = 1; // frames from one picture to the next
    bool debugMarks = false;
};

// One picture of a replay. The debug marks, when asked, come last in the picture, from marksFrom on (the match draws
// its own among the rest while it is in debug mode).
struct ReplayFrame
{
    std::int64_t frame = 0;
    const MatchTimeline* timeline = nullptr;
    const FramePicture* picture = nullptr;
    std::size_t marksFrom = 0;
};

// A match time as the command lines take it: seconds ("90", "12.5") or minutes and seconds ("1:30"); the frame
// shown at that time, counted from the kick-off (time 0 shows frame 1). Empty for anything else.
[[nodiscard]] std::optional<std::int64_t> FrameAtTime(const std::string& text);
// "12:34" for a number of seconds.
[[nodiscard]] std::string ClockText(double seconds);

// The span checked against the recording: one line saying what is wrong with it, or the span with its end filled in.
[[nodiscard]] Expected<PictureSpan> CheckSpan(PictureSpan span, const Recording& recording);

// Plays the recording headless and hands over the picture of every span.every-th frame from span.from to span.to,
// as the window would show it; each returning false, or stop being set, ends the play early. The event log of the
// frames played goes to events, when given.
void PlayPictures(const Recording& recording, const PictureSpan& span,
                  const std::function<bool(const ReplayFrame&)>& each, std::ostream* events = nullptr,
                  const volatile std::sig_atomic_t* stop = nullptr);

} // namespace tryzone
