#include "app/dialogs/SyncDialogPictures.h"

#include "app/WidgetPictures.h"

#include "app/dialogs/GoogleAccountsDialog.h"
#include "app/dialogs/SyncResultsDialog.h"
#include "app/listview/QorListView.h"
#include "online/GoogleSync.h"
#include "support/UserPrompts.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>

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
    return failed;
}

} // namespace cardolin::app
