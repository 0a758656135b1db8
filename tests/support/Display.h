#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tryzone
{

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#endif

// Window tests need an X display. They skip without one on a developer's desk, but the test script sets
// TRYZONE_REQUIRE_DISPLAY, and there a missing display is a failure.
inline bool HasDisplay()
{
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's software GL driver keeps a few allocations until exit, referenced from its own data, and unloads itself
    // before LeakSanitizer looks, so they would show up as leaks from an unknown module. Opened once more and never
    // closed, the driver stays mapped and its allocations stay reachable; leaks of our own are still reported.
    static void* const driver = dlopen(TRYZONE_GL_DRIVER_PATH, RTLD_LAZY | RTLD_NODELETE);
    static_cast<void>(driver);
#endif
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0')
    {
        return true;
    }
    if (std::getenv("TRYZONE_REQUIRE_DISPLAY") != nullptr)
    {
        ADD_FAILURE() << "TRYZONE_REQUIRE_DISPLAY is set but there is no DISPLAY";
    }
    return false;
}

#define TRYZONE_REQUIRE_DISPLAY_OR_SKIP()                                                                              \
    if (!HasDisplay())                                                                                                 \
    GTEST_SKIP() << "no X display; run under xvfb-run"

} // namespace tryzone
