#include "laws/StrictJson.h"

#include <set>
#include <string>
#include <vector>

namespace tryzone
{

namespace
{
using nlohmann::json;

// The library's own document builder, told of each key first so that a key met twice in one object stops the parse.
class StrictSax : public nlohmann::detail::json_sax_dom_parser<json>
{
public:
    explicit StrictSax(json& document) : json_sax_dom_parser(document, false) {}

    bool start_object(std::size_t elements)
    {
        keys.emplace_back();
        return json_sax_dom_parser::start_object(elements);
    }
    bool end_object()
    {
        keys.pop_back();
        return json_sax_dom_parser::end_object();
    }
    bool key(string_t& name)
    {
        if (!keys.back().insert(name).second)
        {
            reason = name + ": given twice";
            return false;
        }
        return json_sax_dom_parser::key(name);
    }
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const nlohmann::detail::exception& error)
    {
        const std::string message = error.what();
        // The library's "[json.exception...] " tag is left out.
        const std::size_t tag = message.find("] ");
        reason = tag == std::string::npos ? message : message.substr(tag + 2);
        return false;
    }

    std::string reason;

private:
    std::vector<std::set<std::string>> keys;
};
} // namespace

Expected<json> ParseStrictJson(std::string_view text)
{
    json document;
    StrictSax sax(document);
    bool parsed = false;
    try
    {
        parsed = json::sax_parse(text.begin(), text.end(), &sax);
    }
    catch (const json::exception& error)
    {
        // A number too large for a double ("1e400") is refused by the parser this way.
        const std::string message = error.what();
        const std::size_t tag = message.find("] ");
        return Unexpected{tag == std::string::npos ? message : message.substr(tag + 2)};
    }
    if (!parsed || sax.is_errored())
    {
        return Unexpected{sax.reason.empty() ? "not a JSON document" : sax.reason};
    }
    return document;
}

} // namespace tryzone
