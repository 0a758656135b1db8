#include "core/PitchMapping.h"

#include "core/Geometry.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Event.hpp>
#include <cmath>

namespace tryzone
{

namespace
{
// Truncated as a window pixel is, but the view's float arithmetic lands a hair off whole pixels (99.99999 for 100),
// which must not move a click at the creation size.
int WholePixel(float value)
{
    const float nearest = std::round(value);
    return TruncToInt(std::fabs(value - nearest) < 1.f / 1024.f ? nearest : value);
}
} // namespace

sf::Vector2i PixelToPitch(const sf::View& view, sf::Vector2u windowSize, sf::Vector2i pixel)
{
    // The same arithmetic as sf::RenderTarget::mapPixelToCoords, which needs a live window.
    const float width = static_cast<float>(windowSize.x);
    const float height = static_cast<float>(windowSize.y);
    const sf::FloatRect& ratio = view.getViewport();
    const sf::IntRect viewport(static_cast<int>(0.5f + width * ratio.left), static_cast<int>(0.5f + height * ratio.top),
                               static_cast<int>(0.5f + width * ratio.width),
                               static_cast<int>(0.5f + height * ratio.height));
    const sf::Vector2f normalized(
        -1.f + 2.f * static_cast<float>(pixel.x - viewport.left) / static_cast<float>(viewport.width),
        1.f - 2.f * static_cast<float>(pixel.y - viewport.top) / static_cast<float>(viewport.height));
    const sf::Vector2f point = view.getInverseTransform().transformPoint(normalized);
    return {WholePixel(point.x), WholePixel(point.y)};
}

sf::Event EventOnPitch(const sf::View& view, sf::Vector2u windowSize, const sf::Event& event)
{
    sf::Event mapped = event;
    if (event.type == sf::Event::MouseButtonPressed || event.type == sf::Event::MouseButtonReleased)
    {
        const sf::Vector2i point = PixelToPitch(view, windowSize, {event.mouseButton.x, event.mouseButton.y});
        mapped.mouseButton.x = point.x;
        mapped.mouseButton.y = point.y;
    }
    return mapped;
}

} // namespace tryzone
