#include "support/QorLogFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/Files.h"

#include <gtest/gtest.h>

using namespace cardolin;

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

struct LogTest : ::testing::Test
{
    QTemporaryDir dir;
    FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(14, 3, 7), Qt::UTC)};
    TQorLogFile log{clock};
    QString file = dir.filePath("debug/Quillet.log");

    LogTest()
    {
        log.UserNameSource = [] { return QString("ann"); };
        log.ComputerNameSource = [] { return QString("desk"); };
        log.SetFileName(file);
    }
};

TEST(LogFileDefaults, NameFollowsTheExecutable)
{
    const QString name = TQorLogFile::DefaultFileName();
    EXPECT_TRUE(name.endsWith("/support_tests.log")) << name.toStdString();
    EXPECT_FALSE(TQorLogFile::DefaultDateTimeFormat().contains('t'));
}

TEST_F(LogTest, PrefixFollowsTheOptions)
{
    const struct
    {
        const char *name;
        bool timeStamp;
        const char *prefix;
        bool user, computer;
        const char *line;
    } cases[] = {
        {"bare", false, "", false, false, "Start"},
        {"prefix", false, "DEBUG", false, false, "DEBUG - Start"},
        {"names", false, "DEBUG", true, true, "DEBUG - (ann@desk) Start"},
        {"user only", false, "", true, false, "(ann) Start"},
        {"computer only", false, "", false, true, "(desk) Start"},
        {"everything", true, "DEBUG", true, true, "15/03/2024 14:03:07 : DEBUG - (ann@desk) Start"},
        {"time only", true, "", false, false, "15/03/2024 14:03:07 : Start"},
    };
    log.SetDateTimeFormatStr("dd/MM/yyyy HH:mm:ss");
    QByteArray expected;
    for (const auto &c : cases) {
        log.SetTimeStamp(c.timeStamp);
        log.SetPrefixText(c.prefix);
        log.SetUserName(c.user);
        log.SetComputerName(c.computer);
        ASSERT_TRUE(log.SetLogText("Start")) << c.name;
        EXPECT_EQ(log.LogText(), c.line) << c.name;
        expected += QByteArray(c.line) + '\n';
    }
    EXPECT_EQ(ReadAll(file), expected);
}

TEST_F(LogTest, AnEmptyNameLookupLeavesTheBracketsOut)
{
    log.UserNameSource = [] { return QString(); };
    log.SetUserName(true);
    log.SetComputerName(true);
    log.SetLogText("M");
    EXPECT_EQ(log.LogText(), "(desk) M");
    log.ComputerNameSource = [] { return QString(); };
    log.SetLogText("M");
    EXPECT_EQ(log.LogText(), "M");
}

TEST_F(LogTest, ANewNameStartsAFreshFileOnlyWhileEnabled)
{
    const cardolin::testing::UmaskScope mask(022);
    log.SetLogText("first");
    log.SetFileName(file); // the same name again: deleted
    EXPECT_FALSE(QFile::exists(file));
    log.SetLogText("second");
    EXPECT_EQ(ReadAll(file), "second\n");
    EXPECT_EQ(cardolin::testing::ModeOf(file), 0600); // it tells what the user did

    log.SetEnabled(false);
    log.SetFileName(file);
    EXPECT_FALSE(log.SetLogText("ignored"));
    EXPECT_EQ(log.LogText(), "second");
    EXPECT_EQ(ReadAll(file), "second\n");

    // Switched on later without a new name, the log keeps growing.
    log.SetEnabled(true);
    log.SetLogText("third");
    EXPECT_EQ(ReadAll(file), "second\nthird\n");

    log.SetDeleteOnChangeName(false);
    log.SetFileName(file);
    EXPECT_EQ(ReadAll(file), "second\nthird\n");
}

TEST_F(LogTest, AFileThatCannotBeWrittenKeepsTheLastLine)
{
    log.SetLogText("kept");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("a folder")));
    log.SetFileName(dir.filePath("a folder"));
    EXPECT_FALSE(log.SetLogText("lost"));
    EXPECT_EQ(log.LogText(), "kept");
}

} // namespace
