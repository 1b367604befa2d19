#include "app/FileDialogs.h"

#include <QFileDialog>

namespace cardolin::app {

namespace {

QString Ask(QWidget *parent, QFileDialog::AcceptMode mode, const QString &start, const QStringList &filters,
            int selected, const QString &suffix)
{
    QFileDialog dialog(parent, QString(), start, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (selected >= 0 && selected < filters.size())
        dialog.selectNameFilter(filters.at(selected));
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString AskOpenFile(QWidget *parent, const QString &start, const QStringList &filters, int selected,
                    const QString &suffix)
{
    return Ask(parent, QFileDialog::AcceptOpen, start, filters, selected, suffix);
}

QString AskSaveFile(QWidget *parent, const QString &start, const QStringList &filters, int selected,
                    const QString &suffix)
{
    return Ask(parent, QFileDialog::AcceptSave, start, filters, selected, suffix);
}

QString AskFolder(QWidget *parent, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, QString(), start);
}

} // namespace cardolin::app
