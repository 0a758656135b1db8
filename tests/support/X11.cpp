#include "support/X11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <memory>

namespace tryzone
{

namespace x11
{
namespace
{
struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};

sf::Color ToColor(unsigned long pixel)
{
    return sf::Color(static_cast<sf::Uint8>((pixel >> 16) & 0xff), static_cast<sf::Uint8>((pixel >> 8) & 0xff),
                     static_cast<sf::Uint8>(pixel & 0xff));
}

int IgnoreError(Display*, XErrorEvent*)
{
    // A window that is gone answers as if it had no title or pixels; Xlib's default would end the process.
    return 0;
}

std::unique_ptr<Display, DisplayCloser> Open()
{
    XSetErrorHandler(IgnoreError);
    return std::unique_ptr<Display, DisplayCloser>(XOpenDisplay(nullptr));
}

unsigned long Search(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr)
    {
        const bool match = title == name;
        XFree(name);
        if (match)
        {
            return window;
        }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0)
    {
        for (unsigned int i = 0; i < count && found == 0; ++i)
        {
            found = Search(display, children[i], title);
        }
        if (children != nullptr)
        {
            XFree(children);
        }
    }
    return found;
}
} // namespace

void SendCloseRequest(unsigned long window)
{
    auto display = Open();
    if (!display)
    {
        return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), window, False, NoEventMask, &event);
    XFlush(display.get());
}

std::string WindowTitle(unsigned long window)
{
    auto display = Open();
    std::string title;
    char* name = nullptr;
    if (display && XFetchName(display.get(), window, &name) != 0 && name != nullptr)
    {
        title = name;
        XFree(name);
    }
    return title;
}

unsigned long FindWindow(const std::string& title)
{
    auto display = Open();
    if (!display)
    {
        return 0;
    }
    return Search(display.get(), XDefaultRootWindow(display.get()), title);
}

sf::Color PixelAt(unsigned long window, int x, int y)
{
    auto display = Open();
    if (!display)
    {
        return sf::Color::Transparent;
    }
    XImage* image = XGetImage(display.get(), window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
    {
        return sf::Color::Transparent;
    }
    const sf::Color color = ToColor(XGetPixel(image, 0, 0));
    XDestroyImage(image);
    return color;
}

sf::Image Screenshot(unsigned long window)
{
    sf::Image shot;
    auto display = Open();
    XWindowAttributes attributes{};
    if (!display || XGetWindowAttributes(display.get(), window, &attributes) == 0)
    {
        return shot;
    }
    XImage* image = XGetImage(display.get(), window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
    {
        return shot;
    }
    shot.create(static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height));
    for (int y = 0; y < attributes.height; ++y)
    {
        for (int x = 0; x < attributes.width; ++x)
        {
            shot.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y), ToColor(XGetPixel(image, x, y)));
        }
    }
    XDestroyImage(image);
    return shot;
}

void MoveWindow(unsigned long window, int x, int y)
{
    auto display = Open();
    if (display)
    {
        XMoveWindow(display.get(), window, x, y);
        XSync(display.get(), False);
    }
}

bool ResizeWindow(unsigned long window, int width, int height)
{
    const std::string command = "xdotool windowsize " + std::to_string(window) + " " + std::to_string(width) + " " +
                                std::to_string(height);
    return std::system(command.c_str()) == 0;
}

bool PressKey(unsigned long window, const std::string& key)
{
    // Near the bottom middle of the window, whatever its size: (640, 700) at 1280 x 720.
    int x = 640;
    int y = 700;
    auto display = Open();
    XWindowAttributes attributes{};
    if (display && XGetWindowAttributes(display.get(), window, &attributes) != 0)
    {
        x = attributes.width / 2;
        y = attributes.height - 20;
    }
    const std::string command = "xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
                                std::to_string(y) + " key " + key;
    return std::system(command.c_str()) == 0;
}

bool Click(unsigned long window, int button, int x, int y)
{
    const std::string command = "xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
                                std::to_string(y) + " click " + std::to_string(button);
    return std::system(command.c_str()) == 0;
}
} // namespace x11

} // namespace tryzone
