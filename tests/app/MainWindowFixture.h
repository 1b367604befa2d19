#pragma once

#include "app/MainWindow.h"
#include "app/listview/QorListView.h"
#include "contacts/BookLocation.h"
#include "contacts/QorContacts.h"
#include "fakes/FakeUserDatabase.h"
#include "fakes/RecordingDesktop.h"
#include "fakes/RecordingPrompts.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"

#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace cardolin::testing {

// Two accounts (ann, the current user, and bob) in a scratch profiles folder,
// a settings store in memory and a window over them, started as the program
// starts it.
struct MainWindowFixture : ::testing::Test
{
    QTemporaryDir dir;
    FakeUserDatabase users;
    TUserAccounts accounts{users};
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    RecordingPrompts prompts;
    RecordingDesktop desktop;
    std::unique_ptr<app::MainWindow> window;
    QStringList listMessages;
    QStringList shownDialogs;
    bool trayAvailable = true; // the offscreen platform has none

    MainWindowFixture()
    {
        for (const char *account : {"ann", "bob"})
            QDir().mkpath(dir.filePath(QString("home/") + account));
        users.home = dir.filePath("home/ann");
        users.logon = "ann";
        registry.SetKey(QString(kProgramSettingsKey));
    }

    QString Book(const QString &account) const
    {
        return dir.filePath("home/" + account + "/Contacts/" + account + ".qcb");
    }

    // Writes an account's book; fill sets up each contact from its name.
    void WriteBook(const QString &account, const QStringList &firstNames,
                   const std::function<void(TContactData &)> &fill = {})
    {
        TQorContacts book;
        for (const QString &name : firstNames) {
            TContactData *contact = book.CreateContactData();
            contact->FirstName = name;
            if (fill)
                fill(*contact);
        }
        QDir().mkpath(QFileInfo(Book(account)).path());
        ASSERT_EQ(book.SaveToXMLFile(Book(account)), firstNames.size());
    }

    void SetOption(SettingId id, const QVariant &value) { WriteSetting(registry, id, value); }

    void Start(const QStringList &arguments = {})
    {
        window = std::make_unique<app::MainWindow>(app::TMainWindowEnvironment{registry, accounts, prompts});
        window->TrayAvailable = [this] { return trayAvailable; };
        window->SetDesktop(desktop);
        window->ExecDialog = [this](QDialog &dialog) { shownDialogs.append(dialog.windowTitle()); };
        List()->ShowMessage = [this](const QString &title, const QString &text) {
            listMessages.append(title + ": " + text);
        };
        window->FormCreate();
        window->ActivateOptions();
        window->FirstLoad(arguments);
    }

    app::TQorListView *List() const { return window->QorListView1(); }
    void SelectRow(int row) const
    {
        List()->selectionModel()->select(List()->model()->index(row, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void SelectRows(const QList<int> &rows) const
    {
        List()->clearSelection();
        for (int row : rows)
            List()->selectionModel()->select(List()->model()->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    int Rows() const { return List()->Items().Count(); }
    QString Caption(int row) const { return List()->Items().Text(row, 0); }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < Rows(); ++row)
            texts.append(List()->Items().Text(row, column));
        return texts;
    }
    template <typename T> T *Child(const char *name) const { return window->findChild<T *>(name); }
};

} // namespace cardolin::testing
