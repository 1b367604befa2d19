#pragma once

#include <QString>

namespace cardolin {

// Where the Google services live. Each address can be pointed elsewhere through
// an environment variable, for tests and for users behind a gateway:
// CARDOLIN_GOOGLE_AUTH_URL (the full authorization address),
// CARDOLIN_GOOGLE_TOKEN_URL (a base ending in "/", "token" is appended) and
// CARDOLIN_GOOGLE_PEOPLE_URL (a base ending in "/", "v1/..." is appended).
QString GoogleAuthorizationUrl();
QString GoogleTokenBaseUrl();
QString GooglePeopleBaseUrl();

// The contacts scope, and the person fields read and written.
QString GoogleContactsScope();
QString PeopleReadFields();
QString PeopleWriteFields();

// A Google account holds at most 25,000 contacts; listings longer than these
// come from something else and are not read to the end.
constexpr qint64 kMaxGooglePeople = 100000;
constexpr qint64 kMaxGoogleGroups = 10000;

} // namespace cardolin
