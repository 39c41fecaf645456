// Faces from User.ini: the two sections, their entries, the lookup by name.
#include "skins.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "analysis_test_support.h"

namespace {

const std::string kBots =
    "[Botpack.ChallengeBotInfo]\r\nDifficulty=1\r\nBotNames[0]=Dante\r\nBotFaces[0]=SoldierSkins.Blake\r\n"
    "BotNames[3]=Ash\r\nBotFaces[3]=.Gorn.Special\r\n";
const std::string kPlayer = "[DefaultPlayer]\r\nName=Kesh\r\nClass=BotPack.TMale1\r\nFace=SoldierSkins.Malcolm\r\n";
const std::string kOther = "[Engine.GameInfo]\r\nbLowGore=False\r\n";

// Reads text as the folder's User.ini.
void read_ini(TestRun& run, const std::string& text) {
    run.folder.add("User.ini", text);
    EXPECT_EQ(read_user_ini(run), 1);
}

class Skins : public ::testing::Test {
protected:
    void SetUp() override { ctx = make_context(); }
    std::string error_log() const { return ctx->error_log(); }
    const SkinRecord& skin(int index) const { return ctx->skin_table[static_cast<std::size_t>(index)]; }
    std::string lookup(std::string_view name) const { return std::string(find_skin(*ctx, name)); }
    std::unique_ptr<TestRun> ctx;
};

TEST_F(Skins, SectionsAreFoundInEitherOrderAndLookedUpWhateverTheCase) {
    for (const std::string& ini : {kOther + kBots + kOther + kPlayer, kPlayer + kOther + kBots}) {
        ctx = make_context();
        read_ini(*ctx, ini);
        EXPECT_EQ(lookup("dANTE"), "Blake");
        EXPECT_EQ(lookup("Ash"), "Gorn.Special");  // after the first dot only
        EXPECT_EQ(skin(1).name, "Kesh");           // the gap in the bots takes the local player
        EXPECT_EQ(lookup("KESH"), "Malcolm");
        EXPECT_EQ(lookup(""), "");  // the first free record, silently
    }
    EXPECT_EQ(error_log(), "");
}

TEST_F(Skins, PlayerFaceBeforeNameFillsTheSameRecord) {
    read_ini(*ctx,
             "[DefaultPlayer]\nFace=Skins.Ivana\nName=Kesh\n[Botpack.ChallengeBotInfo]\n"
             "BotNames[0]=Dante\nBotNames[1]=Ash\n");
    EXPECT_EQ(skin(2).name, "Kesh");
    EXPECT_EQ(skin(2).face, "Ivana");
    EXPECT_EQ(lookup("Ash"), "");  // a bot without a face entry
}

TEST_F(Skins, MissingSectionsAndFilesAreLogged) {
    read_ini(*ctx, "[botpack.ChallengeBotInfo]\nBotNames[0]=Dante\n[DefaultPlayer]\nName=Big Kesh\n");
    EXPECT_EQ(skin(0).name, "Big");  // a value ends at a blank
    EXPECT_EQ(lookup("Big Kesh"), "Big Kesh");
    ctx->folder.files.erase("User.ini");
    EXPECT_EQ(read_user_ini(*ctx), 0);
    EXPECT_EQ(error_log(),
              "\t\t\"[Botpack.ChallengeBotInfo]\" sektion not found in User.ini file\r\n"
              "\t\twarning: Skin information of player Big Kesh not found, using playername for skin-image\r\n"
              "\t\tCan't find User.ini file\r\n");

    ctx = make_context();
    ctx->folder.add("user.ini", kBots);  // the second choice of name
    EXPECT_EQ(read_user_ini(*ctx), 1);
    EXPECT_EQ(skin(0).name, "Dante");
    EXPECT_EQ(error_log(), "\t\t\"[DefaultPlayer]\" sektion not found in User.ini file\r\n");
}

TEST_F(Skins, IndicesReadLikePercentIAndStayInTheTable) {
    read_ini(*ctx,
             "[Botpack.ChallengeBotInfo]\nBotNames[0x1f]=Hex\nBotNames[010]=Octal\n"
             "BotNames[50]=Beyond\nBotNames[-1]=Negative\nBotNames[x]=Word\nBotNames[2]=\n"
             "BotFaces[4]=NoDot\nBotNames[49]=Last\n");
    EXPECT_EQ(skin(31).name, "Hex");
    EXPECT_EQ(skin(8).name, "Octal");
    EXPECT_EQ(skin(49).name, "Last");
    for (int i : {0, 1, 2, 3, 4}) EXPECT_EQ(skin(i).name, "") << i;
    EXPECT_EQ(skin(4).face, "");  // a face without a dot is skipped
}

// A file's last token ends at the end of the file; a looked-up name is not
// read past its end: it is given first as the start of a longer text whose
// next byte would change the result, then in a heap block of exactly its
// size, where AddressSanitizer sees a read past the end.
TEST_F(Skins, TextsAndNamesAreReadUpToTheirLastByteOnly) {
    read_ini(*ctx, "[DefaultPlayer]\nName=Kesh\n[Botpack.ChallengeBotInfo]\nBotNames[0]=Dante\nBotFaces[0]=P.Blake");
    EXPECT_EQ(skin(0).face, "Blake");
    const std::string name = "dANTEX";
    EXPECT_EQ(lookup(std::string_view(name).substr(0, 5)), "Blake");

    const auto exact_name = std::make_unique<char[]>(5);
    std::memcpy(exact_name.get(), "DANTE", 5);
    EXPECT_EQ(lookup(std::string_view(exact_name.get(), 5)), "Blake");
    EXPECT_EQ(error_log(), "");
}

TEST_F(Skins, TheLocalPlayerTakesTheFirstFreeRecordIfAny) {
    std::string ini = "[Botpack.ChallengeBotInfo]\n";
    for (int i = 0; i < MAX_SKINS; ++i) {
        ini += "BotNames[" + std::to_string(i) + "]=Bot" + std::to_string(i) + "\n";
        if (i == 31) {
            auto some = make_context();
            read_ini(*some, ini + kPlayer);
            EXPECT_EQ(some->skin_table[32].name, "Kesh");
        }
    }
    read_ini(*ctx, ini + kPlayer);
    EXPECT_EQ(skin(49).name, "Bot49");
    EXPECT_EQ(lookup("Kesh"), "Kesh");
}

TEST_F(Skins, LongTokensAndValuesStayInsideTheirFields) {
    const std::string long_name(300, 'N');
    read_ini(*ctx, "[Botpack.ChallengeBotInfo]\nBotNames[5]=" + long_name + "\nBotFaces[5]=P." + std::string(230, 'F') +
                       "\n[DefaultPlayer]\n");
    EXPECT_EQ(skin(5).name, std::string(199, 'N'));
    EXPECT_EQ(skin(5).face, std::string(199, 'F'));
    ctx->folder.add("error.log", "");  // only the lookup's line
    EXPECT_EQ(lookup(long_name), long_name);
    EXPECT_EQ(error_log(), ("\t\twarning: Skin information of player " + long_name).substr(0, 199) + "\r\n");
}

}  // namespace
