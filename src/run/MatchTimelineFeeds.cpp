// What feeds a timeline besides the window: an order source's orders and a recording played headless.
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchTimeline.h"

#include <algorithm>

namespace tryzone
{

void MatchTimeline::Decide(std::int64_t step, bool keep)
{
    if (orders == nullptr)
    {
        return;
    }
    decided.clear();
    orders->Decide(runner, runner.Frame() + 1, decided);
    asked = std::max(asked, step);
    // The recorded orders stay the truth for the recorded frames.
    if (!keep)
    {
        return;
    }
    for (const SlotOrder& given : decided)
    {
        if (runner.Scene().players[static_cast<std::size_t>(given.slot)]->order != given.order)
        {
            Keep(OrderInput(step, given.slot, given.order));
            Apply(history.back());
        }
    }
}

std::vector<MatchResult> ReplayHeadless(const Recording& recording, std::ostream* events,
                                        const volatile std::sig_atomic_t* stop)
{
    MatchTimeline timeline(recording.seed, recording.players, events, recording.tactics, recording.numbering);
    timeline.SetCheckpointSpacing(0);
    timeline.Preload(recording.inputs, recording.lastFrame);
    while (timeline.Frame() < recording.lastFrame && (stop == nullptr || *stop == 0))
    {
        timeline.Advance(kMaxFrameTime);
    }
    return timeline.Results();
}

} // namespace tryzone
