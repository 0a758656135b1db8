#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

// Window tests need an X display. They skip without one on a developer's desk, but the test script sets
// TRYZONE_REQUIRE_DISPLAY, and there a missing display is a failure.
inline bool HasDisplay()
{
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
