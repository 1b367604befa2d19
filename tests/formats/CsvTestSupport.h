#pragma once

#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace cardolin::testing {

struct ErrorCall
{
    QString context, type, text;
    int count;
};

// A collection wired to a prompt recorder, with every OnError and OnProgress call kept.
class CsvTest : public ::testing::Test
{
protected:
    CsvTest() : clock(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC))
    {
        contacts.SetClock(clock);
        contacts.SetPrompts(prompts);
        contacts.OnError = [this](TQorContacts *, const QString &context, const QString &type, const QString &text,
                                  int count) { errors.push_back({context, type, text, count}); };
        contacts.OnProgress = [this](TQorContacts *, int min, int max, int position) {
            progress.push_back({min, max, position});
        };
    }

    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    QString Write(const char *name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray ReadBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString Fixture(const char *name)
    {
        return QStringLiteral(CARDOLIN_FIXTURES "/csv/") + QString::fromLatin1(name);
    }

    const TContactData &At(size_t i) const { return *contacts.ContactDataList().at(i); }

    // A fixture file read by detection, as a dropped file is.
    int Import(const char *name) { return contacts.ImportFromCSVFile(Fixture(name)); }

    QTemporaryDir dir;
    FixedClock clock;
    RecordingPrompts prompts;
    TQorContacts contacts;
    std::vector<ErrorCall> errors;
    std::vector<std::array<int, 3>> progress;
};

// A field's value as text, whatever its kind, for comparing records field by field.
inline QString FieldText(const TContactData &contact, const char *name)
{
    const ContactField *field = FindContactField(QString::fromLatin1(name));
    if (!field)
        return QStringLiteral("<no field %1>").arg(QString::fromLatin1(name));
    switch (field->kind) {
    case FieldKind::Text:
        return FieldRef<QString>(contact, *field);
    case FieldKind::Date:
    case FieldKind::DateTime:
        return QString::number(FieldRef<TDateTime>(contact, *field), 'f', 6);
    case FieldKind::Lines:
        return FieldRef<QStringList>(contact, *field).join(QStringLiteral("|"));
    case FieldKind::SortedList:
        return FieldRef<TSortedStringList>(contact, *field).Entries().join(QStringLiteral("|"));
    default:
        return QStringLiteral("<not compared>");
    }
}

} // namespace cardolin::testing
