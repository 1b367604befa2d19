#pragma once

#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace cardolin::testing {

// A collection with a fixed clock and recorded prompts, and a scratch folder.
class FormatsTest : public ::testing::Test
{
protected:
    FormatsTest() : clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC))
    {
        book.SetClock(clock);
        book.SetPrompts(prompts);
    }

    static QString Fixture(const QString &name) { return QStringLiteral(CARDOLIN_FIXTURES "/") + name; }

    static QByteArray ReadAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void WriteAll(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    FixedClock clock;
    RecordingPrompts prompts;
    TQorContacts book;
    QTemporaryDir dir;
};

} // namespace cardolin::testing
