#include "support/X11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>

namespace x11
{
namespace
{
struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};

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
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return sf::Color(static_cast<sf::Uint8>((pixel >> 16) & 0xff), static_cast<sf::Uint8>((pixel >> 8) & 0xff),
                     static_cast<sf::Uint8>(pixel & 0xff));
}
} // namespace x11
