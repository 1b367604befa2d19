#include "fakes/FakeGoogleService.h"

#include <QJsonArray>

#include <cstdio>
#include <cstdlib>

using namespace cardolin::testing;

// Runs the fake Google on 127.0.0.1 for trying the program by hand:
//   fake-google-service [PEOPLE]
// Prints the environment that points Cardolin at it, then serves until killed.
// Its people carry e-mails of no type and of a custom label, as phones and
// other clients often leave them.
int main(int argc, char *argv[])
{
    FakeGoogleService google;
    const int count = argc > 1 ? std::atoi(argv[1]) : 10;
    google.AddPeople(count);
    for (qsizetype i = 0; i < google.people.size(); ++i) {
        QJsonObject email{{"value", QString("person%1@example.org").arg(i + 1)}};
        if (i % 2)
            email.insert("type", "school");
        google.people[i].insert("emailAddresses", QJsonArray{email});
    }
    std::printf("CARDOLIN_GOOGLE_AUTH_URL=%so/oauth2/auth\nCARDOLIN_GOOGLE_TOKEN_URL=%s\n"
                "CARDOLIN_GOOGLE_PEOPLE_URL=%s\nclient id: %s, secret: %s, code: %s\n",
                qPrintable(google.BaseUrl()), qPrintable(google.BaseUrl()), qPrintable(google.BaseUrl()),
                qPrintable(google.clientId), qPrintable(google.clientSecret), qPrintable(google.validCode));
    std::fflush(stdout);
    google.onRequest = [](const QString &line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    };
    return QCoreApplication::exec();
}
