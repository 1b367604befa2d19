// Multistatus answers as servers write them, and as a hostile one might.

#include "online/carddav/DavXml.h"

#include <gtest/gtest.h>

using namespace cardolin::carddav;

namespace {

// Prefixes differ from server to server; only the namespaces count. Props
// in a failed propstat are not taken.
TEST(DavXml, ReadsPropsByNamespace)
{
    const QByteArray body =
        "<?xml version=\"1.0\"?>\n<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">"
        "<response><href>/book/</href><propstat><prop><resourcetype><collection/><C:addressbook/></resourcetype>"
        "<displayname>Home &amp; work</displayname><C:supported-address-data><C:address-data-type "
        "content-type=\"text/vcard\" version=\"4.0\"/></C:supported-address-data>"
        "<supported-report-set><supported-report><report><sync-collection/></report></supported-report>"
        "</supported-report-set><x:getctag xmlns:x=\"http://calendarserver.org/ns/\">7</x:getctag></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat>"
        "<propstat><prop><getetag>\"not-this\"</getetag></prop><status>HTTP/1.1 404 Not Found</status></propstat>"
        "</response><response><href>/book/gone.vcf</href><status>HTTP/1.1 404 Not Found</status></response>"
        "<response><href>/book/a.vcf</href><propstat><prop><getetag>\"1\"</getetag>"
        "<C:address-data>BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n</C:address-data></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat></response><sync-token>t-9</sync-token></multistatus>";
    const DavMultistatus parsed = ParseMultistatus(body);
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    ASSERT_EQ(parsed.responses.size(), 3);
    const DavProps &book = parsed.responses[0].props;
    EXPECT_TRUE(book.collection && book.addressBook && book.vcard4 && book.syncCollection);
    EXPECT_EQ(book.displayName, "Home & work");
    EXPECT_EQ(book.ctag, "7");
    EXPECT_TRUE(book.etag.isEmpty());
    EXPECT_EQ(parsed.responses[1].status, 404);
    EXPECT_EQ(parsed.responses[2].props.etag, "\"1\"");
    EXPECT_TRUE(parsed.responses[2].props.addressData.startsWith("BEGIN:VCARD\nFN:A"));
    EXPECT_EQ(parsed.syncToken, "t-9");
}

TEST(DavXml, RefusesHostileOrBrokenAnswers)
{
    const QByteArray deep = QByteArray("<multistatus xmlns=\"DAV:\"><response><propstat><prop>")
                            + QByteArray("<a>").repeated(200) + QByteArray("</a>").repeated(200)
                            + "</prop></propstat></response></multistatus>";
    const QByteArray huge = "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><response>"
                            "<href>/a.vcf</href><propstat><prop><C:address-data>"
                            + QByteArray(kMaxCardBytes + 10, 'x')
                            + "</C:address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>"
                              "</multistatus>";
    const struct
    {
        const char *name;
        QByteArray body;
    } cases[] = {
        {"entities declared in a document type",
         "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
         "<multistatus xmlns=\"DAV:\"><response><href>&b;</href></response></multistatus>"},
        {"nesting without end", deep},
        {"a card above the cap", huge},
        {"not XML", "<html><body>Service Unavailable"},
        {"another root", "<error xmlns=\"DAV:\"/>"},
        {"cut off", "<multistatus xmlns=\"DAV:\"><response><href>/a.vcf</href>"},
        {"empty", ""},
        {"undeclared entity", "<multistatus xmlns=\"DAV:\"><response><href>&x;</href></response></multistatus>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const DavMultistatus parsed = ParseMultistatus(c.body);
        EXPECT_FALSE(parsed.error.isEmpty());
        EXPECT_TRUE(parsed.responses.isEmpty());
    }
}

} // namespace
