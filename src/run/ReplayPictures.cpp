#include "run/ReplayPictures.h"

#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "match/RugbyScene.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tryzone
{

namespace
{
std::optional<double> Number(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value) ||
        value < 0.0)
    {
        return std::nullopt;
    }
    return value;
}
} // namespace

std::optional<std::int64_t> FrameAtTime(const std::string& text)
{
    const std::string_view view(text);
    const std::size_t colon = view.find(':');
    std::optional<double> seconds;
    if (colon == std::string_view::npos)
    {
        seconds = Number(view);
    }
    else if (const auto minutes = Number(view.substr(0, colon)), rest = Number(view.substr(colon + 1));
             minutes && rest && *rest < 60.0 && std::floor(*minutes) == *minutes)
    {
        seconds = *minutes * 60.0 + *rest;
    }
    // A hundred thousand minutes, the longest match a run may ask for.
    if (!seconds || *seconds > 6.0e6)
    {
        return std::nullopt;
    }
    return std::max<std::int64_t>(1, FramesFor(*seconds / 60.0));
}

std::string ClockText(double seconds)
{
    // To the nearest second: a frame's time is a multiple of an awkward length (10:00 is frame 71856, at 599.998 s).
    const long long whole = std::llround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", whole / 60, whole % 60);
    return text;
}

Expected<PictureSpan> CheckSpan(PictureSpan span, const Recording& recording)
{
    if (span.to == 0)
    {
        span.to = recording.lastFrame;
    }
    if (span.from > recording.lastFrame)
    {
        return Unexpected{"--from " + ClockText(static_cast<double>(span.from) * kFrameSeconds) +
                          " is after the match's end at " +
                          ClockText(static_cast<double>(recording.lastFrame) * kFrameSeconds)};
    }
    span.to = std::min(span.to, recording.lastFrame);
    if (span.to < span.from)
    {
        return Unexpected{"--to must come after --from"};
    }
    span.every = std::max<std::int64_t>(1, span.every);
    return span;
}

void PlayPictures(const Recording& recording, const PictureSpan& span,
                  const std::function<bool(const ReplayFrame&)>& each, std::ostream* events,
                  const volatile std::sig_atomic_t* stop)
{
    MatchTimeline timeline(recording.seed, recording.players, events, recording.tactics, recording.numbering);
    timeline.SetCheckpointSpacing(0);
    timeline.Preload(recording.inputs, recording.lastFrame);
    // Nothing is drawn before the first picture: a headless match plays fastest with the overlay off.
    DebugOverlay::SetEnabled(false);
    if (span.from > 1)
    {
        (void)timeline.JumpTo(span.from - 1);
    }
    FramePicture picture;
    const RugbyScene* scene = &timeline.Scene();
    for (std::int64_t frame = span.from; frame <= span.to && timeline.Frame() < recording.lastFrame; ++frame)
    {
        if (stop != nullptr && *stop != 0)
        {
            return;
        }
        const bool shown = (frame - span.from) % span.every == 0;
        DebugOverlay::Instance().Clear();
        DebugOverlay::SetEnabled(shown);
        timeline.Advance(kMaxFrameTime);
        if (!shown)
        {
            continue;
        }
        if (!DebugOverlay::Enabled())
        {
            // A settings reload began a new match, whose start switched the overlay off: drawn once more.
            DebugOverlay::SetEnabled(true);
            timeline.Redraw();
        }
        scene = &timeline.Scene();
        GameHost::Instance().Picture(picture);
        const std::size_t marksFrom = picture.shapes.size();
        if (span.debugMarks && !scene->debugMode)
        {
            DebugOverlay::Instance().Clear();
            scene->DrawDebugMarks();
            DebugOverlay::Instance().AppendTo(picture, DebugLayer::Foreground);
        }
        if (!each({timeline.Frame(), &timeline, &picture, marksFrom}))
        {
            return;
        }
    }
    DebugOverlay::Instance().Clear();
    DebugOverlay::SetEnabled(false);
}

} // namespace tryzone
