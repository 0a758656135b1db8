#include "run/MatchRunner.h"

#include "behaviour/Player.h"
#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "settings/DefaultPlayerSettings.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tryzone
{

namespace
{
// The game's match with the players given rather than read from the settings file.
class PresetMatch : public RugbyScene
{
public:
    PresetMatch(std::vector<PlayerSettings> records, MatchObserver* listener, const MatchTactics& teamTactics)
        : players(std::move(records)), keptLaws(teamTactics.laws)
    {
        observer = listener;
        tactics = {teamTactics.blue, teamTactics.red};
        if (keptLaws != nullptr)
        {
            laws = keptLaws.get();
        }
    }

    void Initialize() override
    {
        formation = KickOffFormation(static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()));
        SetUpMatch(players);
    }

private:
    std::vector<PlayerSettings> players;
    std::shared_ptr<const Laws> keptLaws;
};

void EmptyWorld()
{
    GameHost& host = GameHost::Instance();
    DebugOverlay::Instance().Clear();
    host.sceneHolder = nullptr;
    host.stepObserver = nullptr;
    if (host.Window() != nullptr)
    {
        host.EndScene();
        return;
    }
    host.Reset();
    // No window: no text may be laid out, so the overlay drops every request.
    DebugOverlay::SetEnabled(false);
}
} // namespace

MatchRunner::~MatchRunner()
{
    if (Running())
    {
        End();
    }
}

const RugbyScene& MatchRunner::Start(const std::vector<PlayerSettings>& players, std::uint32_t seed,
                                     MatchObserver* observer, const MatchTactics& tactics)
{
    GameHost& host = GameHost::Instance();
    // The runner whose match the current world holds; each world holds one match.
    auto* current = static_cast<MatchRunner*>(host.sceneHolder);
    if (current != nullptr && current != this)
    {
        // Its match is about to go: it must not end or step ours later.
        current->scene = nullptr;
        current->frame = 0;
    }
    EmptyWorld();
    host.sceneHolder = this;
    if (host.Window() == nullptr)
    {
        host.UseHeadless(kPitchWidth, kPitchHeight);
    }
    host.SetFrameTime(kMaxFrameTime);
    host.stepObserver = steps;
    SeedRandom(seed);
    host.LaunchScene<PresetMatch>(players, observer, tactics);
    scene = static_cast<RugbyScene*>(host.CurrentScene());
    frame = 0;
    stopped = false;
    return *scene;
}

void MatchRunner::Feed(const sf::Event& event)
{
    for (FrameObserver* observer : observers)
    {
        observer->BeforeInput(frame + 1);
    }
    scene->HandleEvent(event);
}

void MatchRunner::Order(int slot, const PlayerOrder& order)
{
    scene->players[static_cast<std::size_t>(slot)]->order = order;
}

void MatchRunner::Step(float frameTime)
{
    if (stopped)
    {
        return;
    }
    const std::int64_t playing = frame + 1;
    for (FrameObserver* observer : observers)
    {
        observer->BeforeFrame(*this, playing);
    }
    GameHost& host = GameHost::Instance();
    host.SetFrameTime(frameTime);
    host.Update();
    frame = playing;
    for (FrameObserver* observer : observers)
    {
        if (!observer->AfterFrame(*scene, frame))
        {
            stopped = true;
            return;
        }
    }
}

MatchSnapshot MatchRunner::Capture() const
{
    MatchSnapshot snapshot = TakeSnapshot(*scene);
    snapshot.frame = frame;
    snapshot.frameTime = GameHost::Instance().FrameTime();
    return snapshot;
}

void MatchRunner::Restore(const MatchSnapshot& snapshot)
{
    GameHost& host = GameHost::Instance();
    // A match not yet stepped still has its entities queued.
    host.AdmitQueuedEntities();
    host.SetFrameTime(snapshot.frameTime);
    RestoreSnapshot(snapshot, *scene);
    frame = snapshot.frame;
    stopped = false;
}

void MatchRunner::End()
{
    if (GameHost::Instance().sceneHolder == this)
    {
        EmptyWorld();
    }
    scene = nullptr;
    frame = 0;
    stopped = false;
}

void MatchRunner::Watch(FrameObserver& observer)
{
    if (std::find(observers.begin(), observers.end(), &observer) == observers.end())
    {
        observers.push_back(&observer);
    }
}

void MatchRunner::Unwatch(FrameObserver& observer)
{
    observers.erase(std::remove(observers.begin(), observers.end(), &observer), observers.end());
}

void MatchRunner::WatchSteps(StepObserver* observer)
{
    steps = observer;
    if (Running())
    {
        GameHost::Instance().stepObserver = observer;
    }
}

std::array<PlayerSettings, kPlayerSlots> DefaultPlayers()
{
    const float width = static_cast<float>(kPitchWidth);
    return DefaultPlayerSettings(KickOffFormation(width, static_cast<float>(kPitchHeight)), width);
}

std::int64_t FramesFor(double minutes)
{
    return std::llround(minutes * 60.0 / kFrameSeconds);
}

double SimulatedHours(std::int64_t frames)
{
    return static_cast<double>(frames) * kFrameSeconds / 3600.0;
}

std::uint32_t MatchSeed(std::uint64_t runSeed, int match)
{
    // SplitMix64: neighbouring run seeds and match numbers give unrelated match seeds.
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(match);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

} // namespace tryzone
