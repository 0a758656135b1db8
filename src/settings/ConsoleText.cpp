#include "settings/ConsoleText.h"

#include <array>
#include <cstdio>

namespace tryzone
{

namespace
{
// The length of the valid UTF-8 sequence that starts text, or 0 when its first byte does not start one: overlong
// forms, surrogates and code points past U+10FFFF count as invalid, as a terminal would see them.
std::size_t SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte depends on the first
    unsigned char high = 0xBF;
    if (lead < 0x80)
    {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
    {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i)
    {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
        {
            return 0;
        }
    }
    return length;
}
} // namespace

std::string ConsoleText(std::string_view text, std::size_t maxBytes)
{
    std::string shown;
    while (!text.empty())
    {
        const std::size_t length = SequenceLength(text);
        const auto lead = static_cast<unsigned char>(text.front());
        std::string_view piece = text.substr(0, length);
        std::array<char, 9> escaped{};
        if (length == 0 || lead < 0x20 || lead == 0x7F)
        {
            std::snprintf(escaped.data(), escaped.size(), "\\x%02X", static_cast<unsigned>(lead));
            piece = std::string_view(escaped.data(), 4);
        }
        else if (lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0)
        {
            // U+0080 to U+009F: C1 controls, which a terminal may obey as it would ESC [.
            std::snprintf(escaped.data(), escaped.size(), "\\x%02X\\x%02X", static_cast<unsigned>(lead),
                          static_cast<unsigned>(static_cast<unsigned char>(text[1])));
            piece = std::string_view(escaped.data(), 8);
        }
        if (shown.size() + piece.size() > maxBytes)
        {
            return shown + "...";
        }
        shown += piece;
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return shown;
}

} // namespace tryzone
