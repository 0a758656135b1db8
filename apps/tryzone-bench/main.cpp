// Measures the match simulation as the game runs it, minus the window: simulated frames per CPU second and heap
// allocations per frame, once the first frames have sized every buffer. Debug mode off, no observer.
// Usage: tryzone-bench [frames per run] [runs]; see --help.

#include "BenchOptions.h"
#include "core/CpuTime.h"
#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "core/SfmlPicture.h"
#include "run/MatchRunner.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Event.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace
{
long long allocations = 0;

} // namespace

// Every heap allocation of the program passes through here and is counted.
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
    {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

using namespace tryzone;

namespace
{
// An off-screen picture to draw every frame into, the debug overlay on; false without a display.
bool StartDrawing(MatchRunner& runner, std::unique_ptr<sf::RenderTexture>& picture)
{
    picture = std::make_unique<sf::RenderTexture>();
    if (!picture->create(kPitchWidth, kPitchHeight))
    {
        return false;
    }
    GameHost::Instance().assetDirectory = TRYZONE_FONT_DIRECTORY;
    (void)GameHost::Instance().LoadFont();
    DebugOverlay::SetEnabled(true);
    sf::Event key{};
    key.type = sf::Event::KeyPressed;
    key.key.code = sf::Keyboard::Numpad5;
    runner.Feed(key);
    return true;
}

// The floor under a drawn frame: the last frame's picture drawn again and again, nothing played or gathered.
void DrawAlone(sf::RenderTexture& picture, long long frames)
{
    FramePicture last;
    GameHost::Instance().Picture(last);
    SfmlPicture painter;
    const double start = ProcessCpuSeconds();
    for (long long frame = 0; frame < frames; ++frame)
    {
        picture.clear(sf::Color::Black);
        painter.Draw(picture, last, GameHost::Instance().DefaultFont());
        picture.display();
    }
    std::printf("the same picture drawn alone: %.0f frames per CPU second\n",
                static_cast<double>(frames) / (ProcessCpuSeconds() - start));
}
} // namespace

int main(int argc, char** argv)
{
    BenchOptions options;
    if (const auto status = ParseBenchOptions(argc, argv, options))
    {
        return *status;
    }
    const long long frames = options.frames;
    const int runs = options.runs;
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> players(defaults.begin(), defaults.end());

    MatchRunner runner;
    runner.Start(players, 1, nullptr);
    // Drawing, the game's way: built only when asked, since an off-screen picture needs a display.
    std::unique_ptr<sf::RenderTexture> picture;
    const auto step = [&]
    {
        runner.Step(kMaxFrameTime);
        if (picture)
        {
            GameHost::Instance().DrawTo(*picture);
            DebugOverlay::Instance().Clear();
            picture->display();
        }
    };
    if (options.draw && !StartDrawing(runner, picture))
    {
        std::fprintf(stderr, "tryzone-bench: no off-screen picture can be drawn here (is there a display?)\n");
        return 1;
    }
    const int kWarmUp = options.draw ? 600 : 60000;
    while (runner.Frame() < kWarmUp)
    {
        step();
    }

    std::printf("Match simulation, default players, %s; %d frames of warm-up\n",
                options.draw ? "debug mode on, every frame drawn off screen" : "debug mode off, no observer", kWarmUp);
    std::vector<double> speeds;
    for (int run = 1; run <= runs; ++run)
    {
        const long long allocationsBefore = allocations;
        const double start = ProcessCpuSeconds();
        const std::int64_t end = runner.Frame() + frames;
        while (runner.Frame() < end)
        {
            step();
        }
        const double seconds = ProcessCpuSeconds() - start;
        const long long allocated = allocations - allocationsBefore;
        speeds.push_back(static_cast<double>(frames) / seconds);
        std::printf("run %d: %lld frames in %.3f s of CPU: %.0f frames per CPU second, %lld heap allocations "
                    "(%.6f per frame)\n",
                    run, frames, seconds, speeds.back(), allocated,
                    static_cast<double>(allocated) / static_cast<double>(frames));
    }
    std::sort(speeds.begin(), speeds.end());
    std::printf("median: %.0f frames per CPU second\n", speeds[speeds.size() / 2]);
    if (picture)
    {
        DrawAlone(*picture, frames);
    }
    return 0;
}
