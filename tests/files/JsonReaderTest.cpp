#include "files/JsonReader.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
struct Refusal
{
    const char* text;
    const char* line; // the whole reason
};

class JsonReaderRefuses : public testing::TestWithParam<Refusal>
{
};

TEST_P(JsonReaderRefuses, WithTheFileThePlaceAndTheFault)
{
    const auto read = ReadJsonText(GetParam().text, "f.json");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Reason(), GetParam().line);
    // The ordered document is read by the same rules.
    const auto ordered = ReadOrderedJsonText(GetParam().text, "f.json");
    ASSERT_FALSE(ordered);
    EXPECT_EQ(ordered.Reason(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, JsonReaderRefuses,
    testing::Values(
        Refusal{R"({"depth": 0.2, "depth": 0.9})", "f.json: /depth: duplicate key \"depth\" (a key may appear once in an object)"},
        Refusal{R"({"s": [{"a": 1}, {"b": {"x": 1, "y": 2, "x": 3}}]})",
                "f.json: /s/1/b/x: duplicate key \"x\" (a key may appear once in an object)"},
        Refusal{R"({"a/b~": {}, "a/b~": 1})", "f.json: /a~1b~0: duplicate key \"a/b~\" (a key may appear once in an object)"},
        Refusal{R"({"p": {"depth": 1e999}})", "f.json: /p/depth: 1e999 is out of range (a number must fit a double)"},
        Refusal{R"([1, 2, -1e400])", "f.json: /2: -1e400 is out of range (a number must fit a double)"},
        Refusal{"1e999", "f.json: 1e999 is out of range (a number must fit a double)"},
        Refusal{"{\"a\": 1,\n  ,}", "f.json: line 2, column 3: syntax error while parsing object key - unexpected ','; expected string literal"},
        Refusal{"{} x", "f.json: line 1, column 4: syntax error while parsing value - invalid literal; last read: '{} x'; expected end of input"},
        Refusal{"", "f.json: line 1, column 1: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
        Refusal{"{\"a\\nb\": 1, \"a\\nb\": 2}", "f.json: /a\\x0Ab: duplicate key \"a\\x0Ab\" (a key may appear once in an object)"}));

TEST(JsonReader, BoundsTheDepthBeforeBuildingTheDocument)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const auto read = ReadJsonText(deep, "deep.json");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.Reason().rfind("deep.json: /0/0/0/", 0), 0U) << read.Reason();
    EXPECT_NE(read.Reason().find(": nested deeper than 64 levels"), std::string::npos);

    JsonReadOptions three;
    three.maxDepth = 3;
    EXPECT_TRUE(ReadJsonText(R"({"a": [{"b": 1}]})", "f", three));
    const auto four = ReadJsonText(R"({"a": [{"b": {}}]})", "f", three);
    ASSERT_FALSE(four);
    EXPECT_EQ(four.Reason(), "f: /a/0/b: nested deeper than 3 levels");
}

TEST(JsonReader, ListsRepeatsWhereTheLastValueWinsAndReadsOneValueWhenAsked)
{
    std::vector<JsonDuplicate> duplicates;
    JsonReadOptions settings;
    settings.duplicates = &duplicates;
    settings.wholeText = false;
    const auto read = ReadOrderedJsonText(R"([{"Speed": 1.0, "Team": "Blue", "Speed": 2.0}, {"a": 0, "a": 1, "a": 2}] trailing)",
                                          "s.json", settings);
    ASSERT_TRUE(read) << read.Reason();
    EXPECT_EQ((*read)[0]["Speed"], 2.0);
    EXPECT_EQ((*read)[0].begin().key(), "Speed"); // the first one's place, the last one's value
    EXPECT_EQ((*read)[1]["a"], 2);
    ASSERT_EQ(duplicates.size(), 3U);
    EXPECT_EQ(JsonPointer(duplicates[0].path), "/0");
    EXPECT_EQ(duplicates[0].key, "Speed");
    EXPECT_EQ(JsonPointer(duplicates[2].path), "/1");
    EXPECT_EQ(duplicates[2].key, "a");
    // Keys of one name in different objects are no repeat, and a whole text must end after its value.
    EXPECT_TRUE(ReadJsonText(R"([{"a": 1}, {"a": 2, "b": {"a": 3}}])", "f"));
    EXPECT_FALSE(ReadJsonText(R"([] trailing)", "f"));
}

TEST(JsonReader, GivesTheSameDocumentAsTheLibrary)
{
    const char* text = R"({"z": [1, -2, 3.5, 1e300, 18446744073709551615, true, null, "\u00e9"], "a": {"b": []}})";
    const auto read = ReadJsonText(text, "f");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, nlohmann::json::parse(text));
    const auto ordered = ReadOrderedJsonText(text, "f");
    ASSERT_TRUE(ordered);
    EXPECT_EQ(ordered->dump(), nlohmann::ordered_json::parse(text).dump());
}
} // namespace

} // namespace tryzone
