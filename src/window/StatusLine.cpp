#include "window/StatusLine.h"

#include "core/GameHost.h"
#include "run/MatchTimeline.h"
#include "window/PlaybackControls.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <algorithm>
#include <array>
#include <cstdio>

namespace tryzone
{

namespace
{
constexpr float kMessageSeconds = 5.f;

std::string Percent(std::int64_t part, std::int64_t whole)
{
    return std::to_string(whole > 0 ? (100 * part + whole / 2) / whole : 0) + "%";
}
} // namespace

std::string StatusText(const MatchTimeline& timeline, const PlaybackControls& controls, std::int64_t replayEnd)
{
    const std::string replay =
        replayEnd > 0 ? "REPLAY " + std::to_string(timeline.Frame()) + " / " + std::to_string(replayEnd) + "  "
                      : std::string();
    const MatchResult& result = timeline.Result();
    const TeamRecord& blue = result.teams[0];
    const TeamRecord& red = result.teams[1];
    const std::int64_t tenths = static_cast<std::int64_t>(timeline.Clock() * 10.0);
    std::array<char, 32> clock{};
    std::snprintf(clock.data(), clock.size(), "%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                  static_cast<long long>(tenths / 10 % 60), static_cast<long long>(tenths % 10));
    const std::int64_t held = blue.possessionFrames + red.possessionFrames;
    return replay + "Seed " + std::to_string(timeline.Seed()) + "  " + clock.data() + "  x" +
           std::to_string(controls.Speed()) + (controls.Paused() ? "  paused" : "") + "  |  Possession " +
           Percent(blue.possessionFrames, held) + " - " + Percent(red.possessionFrames, held) + "  Passes " +
           std::to_string(blue.passes) + "/" + std::to_string(blue.passAttempts) + " - " + std::to_string(red.passes) +
           "/" + std::to_string(red.passAttempts) + "  Tackles " + std::to_string(blue.tackles) + "/" +
           std::to_string(blue.tackleAttempts) + " - " + std::to_string(red.tackles) + "/" +
           std::to_string(red.tackleAttempts) + "  (blue - red)";
}

void StatusLine::Say(std::string text, bool held)
{
    message = std::move(text);
    heldMessage = held;
    messageAge.restart();
}

std::string Wrapped(const std::string& text, std::size_t columns)
{
    std::string out;
    std::size_t lineStart = 0;
    std::size_t lastSpace = std::string::npos;
    for (char c : text)
    {
        out.push_back(c);
        if (c == '\n')
        {
            lineStart = out.size();
            lastSpace = std::string::npos;
            continue;
        }
        if (c == ' ')
        {
            lastSpace = out.size() - 1;
        }
        if (columns > 0 && out.size() - lineStart > columns)
        {
            if (lastSpace != std::string::npos && lastSpace > lineStart)
            {
                out[lastSpace] = '\n';
                lineStart = lastSpace + 1;
            }
            else
            {
                out.insert(out.size() - 1, 1, '\n');
                lineStart = out.size() - 1;
            }
            lastSpace = std::string::npos;
        }
    }
    return out;
}

void StatusLine::Draw(sf::RenderWindow& window, const MatchTimeline& timeline, const PlaybackControls& controls,
                      std::int64_t replayEnd)
{
    const bool messageShown =
        !message.empty() && (heldMessage || messageAge.getElapsedTime().asSeconds() < kMessageSeconds);
    if (!controls.StatusShown() && !messageShown)
    {
        return;
    }
    std::string text = controls.StatusShown() ? StatusText(timeline, controls, replayEnd) : std::string();
    if (messageShown)
    {
        text = text.empty() ? message : message + "\n" + text;
    }
    constexpr unsigned kSize = 16;
    const sf::Font& font = GameHost::Instance().DefaultFont();
    const float width = static_cast<float>(GameHost::Instance().WindowWidth());
    const float height = static_cast<float>(GameHost::Instance().WindowHeight());
    // The font is monospaced: one glyph's advance gives the columns that fit.
    const float advance = font.getInfo().family.empty() ? 0.f : font.getGlyph(U'M', kSize, false).advance;
    text = Wrapped(text, advance > 0.f ? static_cast<std::size_t>((width - 20.f) / advance) : 0);
    const float lines = static_cast<float>(1 + std::count(text.begin(), text.end(), '\n'));
    sf::Text line(text, font, kSize);
    line.setFillColor(sf::Color::White);
    const float top = height - 8.f - 20.f * lines;
    line.setPosition(10.f, top);
    // Drawn in the window's own view, so the strip stays where the pitch's bottom edge is after a resize.
    sf::RectangleShape strip({width, height - top + 4.f});
    strip.setPosition(0.f, top - 4.f);
    strip.setFillColor(sf::Color(0, 0, 0, 170));
    window.draw(strip);
    window.draw(line);
}

} // namespace tryzone
