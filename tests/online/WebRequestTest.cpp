#include "online/WebRequest.h"

#include <QUrl>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(WebRequest, KeysAndTokensTravelOnlyOverHttpsOrToThisMachine)
{
    const struct
    {
        const char *address;
        bool allowed;
    } cases[] = {
        {"https://oauth2.googleapis.com/token", true},
        {"HTTPS://people.googleapis.com/", true},
        {"http://127.0.0.1:3000/token", true},
        {"http://127.8.9.10/", true},
        {"http://[::1]:8080/", true},
        {"http://LocalHost:80/", true},
        {"http://maps.googleapis.com/maps/api/geocode/", false},
        {"http://localhost.example.com/", false},
        {"http://127.0.0.1.example.com/", false},
        {"http://10.0.0.1/", false},
        {"http://[::2]/", false},
        {"ftp://127.0.0.1/", false},
        {"file:///tmp/x", false},
        {"//127.0.0.1/", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MayCarrySecret(QUrl(QString::fromLatin1(c.address))), c.allowed) << c.address;
}

} // namespace
