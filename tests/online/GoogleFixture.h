#pragma once

#include "contacts/QorContacts.h"
#include "fakes/FakeGoogleService.h"
#include "fakes/RecordingDesktop.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

namespace cardolin::testing {

// A collection talking to the fake service, with recorded prompts and desktop,
// a fixed clock and waits shortened to nothing.
class GoogleFixture : public ::testing::Test
{
protected:
    GoogleFixture() : clock(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), Qt::UTC))
    {
        google.Install();
        book.SetClock(clock);
        book.SetPrompts(prompts);
        book.SetDesktop(desktop);
        book.SetGoogleClientID(google.clientId);
        book.SetGoogleClientSecret(google.clientSecret);
        book.SetGoogleServiceTiming({0, 3, 0});
    }
    ~GoogleFixture() override
    {
        qunsetenv("CARDOLIN_GOOGLE_AUTH_URL");
        qunsetenv("CARDOLIN_GOOGLE_TOKEN_URL");
        qunsetenv("CARDOLIN_GOOGLE_PEOPLE_URL");
    }

    // Connected by the refresh token, as a stored account would be.
    void Connect()
    {
        book.SetGoogleRefreshToken(google.refreshToken);
        ASSERT_TRUE(book.ConnectToGoogleContactsService()) << prompts.errors.join('\n').toStdString();
    }

    FakeGoogleService google;
    FixedClock clock;
    RecordingPrompts prompts;
    RecordingDesktop desktop;
    TQorContacts book;
};

} // namespace cardolin::testing
