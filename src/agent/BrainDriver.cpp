#include "agent/BrainDriver.h"

#include "agent/Observation.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"
#include "run/Recording.h"
#include "shape/MatchShape.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <stdexcept>

namespace tryzone
{

namespace
{
// A whole number from 0 to 9, and nothing else.
bool ParseSlot(std::string_view text, int& slot)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), slot);
    return error == std::errc() && end == text.data() + text.size() && IsSlot(slot);
}
} // namespace

bool BrainPlan::Empty() const
{
    return std::all_of(brains.begin(), brains.end(), [](const std::string& name) { return name.empty(); });
}

std::string AddBrains(const std::string& text, BrainPlan& plan)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
    {
        return "'" + text + "' is not SLOTS=NAME";
    }
    const std::string name = text.substr(equals + 1);
    if (const auto brain = MakeBrain(name, 0); !brain)
    {
        return brain.Reason();
    }
    std::string_view slots(text.data(), equals);
    while (true)
    {
        const std::size_t comma = slots.find(',');
        const std::string_view part = slots.substr(0, comma);
        const std::size_t dash = part.find('-');
        int first = 0;
        int last = 0;
        if (!ParseSlot(part.substr(0, dash), first) ||
            !ParseSlot(dash == std::string_view::npos ? part : part.substr(dash + 1), last) || last < first)
        {
            return "'" + std::string(part) + "' is not a slot from 0 to 9 or a range of them";
        }
        for (int slot = first; slot <= last; ++slot)
        {
            plan.brains[static_cast<std::size_t>(slot)] = name;
        }
        if (comma == std::string_view::npos)
        {
            return {};
        }
        slots.remove_prefix(comma + 1);
    }
}

void SetTeamBrain(BrainPlan& plan, const std::vector<PlayerSettings>& lineup, int team, const std::string& name)
{
    for (std::size_t slot = 0; slot < plan.brains.size() && slot < lineup.size(); ++slot)
    {
        if (plan.brains[slot].empty() && (lineup[slot].Team == 0 ? 0 : 1) == team)
        {
            plan.brains[slot] = name;
        }
    }
}

Expected<void> CheckPace(const BrainPlan& plan)
{
    for (const std::string& name : plan.brains)
    {
        if (const int frames = name.empty() ? 0 : BrainDecisionFrames(name);
            frames != 0 && frames != plan.decisionFrames)
        {
            return Unexpected{name + " decides every " + std::to_string(frames) + " frames, not every " +
                              std::to_string(plan.decisionFrames) + " as the other brains would"};
        }
    }
    return {};
}

void TakePace(BrainPlan& plan)
{
    for (const std::string& name : plan.brains)
    {
        if (const int frames = name.empty() ? 0 : BrainDecisionFrames(name); frames != 0)
        {
            plan.decisionFrames = frames;
            return;
        }
    }
}

std::string Describe(const BrainPlan& plan)
{
    std::string text;
    for (std::size_t first = 0; first < plan.brains.size();)
    {
        std::size_t end = first + 1;
        while (end < plan.brains.size() && plan.brains[end] == plan.brains[first])
        {
            ++end;
        }
        if (!plan.brains[first].empty())
        {
            text += (text.empty() ? "" : ", ") +
                    (end - first == 1 ? "slot " + std::to_string(first)
                                      : "slots " + std::to_string(first) + " to " + std::to_string(end - 1)) +
                    " " + plan.brains[first];
        }
        first = end;
    }
    return text.empty() ? text : text + ", deciding every " + std::to_string(plan.decisionFrames) + " frames";
}

BrainDriver::BrainDriver(const BrainPlan& plan, std::uint32_t matchSeed, std::int64_t frames)
    : decisionFrames(plan.decisionFrames), framesPerMatch(frames)
{
    for (std::size_t slot = 0; slot < plan.brains.size(); ++slot)
    {
        if (!plan.brains[slot].empty())
        {
            slots.push_back(static_cast<int>(slot));
            auto brain = MakeBrain(plan.brains[slot], matchSeed ^ (0x9E3779B9u * static_cast<std::uint32_t>(slot + 1)));
            if (!brain)
            {
                throw std::invalid_argument(brain.Reason());
            }
            brains.push_back(*std::move(brain));
        }
    }
}

