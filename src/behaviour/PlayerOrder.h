#pragma once

#include <cstdint>

namespace tryzone
{

// What an outside brain tells a player to do until told otherwise. Builtin leaves him to his own state graph; the
// others stand in for it, and his graph waits where it was until he is given back to it.
enum class OrderKind : std::int32_t
{
    Builtin = 0,
    Hold = 1, // stand still
    Move = 2, // run to the pitch point (x, y) at his running speed
    Pass = 3, // the holder passes, once the cooldown allows, to the teammate in slot x, or a random one for -1
};

inline constexpr int kOrderKinds = 4;

struct PlayerOrder
{
    OrderKind kind = OrderKind::Builtin;
    int x = 0;
    int y = 0;

    bool operator==(const PlayerOrder&) const = default;
};

} // namespace tryzone
