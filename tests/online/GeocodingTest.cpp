#include "contacts/QorContacts.h"
#include "contacts/SerialDate.h"
#include "fakes/FakeGeocodingServer.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

const QByteArray kTwoResults = R"(<?xml version="1.0" encoding="UTF-8"?>
<GeocodeResponse>
 <status>OK</status>
 <result><geometry><location><lat>1.5</lat><lng>2.5</lng></location>
  <viewport><southwest><lat>9</lat><lng>9</lng></southwest></viewport></geometry></result>
 <result><geometry><location><lat>48.8583</lat><lng>2.2945</lng></location></geometry></result>
</GeocodeResponse>)";

class Geocoding : public ::testing::Test
{
protected:
    Geocoding() : clock(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC))
    {
        EnsureCoreApplication();
        qputenv("CARDOLIN_GOOGLE_GEOCODING_URL", server.BaseUrl().toUtf8());
        book.SetClock(clock);
        book.SetPrompts(prompts);
        book.SetGoogleGeocodingKey("k&y");
        server.body = kTwoResults;
    }
    ~Geocoding() override { qunsetenv("CARDOLIN_GOOGLE_GEOCODING_URL"); }

    FakeGeocodingServer server;
    FixedClock clock;
    RecordingPrompts prompts;
    TQorContacts book;
};

TEST_F(Geocoding, SuccessTakesTheLastResultAndSendsTheEncodedAddress)
{
    EXPECT_EQ(book.GetCoordinatesUsingGoogleGeocodingAPI("Champ-de-Mars, Paris é"), "2.2945,48.8583,0");
    ASSERT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(server.requestLines[0],
              "GET /maps/api/geocode/xml?address=Champ+de+Mars%2C+Paris+e&key=k%26y HTTP/1.1");
    EXPECT_TRUE(server.requests[0].contains("Accept: application/xml"));
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(Geocoding, FailuresGiveNoCoordinatesAndTheRightMessage)
{
    const struct
    {
        const char *what;
        int status;
        QByteArray body;
        QStringList errors, warnings;
    } cases[] = {
        {"no result", 200, "<GeocodeResponse><status>ZERO_RESULTS</status></GeocodeResponse>", {}, {}},
        {"quota", 200, "<GeocodeResponse><status>OVER_QUERY_LIMIT</status></GeocodeResponse>", {},
         {"Daily request quota for Google Geocoding API has been exceeded."}},
        {"server error", 500, "<x/>", {"An error occurred while accessing Google Geocoding API."}, {}},
        {"malformed", 200, "<GeocodeResponse><status>OK</status><result>",
         {"An error occurred while processing XML data returned by Google Geocoding API."}, {}},
        {"entities", 200,
         "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r><status>&x;</status></r>",
         {"An error occurred while processing XML data returned by Google Geocoding API."}, {}},
        {"refused key", 200,
         "<GeocodeResponse><status>REQUEST_DENIED</status><error_message>bad key</error_message></GeocodeResponse>",
         {"Google Geocoding API refused the request: bad key"}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        prompts.errors.clear(), prompts.warnings.clear();
        server.status = c.status;
        server.body = c.body;
        EXPECT_EQ(book.GetCoordinatesUsingGoogleGeocodingAPI("Paris"), "");
        EXPECT_EQ(prompts.errors, c.errors);
        EXPECT_EQ(prompts.warnings, c.warnings);
    }
}

TEST_F(Geocoding, MissingKeyWarnsWithoutARequest)
{
    book.SetGoogleGeocodingKey("");
    EXPECT_EQ(book.GetCoordinatesUsingGoogleGeocodingAPI("Paris"), "");
    EXPECT_EQ(prompts.warnings,
              QStringList{"The Google Geocoding Key must be configured to access Google Geocoding API."});
    EXPECT_TRUE(server.requestLines.isEmpty());
}

TEST_F(Geocoding, TheKeyGoesThroughTheProxyOnlyOverHttps)
{
    // The endpoint's host does not exist: only the proxy (our fake) can see a
    // request. Over plain HTTP the key would be readable on the way: nothing goes.
    book.SetProxyAddress("127.0.0.1");
    book.SetProxyPort(QString::number(server.Port()));
    qputenv("CARDOLIN_GOOGLE_GEOCODING_URL", "http://geocoding.invalid/maps/api/geocode/");
    EXPECT_EQ(book.GetCoordinatesUsingGoogleGeocodingAPI("Paris"), "");
    EXPECT_TRUE(server.requests.isEmpty());
    ASSERT_FALSE(prompts.errors.isEmpty());
    EXPECT_EQ(prompts.errors[0],
              "A key or token is sent only over HTTPS: the request to http://geocoding.invalid was not made.");

    // Over HTTPS the proxy only opens a tunnel; our fake cannot complete it.
    qputenv("CARDOLIN_GOOGLE_GEOCODING_URL", "https://geocoding.invalid/maps/api/geocode/");
    EXPECT_EQ(book.GetCoordinatesUsingGoogleGeocodingAPI("Paris"), "");
    ASSERT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(server.requestLines[0], "CONNECT geocoding.invalid:443 HTTP/1.1");
    EXPECT_FALSE(server.requests[0].contains("k%26y"));
}

TEST_F(Geocoding, UpdateSkipsFreshCoordinatesAndStampsNewOnes)
{
    TContactData *c = book.CreateContactData();
    c->WorkCity = "Paris", c->HomeCity = "Oslo", c->OtherCity = "Rome";
    c->Modified = DateToSerial(QDate(2023, 1, 1));
    c->HomeCoordinatesUpdated = DateToSerial(QDate(2023, 6, 1)); // newer than the last change
    c->HomeCoordinates = "old";
    EXPECT_TRUE(book.UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(c, ltAll));
    EXPECT_EQ(server.requestLines.size(), 2);
    EXPECT_EQ(c->WorkCoordinates, "2.2945,48.8583,0");
    EXPECT_EQ(c->HomeCoordinates, "old");
    EXPECT_EQ(c->OtherCoordinatesUpdated, DateTimeToSerial(clock.NowUtc()));

    c->Preferred = "None";
    EXPECT_FALSE(book.UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(c, ltPreferred));
    EXPECT_FALSE(book.UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(nullptr, ltAll));
    EXPECT_EQ(server.requestLines.size(), 2);
}

TEST_F(Geocoding, KmlExportGeocodesMissingPositionsAndCountsThem)
{
    TContactData *known = book.CreateContactData();
    known->FirstName = "Known", known->WorkCity = "Paris", known->WorkCoordinates = "1,2,0";
    TContactData *fresh = book.CreateContactData();
    fresh->FirstName = "Fresh", fresh->HomeCity = "Oslo", fresh->Priority = "High";
    book.CreateContactData()->FirstName = "Nowhere";
    const QString path = QDir::temp().filePath("cardolin-geocode-test.kml");
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile("/nonexistent/dir/x.kml"), 0);
    EXPECT_EQ(book.Tag(), 1); // geocoded even though the file could not be written
    EXPECT_EQ(fresh->HomeCoordinates, "2.2945,48.8583,0");
    EXPECT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile(path), 2);
    EXPECT_EQ(book.Tag(), 0);
    QFile::remove(path);
}

