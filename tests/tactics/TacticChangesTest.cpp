#include "tactics/TacticChanges.h"

#include "tactics/DefaultTactic.h"
#include "tactics/TacticCatalogue.h"

#include <gtest/gtest.h>

namespace tryzone
{

TEST(TacticChanges, NamesEachStateAddedRemovedOrChangedAndNothingWhenAlike)
{
    EXPECT_TRUE(TacticChanges(nullptr, nullptr).empty());
    const CompiledTactic same = CompileTactic(DefaultTacticModel());
    EXPECT_TRUE(TacticChanges(nullptr, &same).empty()); // the default file plays as the built-in tactic

    Tactic edited = DefaultTacticModel();
    edited.states[3].action.parameters[0].value = 1.5;                   // Attack's speed
    edited.states[3].links[2].conditions[0].test.parameters[0].value = 90.0; // Attack's third link
    edited.states[1].links.pop_back();                                   // Support loses its link to Attack
    edited.states[4].name = "Offload";                                   // Pass renamed: one out, one in
    edited.states[3].links[2].target = "Offload";
    edited.states.push_back({"Line", DefaultStep("Hold"), {{"Attack", {}}}});
    edited.start = "Line";
    const CompiledTactic now = CompileTactic(edited);
    EXPECT_EQ(TacticChanges(nullptr, &now),
              (std::vector<std::string>{"start \"Idle\" -> \"Line\"", "state \"Pass\" removed",
                                        "state \"Support\": 2 links -> 1 link",
                                        "state \"Attack\": action changed (Attack parameters)",
                                        "state \"Attack\": link 3 now to \"Offload\" changed",
                                        "state \"Offload\" added (Pass, 1 link)", "state \"Line\" added (Hold, 1 link)"}));
    // And back: the same changes seen the other way.
    EXPECT_EQ(TacticChanges(&now, nullptr).size(), 7U);
}

} // namespace tryzone
