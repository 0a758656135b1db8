#include "laws/Laws.h"
#include "support/Files.h"

#include <fstream>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
struct BadLaws
{
    const char* text;
    const char* reason; // the line after "laws.json: "
};

class LawsFileRefuses : public testing::TestWithParam<BadLaws>
{
};

const BadLaws kBadLaws[] = {
    {R"({"forwardpass": true})", "/forwardpass: unknown key"},
    {R"({"forwardPass": 1})", "/forwardPass: not true or false"},
    {R"({"deadBallLines": "yes"})", "/deadBallLines: not true or false"},
    {R"({"ownTryLineRestart": null})", "/ownTryLineRestart: not true or false"},
    {R"({"forwardPassTolerance": "4"})", "/forwardPassTolerance: not a number"},
    {R"({"forwardPassTolerance": -0.5})", "/forwardPassTolerance: out of range (0 to 1280 pixels)"},
    {R"({"forwardPassTolerance": 1280.5})", "/forwardPassTolerance: out of range (0 to 1280 pixels)"},
    {R"({"forwardPass": true, "forwardPass": false})", "/forwardPass: duplicate key"},
    {R"({"description": 3})", "/description: not a string"},
    {R"([true])", "not a JSON object"},
    {R"({"forwardPass": tru})", "line 1, column"},
    {R"({"forwardPassTolerance": 1e400})", "/forwardPassTolerance: 1e400 is out of range"},
};
} // namespace

// A refused file says, in one line, the file, the key and the fault, whatever the fault is.
TEST_P(LawsFileRefuses, WithOneLineNamingTheFileThePlaceAndTheFault)
{
    const Expected<Laws> laws = ParseLaws(GetParam().text, "laws.json");
    ASSERT_FALSE(laws);
    EXPECT_EQ(laws.Reason().rfind(std::string("laws.json: ") + GetParam().reason, 0), 0u) << laws.Reason();
    EXPECT_EQ(laws.Reason().find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, LawsFileRefuses, testing::ValuesIn(kBadLaws));

// Each law has its default, so a file names only what it changes; a duplicate deeper down is refused too.
TEST(LawsFile, NamesOnlyWhatItChangesAndReadsBackWhatItWrites)
{
    const Expected<Laws> one = ParseLaws(R"({"deadBallLines": true})", "one");
    ASSERT_TRUE(one) << one.Reason();
    Laws expected;
    expected.deadBallLines = true;
    EXPECT_EQ(*one, expected);
    EXPECT_FALSE(AreGameLaws(*one));

    Laws all;
    all.forwardPass = true;
    all.forwardPassTolerance = 2.5f;
    all.ownTryLineRestart = true;
    all.deadBallLines = true;
    const Expected<Laws> back = ParseLaws(LawsText(all), "written");
    ASSERT_TRUE(back) << back.Reason();
    EXPECT_EQ(*back, all);

    EXPECT_TRUE(AreGameLaws(*ParseLaws("{}", "empty")));
    EXPECT_FALSE(ParseLaws(R"({"description": "x", "description": "y"})", "twice"));
}

TEST(LawsFile, ShippedFilesAreTheGamesLawsAndTheRugbyLaws)
{
    const Expected<Laws> parts = ReadLawsFile(TRYZONE_LAWS_PATH "/parts.laws.json");
    ASSERT_TRUE(parts) << parts.Reason();
    EXPECT_TRUE(AreGameLaws(*parts));
    const Expected<Laws> rugby = ReadLawsFile(TRYZONE_LAWS_PATH "/rugby.laws.json");
    ASSERT_TRUE(rugby) << rugby.Reason();
    EXPECT_TRUE(rugby->forwardPass && rugby->ownTryLineRestart && rugby->deadBallLines);

    const Expected<Laws> missing = ReadLawsFile("/nonexistent/x.laws.json");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.Reason(), "/nonexistent/x.laws.json: cannot be opened");
}

} // namespace tryzone
