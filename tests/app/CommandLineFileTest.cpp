#include "MainWindowFixture.h"

using namespace cardolin;

namespace {

struct CommandLineFile : cardolin::testing::MainWindowFixture
{
};

// "Open With" on a card hands its path to the program, split at blanks.
TEST_F(CommandLineFile, VCardGivenAtStartIsImportedIntoTheCurrentBook)
{
    WriteBook("ann", {"Ann"});
    TQorContacts cards;
    TContactData *card = cards.CreateContactData();
    card->FirstName = "Vic";
    ASSERT_TRUE(cards.WriteContactDataTovCardFile(card, dir.filePath("my card.VCF")));
    Start({dir.filePath("my"), "card.VCF"});
    EXPECT_EQ(Column(0), (QStringList{"Ann", "Vic"}));
    EXPECT_TRUE(window->Modified());
}

} // namespace
