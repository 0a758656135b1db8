#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <string>

namespace tryzone
{

// Small direct conversations with the X server, as the window manager or a person would have them.
namespace x11
{
// Asks the window to close, as its close button does (WM_DELETE_WINDOW).
void SendCloseRequest(unsigned long window);
[[nodiscard]] std::string WindowTitle(unsigned long window);
// Finds a top-level window by its exact title; 0 when there is none.
[[nodiscard]] unsigned long FindWindow(const std::string& title);
// The colour of one pixel of a window, as shown on the screen.
[[nodiscard]] sf::Color PixelAt(unsigned long window, int x, int y);
// The whole window as shown on the screen; empty when it cannot be read.
[[nodiscard]] sf::Image Screenshot(unsigned long window);
void MoveWindow(unsigned long window, int x, int y);

// Real input through the X server, as a person gives it (xdotool): the pointer moves over the window first,
// so the key goes to the window under it. A resize is a person dragging the window's corner.
bool ResizeWindow(unsigned long window, int width, int height);
bool PressKey(unsigned long window, const std::string& key);
bool Click(unsigned long window, int button, int x, int y);
} // namespace x11

} // namespace tryzone
