#include "drawing/MatchPage.h"

#include "MatchPageScript.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace tryzone
{

namespace
{
// Text inside a <script> element ends at "</": JSON says the same with "<\/".
std::string ScriptSafe(std::string text)
{
    for (std::size_t at = text.find("</"); at != std::string::npos; at = text.find("</", at + 3))
    {
        text.replace(at, 2, "<\\/");
    }
    return text;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (const char c : text)
    {
        switch (c)
        {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

constexpr const char* kStyle = R"(body{margin:0;background:#111;color:#ddd;font:14px sans-serif}
main{max-width:1280px;margin:auto}canvas{display:block;width:100%}#bar{height:24px;cursor:pointer;margin-top:4px}
#controls{display:flex;gap:16px;align-items:center;padding:6px 0}#status{font-family:monospace;font-size:16px}
dl{display:grid;grid-template-columns:max-content auto;gap:2px 12px;margin:6px 0}dt{color:#999}dd{margin:0})";
} // namespace

Expected<std::string> MatchPage(const MatchPageInfo& info, const PictureStream& pictures,
                                const std::vector<PageEvent>& events)
{
    if (pictures.Frames() == 0)
    {
        return Unexpected{"no picture to show"};
    }
    auto deflated = Deflate(pictures.Bytes());
    if (!deflated)
    {
        return deflated.Error();
    }
    nlohmann::json data = {{"width", info.width},
                           {"height", info.height},
                           {"clear", "rgba(" + std::to_string(info.clear.r) + "," + std::to_string(info.clear.g) + "," +
                                         std::to_string(info.clear.b) + "," + std::to_string(info.clear.a / 255.0) +
                                         ")"},
                           {"jumpFrames", info.jumpFrames},
                           {"events", nlohmann::json::array()},
                           {"pictures", Base64(*deflated)}};
    for (const PageEvent& event : events)
    {
        data["events"].push_back({{"frame", event.frame}, {"kind", event.kind}});
    }
    std::string facts;
    for (const auto& [name, value] : info.facts)
    {
        facts += "<dt>" + Escaped(name) + "</dt><dd>" + Escaped(value) + "</dd>";
    }
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + Escaped(info.title) +
        "</title><style>" + kStyle + "</style></head>\n<body><main>" + "<canvas id=\"pitch\" width=\"" +
        std::to_string(info.width) + "\" height=\"" + std::to_string(info.height) +
        "\"></canvas><canvas id=\"bar\" width=\"" + std::to_string(info.width) + "\" height=\"24\"></canvas>" +
        "<div id=\"controls\"><span id=\"status\">loading</span><label><input type=\"checkbox\" "
        "id=\"marks\"> debug marks (D)</label><span>Space play/pause, 1-4 speed x1-x8, Left/Right "
        "10 s, Home start; click the bar to jump (yellow tries, red tackles, blue passes)</span></div>"
        "<dl>" +
        facts + "</dl></main>\n<script id=\"match\" type=\"application/json\">" + ScriptSafe(data.dump()) +
        "</script>\n<script>\n" + ScriptSafe(kMatchPageScript) + "</script></body></html>\n";
    if (page.size() > kMaxPageBytes)
    {
        char size[32];
        std::snprintf(size, sizeof size, "%.1f", static_cast<double>(page.size()) / (1 << 20));
        return Unexpected{"the page would take " + std::string(size) + " MB, more than the " +
                          std::to_string(kMaxPageBytes >> 20) +
                          " MB a browser opens quickly: cut a clip of some 30 minutes at most with --from and --to"};
    }
    return page;
}

} // namespace tryzone
