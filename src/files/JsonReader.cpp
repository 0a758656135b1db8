#include "files/JsonReader.h"

#include <cstdio>
#include <optional>
#include <unordered_set>

namespace tryzone
{

namespace
{
constexpr std::size_t kMaxPlaceBytes = 160;
constexpr int kOutOfRange = 406; // the library's id for a number too large for a double

// Keys come from the file: a control character (a key may hold "\n") is written as \xNN, and a long place is cut
// at a character boundary so that the fault stays one readable line.
std::string Printable(std::string_view text, std::size_t maxBytes)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (out.size() >= maxBytes && (byte & 0xC0U) != 0x80U)
        {
            return out + "...";
        }
        if (byte < 0x20U || byte == 0x7FU)
        {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
        else
        {
            out += text[i];
        }
    }
    return out;
}

// "line L, column C" of the byte the parser stopped at, both counted from 1.
std::string LineAndColumn(std::string_view text, std::size_t byte)
{
    const std::string_view before = text.substr(0, std::min(byte > 0 ? byte - 1 : 0, text.size()));
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
    {
        if (before[i] == '\n')
        {
            ++line;
            lineStart = i + 1;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(before.size() - lineStart + 1);
}

// The library's reason without its "[json.exception...] parse error at ...: " prefix.
std::string LibraryReason(const std::string& message)
{
    const std::size_t colon = message.find(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

// Builds the document as the library's own reader does, but knows where it is: it refuses (or lists) a key given
// twice, bounds the depth before anything recursive sees the document, and names the place of a number too large.
template <class Json> class StrictBuilder
{
public:
    using Integer = typename Json::number_integer_t;
    using Unsigned = typename Json::number_unsigned_t;
    using Float = typename Json::number_float_t;
    using String = typename Json::string_t;
    using Binary = typename Json::binary_t;

    StrictBuilder(std::string_view text, const JsonReadOptions& options) : text(text), options(options) {}

    bool null() { return Add(Json(nullptr)); }
    bool boolean(bool value) { return Add(Json(value)); }
    bool number_integer(Integer value) { return Add(Json(value)); }
    bool number_unsigned(Unsigned value) { return Add(Json(value)); }
    bool number_float(Float value, const String&) { return Add(Json(value)); }
    bool string(String& value) { return Add(Json(std::move(value))); }
    bool binary(Binary& value) { return Add(Json::binary(std::move(value))); }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(String& name)
    {
        Frame& frame = open.back();
        if (!frame.keys.insert(name).second)
        {
            if (options.duplicates == nullptr)
            {
                fault = Fault(Path(&name), "duplicate key \"" + Printable(name, kMaxPlaceBytes) +
                                               "\" (a key may appear once in an object)");
                return false;
            }
            options.duplicates->push_back({Path(nullptr), name});
        }
        frame.key = std::move(name);
        return true;
    }

    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error)
    {
        if (error.id == kOutOfRange)
        {
            const std::string next = open.empty() ? std::string() : Next();
            fault = Fault(Path(open.empty() ? nullptr : &next),
                          Printable(token, 40) + " is out of range (a number must fit a double)");
        }
        else
        {
            fault = LineAndColumn(text, position) + ": " + Printable(LibraryReason(error.what()), kMaxPlaceBytes);
        }
        return false;
    }

    Json document;
    std::optional<std::string> fault; // set when the reader stopped on purpose or at a fault

private:
    struct Frame
    {
        Json* value;
        std::string key;                      // objects: the key whose value comes next
        std::unordered_set<std::string> keys; // objects: every key so far (an ordered object looks up in a line)
    };

    // The token of the value about to be added to the innermost open container.
    std::string Next() const
    {
        const Frame& frame = open.back();
        return frame.value->is_array() ? std::to_string(frame.value->size()) : frame.key;
    }

    std::vector<std::string> Path(const std::string* last) const
    {
        std::vector<std::string> path;
        for (std::size_t i = 0; i + 1 < open.size(); ++i)
        {
            const Frame& frame = open[i];
            path.push_back(frame.value->is_array() ? std::to_string(frame.value->size() - 1) : frame.key);
        }
        if (last != nullptr)
        {
            path.push_back(*last);
        }
        return path;
    }

    static std::string Fault(const std::vector<std::string>& path, const std::string& what)
    {
        return (path.empty() ? std::string() : JsonPointer(path) + ": ") + what;
    }

    Json* Place(Json&& value)
    {
        if (open.empty())
        {
            document = std::move(value);
            return &document;
        }
        Frame& frame = open.back();
        if (frame.value->is_array())
        {
            frame.value->push_back(std::move(value));
            return &frame.value->back();
        }
        // A repeated key allowed by the options: the last value wins, in the first one's place.
        Json& slot = (*frame.value)[frame.key];
        slot = std::move(value);
        return &slot;
    }

    bool Add(Json&& value)
    {
        Place(std::move(value));
        return true;
    }

    bool Open(Json&& container)
    {
        if (open.size() >= options.maxDepth)
        {
            const std::string next = open.empty() ? std::string() : Next();
            fault = Fault(Path(open.empty() ? nullptr : &next), "nested deeper than " + std::to_string(options.maxDepth) + " levels");
            return false;
        }
        Json* placed = Place(std::move(container));
        open.push_back({placed, {}});
        return true;
    }

    bool Close()
    {
        open.pop_back();
        return true;
    }

    std::string_view text;
    const JsonReadOptions& options;
    std::vector<Frame> open;
};

template <class Json>
Expected<Json> Read(std::string_view text, std::string_view fileName, const JsonReadOptions& options)
{
    StrictBuilder<Json> builder(text, options);
    bool read = false;
    try
    {
        read = Json::sax_parse(text.begin(), text.end(), &builder, nlohmann::json::input_format_t::json,
                               options.wholeText);
    }
    catch (const std::bad_alloc&)
    {
        builder.fault = "out of memory";
    }
    const std::string name = Printable(fileName, kMaxPlaceBytes);
    if (!read || builder.fault)
    {
        return Unexpected{name + ": " + builder.fault.value_or("cannot be read as JSON")};
    }
    return std::move(builder.document);
}
} // namespace

std::string JsonPointer(const std::vector<std::string>& path)
{
    std::string pointer;
    for (const std::string& token : path)
    {
        pointer += '/';
        for (const char c : token)
        {
            pointer += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
        }
    }
    return Printable(pointer, kMaxPlaceBytes);
}

Expected<nlohmann::json> ReadJsonText(std::string_view text, std::string_view fileName,
                                      const JsonReadOptions& options)
{
    return Read<nlohmann::json>(text, fileName, options);
}

Expected<nlohmann::ordered_json> ReadOrderedJsonText(std::string_view text, std::string_view fileName,
                                                     const JsonReadOptions& options)
{
    return Read<nlohmann::ordered_json>(text, fileName, options);
}

} // namespace tryzone
