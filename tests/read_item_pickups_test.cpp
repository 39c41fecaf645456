// Item pick-ups: the item table in log order, the slot each id is credited
// to, and the table's capacity.
#include <gtest/gtest.h>

#include "pass_test.h"

namespace {

const std::string kTwoPlayers = connect_lines(0, "Alpha") + connect_lines(1, "Beta");

class Pickups : public PassTest {
protected:
    const ItemRecord& item(int index) const { return ctx->item_table[static_cast<std::size_t>(index)]; }
    void play(const std::string& lines, const std::string& setup = kTwoPlayers) {
        ASSERT_EQ(interpret(DEATHMATCH, setup, lines), 1);
    }
};

TEST_F(Pickups, PickupsAreStoredInLogOrderWithCodeSlotAndTime) {
    play(item_line("12.75", "Damage Amplifier", 1) + item_line("13.00", "Double Enforcer", 0) +
             item_line("14.00", "Box of Rifle Rounds", 1) + item_line("15.00", "Jump Boots", 1),
         kTwoPlayers + item_line("0.50", "Shock Core", 0));  // before the start of play
    EXPECT_EQ(item(0).item, 12001);
    EXPECT_EQ(item(1).item, 10001);
    EXPECT_EQ(item(1).slot, 1);
    EXPECT_EQ(item(1).time, 12);
    EXPECT_EQ(item(2).item, 32);
    EXPECT_EQ(item(2).slot, 0);
    EXPECT_EQ(item(3).item, 12008);
    EXPECT_EQ(item(4).item, -1);
    EXPECT_EQ(item(4).slot, 1);
    EXPECT_EQ(error_log(), "\t\twarning: unsupported item found\r\nJump Boots\r\n");

    play(item_line("20.00", "Thigh Pads", 0));  // a game with fewer pick-ups
    EXPECT_EQ(item(0).item, 10005);
    EXPECT_EQ(item(1).item, 0);
    EXPECT_EQ(item(1).time, 0);
}

TEST_F(Pickups, SlotsComeFromTheIdMap) {
    play(log_line("100.00", {"player", "Disconnect", "1"}) + connect_lines(6, "Beta", false, "", "1.0", "120.00") +
         item_line("130.00", "MedBox", 6) + item_line("131.00", "MedBox", 9) + item_line("132.00", "MedBox", 16));
    EXPECT_EQ(item(0).slot, 1);  // the returning player's first slot
    // Ids without a record get a slot that no figure counts.
    EXPECT_EQ(item(1).slot, -1);
    EXPECT_EQ(item(2).slot, -1);
}

TEST_F(Pickups, TheTableHoldsFiveThousandPickupsAndTheNextIsLoggedOnce) {
    for (int count : {5000, 5002}) {
        std::string lines;
        for (int i = 0; i < count; ++i) lines += item_line(std::to_string(10 + i), "MedBox", i % 2);
        play(lines);
        EXPECT_EQ(item(4999).time, 5009);
        EXPECT_EQ(item(4999).slot, 1);
        EXPECT_EQ(error_log(), count == 5000 ? "" : "\t\twarning:maximum of items exceeded\r\n");
    }
}

// A server's own names are looked up thousands of times a game and their
// answers kept in a few places; every look must still give the answer of
// the containment test, also when names take each other's places.
TEST_F(Pickups, NamesOutsideTheTablesGetTheSameCodeEveryTime) {
    const std::string long_name = "A server's own Rocket Launcher with a name of over fifty letters";
    std::string lines;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 400; ++i)
            lines += item_line("20.00", (i % 2 == 0 ? "Mod Item " : "Super Flak Cannon ") + std::to_string(i / 2), 0) +
                     (i % 100 == 0 ? item_line("20.00", long_name, 1) : "");
    play(lines);
    for (int round = 0, index = 0; round < 2; ++round)
        for (int i = 0; i < 400; ++i) {
            EXPECT_EQ(item(index++).item, i % 2 == 0 ? -1 : 35) << "pick-up " << i << " of round " << round;
            if (i % 100 == 0) {
                EXPECT_EQ(item(index++).item, 34);
            }
        }
}

}  // namespace
