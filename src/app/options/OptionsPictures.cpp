#include "app/options/OptionsPictures.h"

#include "app/WidgetPictures.h"

#include "app/options/OptionsDialog.h"
#include "app/options/StringListEditor.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/StartupSettings.h"

#include <QApplication>
#include <QDir>
#include <QStackedWidget>
#include <QThread>

#include <cstdio>

namespace cardolin::app {

int SaveOptionsDialogPictures(const QString &folder)
{
    QDir().mkpath(folder);
    const QDir dir(folder);
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry(store);
    registry.SetKey(QString(kProgramSettingsKey));
    TForm2 form(registry);
    form.SetDefFilesPath(ReadDefFilesPath(registry));
    form.LoadOptionsFromRegistry();
    // One entry unticked, so the pictures show both marks.
    TOptionsValues values = form.Values();
    if (!values.Categories.isEmpty())
        values.Categories.last().Checked = false;
    form.ShowValues(values);
    form.PrepareToShow(true);
    form.show();
    const char *names[] = {"preferences", "advanced", "display",   "sync",         "find",    "format",
                           "categories",  "keywords", "batchgeo", "google-earth", "zeemaps", "update"};
    int failures = 0;
    for (int page = 0; page < form.PageControl()->count(); ++page) {
        form.ShowPage(TOptionsPage(page));
        failures += !SaveWidgetPicture(form, dir.filePath(QStringLiteral("options-%1.png").arg(QLatin1StringView(names[page]))));
    }

    form.ShowEditor = [&](TForm3 &shown) {
        shown.show();
        failures += !SaveWidgetPicture(shown, dir.filePath(QStringLiteral("string-list-editor.png")));
        shown.hide();
        return false;
    };
    form.EditButtonClick(TVocabulary::Categories);
    return failures;
}

} // namespace cardolin::app
