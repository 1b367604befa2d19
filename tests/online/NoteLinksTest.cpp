#include "online/MapLinks.h"
#include "online/NoteLinks.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(NoteLinks, ExtractFromALine)
{
    const struct
    {
        const char *line, *url, *email, *skype;
    } cases[] = {
        {"see http://example.com/a now", "http://example.com/a", "", ""},
        {"write (ann@example.com) soon", "", "ann@example.com", ""},
        {"skype: jdoe", "", "", "jdoe"},
        {"Skype jdoe", "", "", "jdoe"},
        {"my Skype: (jdoe) at night", "", "", "jdoe"},
        {"skype:", "", "", ""},
        {"mail ann@x.org or see https://x.org", "https://x.org", "ann@x.org", ""},
        {"nothing here", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ExtractURL(c.line), c.url) << c.line;
        EXPECT_EQ(ExtractEmailAddress(c.line), c.email) << c.line;
        EXPECT_EQ(ExtractSkypeAccount(c.line), c.skype) << c.line;
    }
}

TEST(MapLinks, GoogleAndBing)
{
    EXPECT_EQ(BuildMapsAddress(mpGoogle, "1 Main St, Boston"), "https://www.google.com/maps/?q=1+Main+St%2C+Boston");
    EXPECT_EQ(BuildMapsAddress(mpBing, "1 Main St"), "https://www.bing.com/maps/?v=2&where1=1%20Main%20St&encType=1");
    EXPECT_EQ(BuildMapsAddress(mpNone, "1 Main St"), "");
    EXPECT_EQ(BuildMapsAddress(mpGoogle, ""), "");
}

} // namespace
