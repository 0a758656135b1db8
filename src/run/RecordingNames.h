#pragma once

#include "run/Recording.h"

#include <array>

namespace tryzone
{

// The names a recording gives its inputs and orders, shared by its writer and its reader.
inline constexpr std::array<const char*, 8> kKindNames = {"debug", "pick",       "steer",  "receiver",
                                                          "hand",  "frame_time", "reload", "order"};
inline constexpr std::array<const char*, kOrderKinds> kOrderNames = {"builtin", "hold", "move", "pass"};

// The inputs that carry a pitch point.
[[nodiscard]] inline bool IsMouse(InputKind kind)
{
    return kind == InputKind::Pick || kind == InputKind::Steer || kind == InputKind::Receiver;
}

} // namespace tryzone
