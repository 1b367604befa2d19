#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace cardolin::app {

// The desktop's file and folder choosers as the commands use them: a start
// folder (or file), the type list with one entry preselected, and the
// extension added to a name typed without one. Empty when cancelled.
QString AskOpenFile(QWidget *parent, const QString &start, const QStringList &filters, int selected,
                    const QString &suffix);
// Asks before replacing an existing file.
QString AskSaveFile(QWidget *parent, const QString &start, const QStringList &filters, int selected,
                    const QString &suffix);
QString AskFolder(QWidget *parent, const QString &start);

} // namespace cardolin::app
