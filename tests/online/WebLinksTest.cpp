#include "online/WebLinks.h"

#include "contacts/QorContacts.h"
#include "fakes/RecordingDesktop.h"
#include "fakes/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::RecordingDesktop;
using cardolin::testing::RecordingPrompts;

namespace {

TContactData Contact()
{
    TContactData c;
    c.FirstName = "Zoë", c.LastName = "Van Dyke";
    c.WorkStreet = "12, Rue de l'Été", c.WorkCity = "Paris", c.WorkPostalCode = "75001", c.WorkCountryRegion = "France";
    c.HomeStreet = "c/o Smith;Building 4;1 Main St", c.HomeCity = "Boston", c.HomeStateProvince = "MA";
    c.WorkWebsite = "www.acme.com", c.PersonalWebsite = "https://zoe.example";
    c.WorkEmail = "zoe@acme.com", c.PersonalEmail = "ZOE@acme.com", c.OtherEmail = "z@home.org";
    c.Preferred = "Personal";
    return c;
}

TEST(WebLinksTest, LinkTextsOfAContact)
{
    const TContactData c = Contact();
    TQorContacts book;
    struct Case
    {
        const char *name;
        QString actual, expected;
    };
    const Case cases[] = {
        {"location text", ShowMapGetURLSuffix(c, ltWork, mpNone), "12 Rue de l'Ete, 75001 Paris, France"},
        {"google maps", ShowMapGetURLSuffix(c, ltWork, mpGoogle),
         "https://www.google.com/maps/?q=12+Rue+de+l'Ete%2C+75001+Paris%2C+France"},
        {"bing maps", ShowMapGetURLSuffix(c, ltHome, mpBing),
         "https://www.bing.com/maps/?v=2&where1=1%20Main%20St%2C%20Boston%2C%20MA&encType=1"},
        {"no other address", ShowMapGetURLSuffix(c, ltOther, mpGoogle), ""},
        {"no map for all", ShowMapGetURLSuffix(c, ltAll, mpNone), ""},
        {"site without scheme", ShowWebsiteGetURL(c, ltWork), "http://www.acme.com"},
        {"site with scheme", ShowWebsiteGetURL(c, ltPersonal), "https://zoe.example"},
        {"no home site", ShowWebsiteGetURL(c, ltHome), ""},
        {"people search", SearchPeopleGetURL(c, snLinkedIn),
         "https://www.linkedin.com/search/results/all/?keywords=Zoe+Van+Dyke"},
        {"all e-mails, no repeats", SendEmailGetEmailByLocationType(book, c, ltAll), "zoe@acme.com;z@home.org"},
        {"preferred e-mail", SendEmailGetEmailByLocationType(book, c, ltPreferred), "ZOE@acme.com"},
        {"no home e-mail", SendEmailGetEmailByLocationType(book, c, ltHome), ""},
        {"mailto", BuildMailtoURL("a@b.c;d@e.f", "", "x@y.z", "Hi there", "Zoë’s party"),
         "mailto:a%40b%2Ec%3Bd%40e%2Ef?subject=Zo%EB%2019s%20party&bcc=x%40y%2Ez&body=Hi%20there"},
        {"gmail", BuildGmailComposeURL("a@b.c", "", "", "", "Hi"),
         "https://mail.google.com/mail?view=cm&tf=0&to=a%40b%2Ec&su=Hi"},
    };
    for (const Case &test : cases)
        EXPECT_EQ(test.actual, test.expected) << test.name;

    TContactData nobody;
    nobody.Preferred = "None";
    nobody.WorkEmail = "w@x.y";
    EXPECT_EQ(SearchPeopleGetURL(nobody, snFacebook), "");
    EXPECT_EQ(SendEmailGetEmailByLocationType(book, nobody, ltPreferred), "");
}

TEST(WebLinksTest, LongMessagesTakeAnotherWay)
{
    RecordingDesktop desktop;
    RecordingPrompts prompts;
    ComposeEmail(desktop, prompts, "a@b.c", "", "", emDefaultMail, "short", "");
    EXPECT_EQ(desktop.opened, QStringList{"mailto:a%40b%2Ec?body=short"});

    const QString body(2100, u'x');
    ComposeEmail(desktop, prompts, "a@b.c", "", "", emGmail, body, "Hi");
    EXPECT_EQ(desktop.clipboard, body);
    EXPECT_EQ(desktop.opened.last(), "https://mail.google.com/mail?view=cm&tf=0&to=a%40b%2Ec&su=Hi");
    EXPECT_EQ(prompts.information.size(), 1);

    ComposeEmail(desktop, prompts, "a@b.c", "", "", emDefaultMail, body, "Hi");
    ASSERT_EQ(desktop.mails.size(), 1);
    EXPECT_EQ(desktop.mails[0].recipients, "a@b.c");
    EXPECT_EQ(desktop.mails[0].body, body);
    EXPECT_EQ(desktop.opened.size(), 2);
}

} // namespace