void BrainDriver::BeforeFrame(MatchRunner& runner, std::int64_t frame)
{
    decided.clear();
    Decide(runner, frame, decided);
    for (const SlotOrder& given : decided)
    {
        if (recorded != nullptr && runner.Scene().players[static_cast<std::size_t>(given.slot)]->order != given.order)
        {
            // An unchanged order changes nothing: a replay is fed only the changes, as from Python.
            *recorded += InputLine(OrderInput(frame, given.slot, given.order));
        }
        runner.Order(given.slot, given.order);
    }
}

void BrainDriver::Decide(const MatchRunner& runner, std::int64_t frame, std::vector<SlotOrder>& orders)
{
    if ((frame - 1) % decisionFrames != 0)
    {
        return;
    }
    std::array<float, kObservationSize> features{};
    // Orders move nobody until the frame plays: one look serves every brain.
    const ObservedScene view = Look(runner.Scene());
    for (std::size_t i = 0; i < slots.size(); ++i)
    {
        Observe(runner.Scene(), view, slots[i], frame - 1, framesPerMatch, features.data());
        const AgentAction action = brains[i]->Decide({features, slots[i]});
        orders.push_back({slots[i], OrderFor(action, SideIndex(SideOfSlot(slots[i])))});
    }
}

} // namespace tryzone

namespace tryzone
{

void SetTeamBrains(BrainPlan& plan, const std::vector<PlayerSettings>& lineup, int team,
                   const std::array<std::string, kTeamSlots>& byRank)
{
    std::size_t rank = 0;
    for (std::size_t slot = 0; slot < plan.brains.size() && slot < lineup.size(); ++slot)
    {
        if ((lineup[slot].Team == 0 ? 0 : 1) != team)
        {
            continue;
        }
        if (rank < byRank.size() && plan.brains[slot].empty())
        {
            plan.brains[slot] = byRank[rank];
        }
        ++rank;
    }
}

nlohmann::ordered_json BrainPlanAsJson(const BrainPlan& plan)
{
    nlohmann::ordered_json slots = nlohmann::ordered_json::array();
    for (const std::string& name : plan.brains)
    {
        slots.push_back(name.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(name));
    }
    return {{"slots", slots}, {"decision_frames", plan.decisionFrames}};
}

Expected<BrainPlan> BrainPlanFromJson(const nlohmann::ordered_json& kept)
{
    BrainPlan brains;
    const auto slots = kept.is_object() ? kept.find("slots") : kept.end();
    const auto frames = kept.is_object() ? kept.find("decision_frames") : kept.end();
    if (slots == kept.end() || !slots->is_array() || slots->size() != brains.brains.size())
    {
        return Unexpected{"its brains are not one for each of the ten slots"};
    }
    for (std::size_t slot = 0; slot < brains.brains.size(); ++slot)
    {
        const nlohmann::ordered_json& name = (*slots)[slot];
        if (name.is_null())
        {
            continue;
        }
        // Read as the command line reads it, so that only brains that can play are named.
        const std::string fault =
            name.is_string() ? AddBrains(std::to_string(slot) + "=" + name.get<std::string>(), brains) : "not a name";
        if (!fault.empty())
        {
            return Unexpected{"its brains: " + fault};
        }
    }
    if (frames == kept.end() || !frames->is_number_integer() || frames->get<std::int64_t>() < 1 ||
        frames->get<std::int64_t>() > std::numeric_limits<int>::max())
    {
        return Unexpected{"its brains decide every " + (frames == kept.end() ? std::string("?") : frames->dump()) +
                          " frames"};
    }
    brains.decisionFrames = frames->get<int>();
    return brains;
}

} // namespace tryzone
