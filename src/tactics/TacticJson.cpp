#include "tactics/TacticJson.h"

#include "settings/ConsoleText.h"
#include "tactics/TacticCatalogue.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace tryzone
{

namespace
{
using nlohmann::json;

constexpr std::size_t kMaxNameBytes = 40;
constexpr std::size_t kMaxDescriptionBytes = 300;

// A key as a JSON pointer writes it: "~" as "~0", "/" as "~1".
std::string PointerToken(const std::string& key)
{
    std::string token;
    for (const char c : key)
    {
        token += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    }
    return token;
}

[[noreturn]] void Refuse(const std::string& place, const std::string& what)
{
    throw TacticError({place, what});
}

std::string Quoted(std::string_view text)
{
    return "\"" + ConsoleText(text, kMaxNameBytes) + "\"";
}

const char* TypeName(const json& value)
{
    return value.is_number()    ? "a number"
           : value.is_string()  ? "a string"
           : value.is_boolean() ? "a boolean"
           : value.is_array()   ? "an array"
           : value.is_object()  ? "an object"
                                : "null";
}

void Expect(bool good, const json& value, const std::string& place, const char* expected)
{
    if (!good)
    {
        Refuse(place, std::string("expected ") + expected + ", not " + TypeName(value));
    }
}

void OnlyKeys(const json& object, const std::string& place, std::initializer_list<std::string_view> keys)
{
    for (const auto& [key, value] : object.items())
    {
        bool known = false;
        std::string list;
        for (std::string_view allowed : keys)
        {
            known = known || key == allowed;
            list += (list.empty() ? "" : ", ") + std::string(allowed);
        }
        if (!known)
        {
            Refuse(place + "/" + PointerToken(key), "unknown key " + Quoted(key) + " (expected " + list + ")");
        }
    }
}

// A one-line string of at most maxBytes, with no control character.
std::string Line(const json& value, const std::string& place, std::size_t maxBytes, bool mayBeEmpty)
{
    Expect(value.is_string(), value, place, "a string");
    const auto& text = value.get_ref<const std::string&>();
    if (text.empty() && !mayBeEmpty)
    {
        Refuse(place, "must not be empty");
    }
    if (text.size() > maxBytes)
    {
        Refuse(place, "longer than " + std::to_string(maxBytes) + " bytes");
    }
    for (const char c : text)
    {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
        {
            Refuse(place, "must be one line with no control character");
        }
    }
    return text;
}

// The entry with its parameters from the document's object, the others at their defaults.
TacticStep Step(const CatalogueEntry& entry, const json* given, const std::string& place)
{
    TacticStep step = DefaultStep(entry.name);
    if (given == nullptr)
    {
        return step;
    }
    Expect(given->is_object(), *given, place, "an object");
    for (const auto& [key, value] : given->items())
    {
        const std::string at = place + "/" + PointerToken(key);
        const ParameterRule* rule = FindParameter(entry, key);
        if (rule == nullptr)
        {
            std::string known;
            for (const ParameterRule& parameter : entry.parameters)
            {
                known += (known.empty() ? "expected " : ", ") + std::string(parameter.name);
            }
            Refuse(at, "unknown parameter " + Quoted(key) + " of " + std::string(entry.name) + " (" +
                           (known.empty() ? "it has none" : known) + ")");
        }
        // The kind the parameter takes, as its own check would say it of a value of the wrong kind.
        const std::string expected = rule->type == ParameterType::Word ? "one of " + WordList(rule->words)
                                     : rule->type == ParameterType::NumberOrWord
                                         ? "a number or " + WordList(rule->words)
                                         : "a number";
        Expect(value.is_number() || value.is_string(), value, at, expected.c_str());
        const ParameterValue parsed =
            value.is_number() ? ParameterValue(value.get<double>()) : ParameterValue(value.get<std::string>());
        if (const auto checked = CheckParameter(*rule, parsed); !checked)
        {
            Refuse(at, checked.Reason());
        }
        for (Parameter& parameter : step.parameters)
        {
            if (parameter.name == key)
            {
                parameter.value = parsed;
            }
        }
    }
    if (const auto checked = CheckStep(step); !checked)
    {
        Refuse(place, checked.Reason());
    }
    return step;
}

const json* Find(const json& object, const char* key)
{
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

const json& Required(const json& object, const char* key, const std::string& place, const std::string& missing)
{
    const json* value = Find(object, key);
    if (value == nullptr)
    {
        Refuse(place, missing);
    }
    return *value;
}

TacticCondition Condition(const json& document, const std::string& place)
{
    Expect(document.is_object(), document, place, "an object");
    OnlyKeys(document, place, {"condition", "expected", "parameters"});
    const std::string kind =
        Line(Required(document, "condition", place, "no \"condition\""), place + "/condition", kMaxNameBytes, false);
    const CatalogueEntry* entry = FindCondition(kind);
    if (entry == nullptr)
    {
        Refuse(place + "/condition", "unknown condition " + Quoted(kind) + " (expected one of " +
                                         CatalogueNames(CatalogueConditions()) + ")");
    }
    TacticCondition condition{Step(*entry, Find(document, "parameters"), place + "/parameters"), true};
    if (const json* expected = Find(document, "expected"))
    {
        Expect(expected->is_boolean(), *expected, place + "/expected", "true or false");
        condition.expected = expected->get<bool>();
    }
    return condition;
}

TacticLink Link(const json& document, const std::string& place)
{
    Expect(document.is_object(), document, place, "an object");
    OnlyKeys(document, place, {"target", "conditions"});
    TacticLink link{Line(Required(document, "target", place, "a link needs a \"target\" state"), place + "/target",
                         kMaxNameBytes, false),
                    {}};
    if (const json* conditions = Find(document, "conditions"))
    {
        Expect(conditions->is_array(), *conditions, place + "/conditions", "an array");
        for (std::size_t i = 0; i < conditions->size(); ++i)
        {
            link.conditions.push_back(Condition((*conditions)[i], place + "/conditions/" + std::to_string(i)));
        }
    }
    return link;
}

TacticState State(const json& document, const std::string& place)
{
    Expect(document.is_object(), document, place, "an object");
    OnlyKeys(document, place, {"name", "action", "parameters", "links"});
    TacticState state;
    state.name =
        Line(Required(document, "name", place, "a state needs a \"name\""), place + "/name", kMaxNameBytes, false);
    const std::string kind = Line(Required(document, "action", place, "a state needs an \"action\""), place + "/action",
                                  kMaxNameBytes, false);
    const CatalogueEntry* entry = FindAction(kind);
    if (entry == nullptr)
    {
        Refuse(place + "/action",
               "unknown action " + Quoted(kind) + " (expected one of " + CatalogueNames(CatalogueActions()) + ")");
    }
    state.action = Step(*entry, Find(document, "parameters"), place + "/parameters");
    if (const json* links = Find(document, "links"))
    {
        Expect(links->is_array(), *links, place + "/links", "an array");
        for (std::size_t i = 0; i < links->size(); ++i)
        {
            state.links.push_back(Link((*links)[i], place + "/links/" + std::to_string(i)));
        }
    }
    return state;
}
} // namespace

Tactic TacticFromJson(const json& document)
{
    Expect(document.is_object(), document, "", "an object with \"start\" and \"states\"");
    OnlyKeys(document, "", {"description", "start", "states"});
    Tactic tactic;
    if (const json* description = Find(document, "description"))
    {
        tactic.description = Line(*description, "/description", kMaxDescriptionBytes, true);
    }
    tactic.start = Line(Required(document, "start", "/start", "no start state"), "/start", kMaxNameBytes, false);
    const json& states = Required(document, "states", "/states", "no \"states\"");
    Expect(states.is_array(), states, "/states", "an array");
    if (states.size() > kMaxTacticStates)
    {
        Refuse("/states",
               std::to_string(states.size()) + " states, more than the limit of " + std::to_string(kMaxTacticStates));
    }
    for (std::size_t i = 0; i < states.size(); ++i)
    {
        tactic.states.push_back(State(states[i], "/states/" + std::to_string(i)));
    }
    return tactic;
}

} // namespace tryzone