// A refused or missing key is said once per export, and the service is not
// asked again for the rest of it; the next export asks afresh.
TEST_F(Geocoding, KmlExportStopsAskingOnceTheKeyIsRefused)
{
    for (int i = 0; i < 3; ++i) {
        TContactData *c = book.CreateContactData();
        c->FirstName = QString("P%1").arg(i), c->HomeCity = "Oslo";
    }
    const QString path = QDir::temp().filePath("cardolin-refused-key-test.kml");
    server.body = "<GeocodeResponse><status>REQUEST_DENIED</status><error_message>bad key</error_message></GeocodeResponse>";
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile(path), 0);
    EXPECT_EQ(prompts.errors, QStringList{"Google Geocoding API refused the request: bad key"});
    EXPECT_EQ(server.requestLines.size(), 1);

    book.SetGoogleGeocodingKey("");
    prompts.errors.clear();
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile(path), 0);
    EXPECT_EQ(prompts.warnings.size(), 1);
    EXPECT_EQ(server.requestLines.size(), 1);

    book.SetGoogleGeocodingKey("good");
    server.body = kTwoResults;
    EXPECT_EQ(book.ExportToGoogleEarthKMLFile(path), 3);
    EXPECT_EQ(server.requestLines.size(), 4);
    EXPECT_TRUE(prompts.errors.isEmpty());
    QFile::remove(path);
}

} // namespace
