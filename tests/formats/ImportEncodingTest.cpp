#include "CsvTestSupport.h"

#include <QStringEncoder>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using ImportEncoding = CsvTest;

// Every import reads a file without a byte-order mark the same way: UTF-8 when
// it is valid UTF-8, else Windows-1252.
TEST_F(ImportEncoding, EveryFormatReadsUtf8AndWindows1252WithoutByteOrderMark)
{
    using Import = int (TQorContacts::*)(const QString &);
    struct Case
    {
        const char *format;
        Import import;
        QString text;
    } const cases[] = {
        {"csv", &TQorContacts::ImportFromCSVFile, QString::fromUtf8("First Name,Last Name,Primary Email\r\nZoë,Ågren,z@x\r\n")},
        {"vcard", &TQorContacts::ImportFromvCardFile,
         QString::fromUtf8("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ågren;Zoë\r\nEND:VCARD\r\n")},
        {"ldif", &TQorContacts::ImportFromLDIFFile,
         QString::fromUtf8("dn: cn=Zoë Ågren\r\ngivenName: Zoë\r\nsn: Ågren\r\n\r\n")},
    };
    for (const Case &c : cases) {
        QStringEncoder cp1252("windows-1252");
        for (const QByteArray &bytes : {c.text.toUtf8(), QByteArray(cp1252.encode(c.text))}) {
            TQorContacts book;
            book.SetPrompts(prompts);
            ASSERT_EQ((book.*c.import)(Write("in", bytes)), 1) << c.format;
            EXPECT_EQ(book.ContactDataList()[0]->FirstName, QString::fromUtf8("Zoë")) << c.format;
            EXPECT_EQ(book.ContactDataList()[0]->LastName, QString::fromUtf8("Ågren")) << c.format;
        }
    }
}

} // namespace
