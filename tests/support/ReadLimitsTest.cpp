#include "support/ReadLimits.h"

#include <gtest/gtest.h>

using namespace cardolin;

TEST(EchoText, EscapesControlsAndCutsLongRecords)
{
    EXPECT_EQ(limits::EchoText(u"Ann,\"Lee\r\n\t\x1b[31m"), QStringLiteral("Ann,\"Lee\\r\\n\\t\\x1b[31m"));
    const QString huge(10000000, QLatin1Char(','));
    const QString echoed = limits::EchoText(huge);
    EXPECT_LT(echoed.size(), limits::kMaxEchoCharacters + 50);
    EXPECT_TRUE(echoed.endsWith(QStringLiteral("(10000000 characters in all)"))) << qPrintable(echoed.right(60));
}

TEST(LimitMessages, NameTheLimit)
{
    EXPECT_EQ(limits::TooManyMessage(QStringLiteral("records"), limits::kMaxRecords),
              QStringLiteral("The file has more than 2000000 records (the most Cardolin reads)."));
    EXPECT_EQ(limits::TooLongMessage(QStringLiteral("A value"), limits::kMaxValueBytes),
              QStringLiteral("A value is larger than 16 MiB (the largest Cardolin reads)."));
}
