#pragma once

#include "online/carddav/MemoryAddressBook.h"

#include "contacts/QorContacts.h"
#include "formats/VCardServerCard.h"
#include "online/carddav/CardDavSync.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace cardolin::testing {

// A book and an in-memory address book, synced with a private state folder.
struct EngineFixture : ::testing::Test
{
    QTemporaryDir dir;
    FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC)};
    TQorContacts book;
    MemoryAddressBook server;
    TCardDavSyncOptions options;
    int saves = 0;

    EngineFixture()
    {
        book.SetClock(clock);
        options.stateFolder = dir.path() + "/state";
        options.saveBook = [this](QString &) {
            ++saves;
            return true;
        };
    }

    // An empty book, an empty address book and no state, for the next row of a table.
    void StartOver()
    {
        server = MemoryAddressBook();
        book.ClearContactDataList();
        QDir(options.stateFolder).removeRecursively();
    }

    TCardDavSyncReport Sync()
    {
        clock.AdvanceMs(60000);
        return SyncAddressBook(book, server, options);
    }

    TContactData *Add(const QString &uid, const QString &first, const QString &last = "Doe")
    {
        TContactData *c = book.CreateContactData();
        c->Uid = uid;
        c->FirstName = first;
        c->LastName = last;
        return c;
    }

    TContactData *Find(const QString &uid)
    {
        for (const auto &c : book.ContactDataList())
            if (c->Uid == uid)
                return c.get();
        return nullptr;
    }

    static QByteArray Card(const QString &uid, const QString &first, const QString &extra = {})
    {
        QString text = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        if (!uid.isEmpty())
            text += "UID:" + uid + "\r\n";
        text += "N:Doe;" + first + ";;;\r\nFN:" + first + " Doe\r\n" + extra + "END:VCARD\r\n";
        return text.toUtf8();
    }

    // The server's card read as a contact.
    TContactData ServerContact(const QString &name)
    {
        TContactData c;
        QString error;
        EXPECT_TRUE(vcard::ReadServerCard(book, server.Cards().value(server.Absolute(name)).text, c, error));
        return c;
    }

    QByteArray ServerText(const QString &name) { return server.Cards().value(server.Absolute(name)).text; }

    // Every contact once on each side, by first name, with the same values.
    void ExpectBothSidesEqual()
    {
        QMap<QString, QString> local, remote;
        for (const auto &c : book.ContactDataList()) {
            EXPECT_FALSE(local.contains(c->FirstName)) << "twice in the book: " << c->FirstName.toStdString();
            local[c->FirstName] = c->LastName + '|' + c->HomePhone + '|' + c->WorkPhone + '|' + c->Company;
        }
        for (const auto &card : server.Cards()) {
            if (vcard::IsGroupCardText(card.text))
                continue;
            TContactData c;
            QString error;
            vcard::ReadServerCard(book, card.text, c, error);
            EXPECT_FALSE(remote.contains(c.FirstName)) << "twice on the server: " << c.FirstName.toStdString();
            remote[c.FirstName] = c.LastName + '|' + c.HomePhone + '|' + c.WorkPhone + '|' + c.Company;
        }
        EXPECT_EQ(local, remote);
    }
};

// Whether the card patcher already writes over the server's text and in
// version 4.0: until it does, what the engine hands it cannot show on the server.
inline bool PatcherKeepsUnknownLines(const TQorContacts &book)
{
    TContactData c;
    c.Uid = "probe";
    return vcard::PatchServerCard(book, "BEGIN:VCARD\r\nVERSION:3.0\r\nX-PROBE:1\r\nEND:VCARD\r\n", c,
                                  vcard::TCardVersion::V3)
        .contains("X-PROBE");
}
inline bool PatcherWritesVersion4(const TQorContacts &book)
{
    TContactData c;
    c.Uid = "probe";
    return vcard::PatchServerCard(book, {}, c, vcard::TCardVersion::V4).contains("VERSION:4.0");
}

inline std::string CountsText(const TSyncCounts &c)
{
    return QString("local %1/%2/%3 server %4/%5/%6")
        .arg(c.localCreated)
        .arg(c.localUpdated)
        .arg(c.localDeleted)
        .arg(c.serverCreated)
        .arg(c.serverUpdated)
        .arg(c.serverDeleted)
        .toStdString();
}

} // namespace cardolin::testing
