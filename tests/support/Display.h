#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// Window tests need an X display. They skip without one on a developer's desk, but the test script sets
// TRYZONE_REQUIRE_DISPLAY, and there a missing display is a failure.
inline bool HasDisplay()
{
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's software GL driver keeps a few allocations until exit and unloads itself before LeakSanitizer looks,
    // so they can be neither named nor suppressed. A test process that touches the display stops counting leaks from
    // here on; the headless tests, each in a process of its own, hunt leaks in the same code.
    __lsan_disable();
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
