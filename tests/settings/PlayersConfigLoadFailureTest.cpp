#include "settings/PlayersConfig.h"

#include "settings/PlayersConfigFixtures.h"

#include <cfloat>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tryzone
{

namespace
{
struct FailureCase
{
    const char* name;
    std::string text;
    std::string message; // the whole line, or its fixed start when the library's text follows
    bool libraryTextFollows;
    std::size_t recordsAppended;
    std::string hint = {}; // the line after it that says what to fix, if any

    friend void PrintTo(const FailureCase& failure, std::ostream* os) { *os << failure.name; }
};

class PlayersConfigLoadFailure : public PlayersConfigLoad, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(PlayersConfigLoadFailure, ReportsItsLineAndWhatToFixOnStandardErrorAndKeepsEarlierRecords)
{
    const FailureCase& failure = GetParam();
    const LoadOutcome outcome = LoadText(failure.text);

    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "");
    const std::string hint = failure.hint.empty() ? "" : "Warning: " + failure.hint + "\n";
    const std::size_t lineEnd = outcome.console.err.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << outcome.console.err;
    const std::string line = outcome.console.err.substr(0, lineEnd);
    if (failure.libraryTextFollows)
    {
        EXPECT_EQ(line.rfind(failure.message, 0), 0u) << outcome.console.err;
    }
    else
    {
        EXPECT_EQ(line, failure.message);
    }
    EXPECT_EQ(outcome.console.err.substr(lineEnd + 1), hint);
    EXPECT_EQ(outcome.records.size(), failure.recordsAppended);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, PlayersConfigLoadFailure,
    testing::Values(
        FailureCase{"EmptyFile", "", ParseError, true, 0},
        FailureCase{"Malformed", "[{\"Team\": ", ParseError, true, 0},
        FailureCase{"Comment", "// players\n[]", ParseError, true, 0},
        FailureCase{"NotAnArray", "{\"Players\": []}", "Invalid JSON format: expected an array of players.", false, 0, "the file is an object; write an array of up to ten players: [ {...}, {...} ]"},
        // Nesting costs the parser no stack, so depth alone is harmless.
        FailureCase{"DeeplyNestedArrays", std::string(100000, '[') + std::string(100000, ']'), MissingKeys, false, 0, "slot 0: [...] is an array, not an object with the nine keys"},
        FailureCase{"EleventhEntry", ValidThen(11), "Too many players in JSON file. Expected maximum: 10", false, 10, "11 entries; remove 1 (at most ten players)"},
        FailureCase{"EleventhEntryWhateverItHolds", ValidThen(10, "42"),
                    "Too many players in JSON file. Expected maximum: 10", false, 10, "11 entries; remove 1 (at most ten players)"},
        FailureCase{"EntryLacksPassTime", ValidThen(3, Entry().Drop("PassTime").Text()), MissingKeys, false, 3, "slot 3: no PassTime; every entry needs all nine keys"},
        FailureCase{"EntryLacksPlayerNumber", ValidThen(1, Entry().Drop("PlayerNumber").Text()), MissingKeys, false, 1, "slot 1: no PlayerNumber; every entry needs all nine keys"},
        FailureCase{"EntryIsANumber", ValidThen(2, "5"), MissingKeys, false, 2, "slot 2: 5 is a whole number, not an object with the nine keys"},
        FailureCase{"MissingKeyBeforeWrongType", ValidThen(0, Entry().Set("Radius", "25").Drop("Speed").Text()),
                    MissingKeys, false, 0, "slot 0: no Speed; every entry needs all nine keys"},
        FailureCase{"IntegerRadius", ValidThen(1, Entry().Set("Radius", "25").Text()), WrongTypes, false, 1, "slot 1, Radius: 25 is a whole number; write 25.0"},
        FailureCase{"StringSpeed", ValidThen(3, Entry().Set("Speed", "\"fast\"").Text()), WrongTypes, false, 3, "slot 3, Speed: \"fast\" is a string; write a number with a decimal point, such as 1.0"},
        FailureCase{"IntegerPassTime", ValidThen(0, Entry().Set("PassTime", "1").Text()), WrongTypes, false, 0, "slot 0, PassTime: 1 is a whole number; write 1.0"},
        FailureCase{"NegativePlayerNumber", ValidThen(0, Entry().Set("PlayerNumber", "-1").Text()), WrongTypes, false,
                    0, "slot 0, PlayerNumber: -1 is negative; write a whole number from 0"},
        FailureCase{"FloatPlayerNumber", ValidThen(0, Entry().Set("PlayerNumber", "3.0").Text()), WrongTypes, false, 0, "slot 0, PlayerNumber: 3.0 is a number with a decimal point; write a whole number from 0"},
        FailureCase{"ExponentPlayerNumber", ValidThen(0, Entry().Set("PlayerNumber", "7e0").Text()), WrongTypes, false,
                    0, "slot 0, PlayerNumber: 7.0 is a number with a decimal point; write a whole number from 0"},
        FailureCase{"NumberTeam", ValidThen(0, Entry().Set("Team", "0").Text()), WrongTypes, false, 0, "slot 0, Team: 0 is a whole number; write \"Blue\" or \"Red\""},
        FailureCase{"PositionNotArray", ValidThen(0, Entry().Set("StartPosition", "{\"x\": 1.0}").Text()), WrongTypes,
                    false, 0, "slot 0, StartPosition: {...} is an object; write [x, y], such as [100.0, 360.0]"},
        FailureCase{"ThreeElementPosition", ValidThen(2, Entry().Set("StartPosition", "[1.0, 2.0, 3.0]").Text()),
                    WrongTypes, false, 2, "slot 2, StartPosition: [...] has 3 elements; write [x, y], such as [100.0, 360.0]"},
        FailureCase{"OneElementPosition", ValidThen(0, Entry().Set("StartPosition", "[1.0]").Text()), WrongTypes, false,
                    0, "slot 0, StartPosition: [...] has 1 element; write [x, y], such as [100.0, 360.0]"},
        FailureCase{"NullPositionElement", ValidThen(1, Entry().Set("StartPosition", "[100.0, null]").Text()),
                    TypeError, true, 1, "slot 1, StartPosition: null is not a number; write [x, y], such as [100.0, 360.0]"},
        FailureCase{"StringPositionElement", ValidThen(0, Entry().Set("StartPosition", "[\"100\", 1.0]").Text()),
                    TypeError, true, 0, "slot 0, StartPosition: \"100\" is not a number; write [x, y], such as [100.0, 360.0]"},
        // The type checks all run before any value is converted.
        FailureCase{"WrongTypeBeforeNullElement",
                    ValidThen(0, Entry().Set("StartPosition", "[null, 1.0]").Set("PassTime", "1").Text()), WrongTypes,
                    false, 0, "slot 0, PassTime: 1 is a whole number; write 1.0"},
        // Values that overflow a float are refused like a wrong type, with the type checks, before any conversion.
        FailureCase{"OverflowingRadius", ValidThen(2, Entry().Set("Radius", "1e39").Text()), WrongTypes, false, 2, "slot 2, Radius: 1e+39 is too large for a float (at most about 3.4e38)"},
        FailureCase{"OverflowingNegativePassTime", ValidThen(0, Entry().Set("PassTime", "-1e39").Text()), WrongTypes,
                    false, 0, "slot 0, PassTime: -1e+39 is too large for a float (at most about 3.4e38)"},
        FailureCase{"JustPastTheLargestFloat", ValidThen(0, Entry().Set("Speed", "3.4028236e38").Text()), WrongTypes,
                    false, 0, "slot 0, Speed: 3.4028236e+38 is too large for a float (at most about 3.4e38)"},
        FailureCase{"OverflowingPositionX", ValidThen(1, Entry().Set("StartPosition", "[1e39, 2.0]").Text()),
                    WrongTypes, false, 1, "slot 1, StartPosition: 1e+39 is too large for a float (at most about 3.4e38)"},
        FailureCase{"OverflowingYBeforeNullX", ValidThen(0, Entry().Set("StartPosition", "[null, 1e39]").Text()),
                    WrongTypes, false, 0, "slot 0, StartPosition: 1e+39 is too large for a float (at most about 3.4e38)"},
        FailureCase{"NullYBeforeOverflowingX", ValidThen(0, Entry().Set("StartPosition", "[1e39, null]").Text()),
                    WrongTypes, false, 0, "slot 0, StartPosition: 1e+39 is too large for a float (at most about 3.4e38)"}),
    [](const testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });
} // namespace

} // namespace tryzone
