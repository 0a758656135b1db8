#include "cli/ShowCommands.h"

#include "drawing/MatchPage.h"
#include "drawing/Video.h"
#include "cli/SimCommands.h"
#include "core/GameHost.h"
#include "files/OutputFiles.h"
#include "files/StopSignals.h"
#include "picture/CairoPicture.h"
#include "picture/PictureStream.h"
#include "run/ReplayPictures.h"

#include <nlohmann/json.hpp>
#include <sstream>

namespace tryzone
{

namespace
{
// A video shows a picture every other frame of the game's 60 a second at x1.
constexpr int kVideoFramesPerSecond = 30;
// The page keeps a picture every fourth frame: 15 a second at x1, and a five-minute clip well under 2 MB.
constexpr std::int64_t kPageEvery = 4;

struct Shown
{
    Recording recording;
    std::string settings;
};

Expected<Shown> MatchToShow(const Options& options, const ShowOptions& show, const std::string& replay)
{
    Shown shown;
    if (!replay.empty())
    {
        auto read = ReadRecording(replay);
        if (!read)
        {
            return read.Error();
        }
        shown.recording = std::move(*read);
        shown.settings = "the recording " + replay;
        return shown;
    }
    const auto players = LoadRunPlayers(options, shown.settings, std::cout);
    if (!players)
    {
        return Unexpected{"the settings cannot be used"};
    }
    const std::uint64_t seed = options.seed ? *options.seed : DrawSeed();
    Recording& recording = shown.recording;
    recording.seed = MatchSeed(seed, show.match);
    recording.players = *players;
    recording.tactics = options.tactics;
    recording.numbering = {FramesFor(options.minutes), show.match};
    recording.lastFrame = recording.numbering.matchFrames;
    shown.settings += ", match " + std::to_string(show.match) + " of run seed " + std::to_string(seed);
    return shown;
}

Expected<PictureSpan> SpanToShow(const ShowOptions& show, const Recording& recording, std::int64_t every,
                                 bool debugMarks)
{
    PictureSpan span;
    span.every = every;
    span.debugMarks = debugMarks;
    for (auto [option, text, frame] : {std::tuple{"--from", &show.from, &span.from}, {"--to", &show.to, &span.to}})
    {
        if (text->empty())
        {
            continue;
        }
        const auto at = FrameAtTime(*text);
        if (!at)
        {
            return Unexpected{std::string(option) + " " + text->substr(0, 40) +
                              ": not a match time (seconds, or minutes:seconds as 1:30)"};
        }
        *frame = *at;
    }
    return CheckSpan(span, recording);
}

std::string TacticName(const std::shared_ptr<const CompiledTactic>& tactic)
{
    return tactic == nullptr ? "default" : tactic->source.description;
}

// The clock, on the picture as on the window's status line.
void AddClock(FramePicture& picture, double seconds)
{
    PictureShape clock;
    clock.kind = ShapeKind::Text;
    clock.color = PictureColor{255, 255, 255, 255};
    clock.x = static_cast<float>(picture.width) / 2.f;
    clock.y = 10.f;
    clock.x2 = 0.5f;
    picture.Add(clock, ClockText(seconds));
}

Expected<std::string> MakeVideo(const Shown& shown, const PictureSpan& span)
{
    if (const std::string missing = VideoEncoderMissing(); !missing.empty())
    {
        return Unexpected{missing};
    }
    auto font = FindFontFile();
    if (!font)
    {
        return font.Error();
    }
    auto painter = CairoPicture::Make(*font);
    if (!painter)
    {
        return painter.Error();
    }
    auto encoder = VideoEncoder::Start(kPitchWidth, kPitchHeight, kVideoFramesPerSecond);
    if (!encoder)
    {
        return encoder.Error();
    }
    FramePicture picture;
    std::vector<std::uint8_t> rgb;
    Expected<void> fed;
    PlayPictures(
        shown.recording, span,
        [&](const ReplayFrame& frame)
        {
            picture = *frame.picture;
            AddClock(picture, frame.timeline->Clock());
            (*painter)->Draw(picture);
            rgb.resize(static_cast<std::size_t>(kPitchWidth) * kPitchHeight * 3);
            (*painter)->CopyRgb(rgb.data());
            fed = (*encoder)->Add(rgb.data());
            return static_cast<bool>(fed);
        },
        nullptr, &StopSignal());
    if (!fed)
    {
        return fed.Error();
    }
    return (*encoder)->Finish();
}

std::vector<PageEvent> PageEvents(const std::string& log, const PictureSpan& span)
{
    std::vector<PageEvent> events;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
    {
        const auto event = nlohmann::json::parse(line, nullptr, false);
        if (!event.is_object() || !event.contains("event") || !event.contains("frame"))
        {
            continue;
        }
        const std::string kind = event["event"].get<std::string>();
        const std::int64_t frame = event["frame"].get<std::int64_t>();
        if ((kind == "try" || kind == "tackle" || kind == "pass") && frame >= span.from && frame <= span.to)
        {
            events.push_back({frame, kind});
        }
    }
    return events;
}

Expected<std::string> MakePage(const Shown& shown, const PictureSpan& span)
{
    PictureStream stream;
    std::ostringstream log;
    PictureColor clear;
    PlayPictures(
        shown.recording, span,
        [&](const ReplayFrame& frame)
        {
            clear = frame.picture->clear;
            stream.Add(frame.frame, frame.timeline->Clock(), *frame.picture, frame.marksFrom);
            return true;
        },
        &log, &StopSignal());
    const Recording& recording = shown.recording;
    MatchPageInfo info;
    info.title = "TryZone: match seed " + std::to_string(recording.seed) + ", " +
                 ClockText(static_cast<double>(span.from) * kFrameSeconds) + " to " +
                 ClockText(static_cast<double>(span.to) * kFrameSeconds);
    info.facts = {{"Match seed", std::to_string(recording.seed)},
                  {"Settings", shown.settings},
                  {"Blue tactics", TacticName(recording.tactics.blue)},
                  {"Red tactics", TacticName(recording.tactics.red)},
                  {"Shown", ClockText(static_cast<double>(span.from) * kFrameSeconds) + " to " +
                                ClockText(static_cast<double>(span.to) * kFrameSeconds) + " of " +
                                ClockText(static_cast<double>(recording.lastFrame) * kFrameSeconds)}};
    info.width = kPitchWidth;
    info.height = kPitchHeight;
    info.clear = clear;
    info.jumpFrames = kJumpFrames;
    return MatchPage(info, stream, PageEvents(log.str(), span));
}
} // namespace

void AddShowOptions(CLI::App& app, ShowOptions& show)
{
    AddFile(app, "--video", show.video,
            "write an MP4 video of the match (of --replay's recording, or of match --match of the\nrun's seed), made "
            "by Debian's ffmpeg, with the score and the clock on the picture");
    AddFile(app, "--html", show.html,
            "write one web page that plays the match in a browser, with nothing beside it: space,\n1-4, Left, Right, "
            "Home as in the game, a time bar with the tries, tackles and passes");
    app.add_option("--from", show.from, "the video or page starts at this match time (90, 1:30; default the kick-off)")
        ->type_name("T");
    app.add_option("--to", show.to, "the video or page ends at this match time (default the match's end)")
        ->type_name("T");
    app.add_flag("--debug", show.debug, "the video shows the debug mode's marks (the page can switch them)");
    app.add_option("--speed", show.speed, "the video plays at x1 (the game's pace), x2, x4 or x8")
        ->type_name("K")
        ->check(CLI::IsMember({1, 2, 4, 8}));
    app.add_option("--match", show.match, "which match of the seeded run to show (default 1)")
        ->type_name("N")
        ->check(CLI::Range(1, kMaxMatches));
}

void AddShowOutputs(ShowOptions& show, OutputFiles& files)
{
    if (!show.video.empty())
    {
        show.videoOutput = &files.Add("--video", show.video, OutputKind::Picture);
    }
    if (!show.html.empty())
    {
        show.htmlOutput = &files.Add("--html", show.html, OutputKind::Text);
    }
}

int ShowCommand(const Options& options, const ShowOptions& show, const std::string& replay, OutputFiles& files)
{
    auto shown = MatchToShow(options, show, replay);
    if (!shown)
    {
        return Fail(2, shown.Reason());
    }
    if (!shown->recording.warning.empty())
    {
        std::cerr << "tryzone-sim: " << shown->recording.warning << std::endl;
    }
    for (auto [output, every] :
         {std::pair{show.videoOutput, 2 * static_cast<std::int64_t>(show.speed)}, {show.htmlOutput, kPageEvery}})
    {
        if (output == nullptr)
        {
            continue;
        }
        // The page carries the debug marks always, for its reader to switch.
        const auto span = SpanToShow(show, shown->recording, every, output == show.htmlOutput || show.debug);
        if (!span)
        {
            return Fail(2, span.Reason());
        }
        auto made = output == show.videoOutput ? MakeVideo(*shown, *span) : MakePage(*shown, *span);
        if (const int signal = StopSignal(); signal != 0)
        {
            return 128 + signal;
        }
        if (!made)
        {
            return Fail(1, "cannot make " + output->Name() + ": " + made.Reason());
        }
        output->Stream() << *made;
        files.Summary() << "Wrote " << output->Name() << ": " << made->size() / 1024 << " KB, "
                        << ClockText(static_cast<double>(span->from) * kFrameSeconds) << " to "
                        << ClockText(static_cast<double>(span->to) * kFrameSeconds) << " of match seed "
                        << shown->recording.seed << "\n";
    }
    if (const auto done = files.Commit(); !done)
    {
        return Fail(1, done.Reason());
    }
    return 0;
}

} // namespace tryzone
