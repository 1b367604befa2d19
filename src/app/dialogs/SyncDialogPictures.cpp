#include "app/dialogs/SyncDialogPictures.h"

#include "app/WidgetPictures.h"

#include "app/dialogs/GoogleAccountsDialog.h"
#include "app/dialogs/GoogleSignInDialog.h"
#include "app/dialogs/SyncResultsDialog.h"
#include "app/listview/QorListView.h"
#include "online/GoogleSync.h"
#include "support/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>

namespace cardolin::app {

int SaveSyncDialogPictures(const QString &folder)
{
    QDir().mkpath(folder);
    int failed = 0;

    GoogleAccountsDialog accounts(SilentPrompts::Instance());
    accounts.SetAccounts({{QStringLiteral("ann.weber@example.com"), QStringLiteral("AIzaSyD-sample-geocoding-key"),
                           QStringLiteral("1//token")},
                          {QStringLiteral("family.weber@example.com"), QString(), QStringLiteral("1//token")},
                          {QStringLiteral("club.secretary@example.org"), QString(), QString()}});
    accounts.RowClicked(0);
    TQorListView *list = accounts.GoogleAccountsQorListView();
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    failed += !SaveWidgetPicture(accounts, QDir(folder).filePath(QStringLiteral("manage-google-accounts.png")));

    SyncResultsDialog results;
    TSyncCounters counters;
    counters.LocalCreated = 3;
    counters.LocalUpdated = 2;
    counters.CloudCreated = 12;
    counters.CloudDeleted = 1;
    counters.CloudUpdated = 5;
    results.SetResults(counters, QString::number(counters.Total())
                                     + QStringLiteral(" contacts have been synced in ") + DurationText(4200)
                                     + u'.');
    failed += !SaveWidgetPicture(results, QDir(folder).filePath(QStringLiteral("sync-results.png")));

    GoogleSignInDialog signIn(QStringLiteral("Google Authorization Code"),
                              {QStringLiteral("https://accounts.google.com/o/oauth2/auth?scope=https%3A%2F%2Fwww."
                                              "googleapis.com%2Fauth%2Fcontacts&response_type=code&redirect_uri="
                                              "http%3A%2F%2F127.0.0.1%3A3000&client_id=sample.apps."
                                              "googleusercontent.com&login_hint=ann.weber%40example.com"),
                               [] { return false; }, [] {}});
    signIn.OpenButton()->click(); // as on a machine without a browser
    failed += !SaveWidgetPicture(signIn, QDir(folder).filePath(QStringLiteral("google-sign-in.png")));
    return failed;
}

} // namespace cardolin::app
