#include "app/ErrorReportDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cardolin::app {

ErrorReportDialog::ErrorReportDialog(QWidget *parent)
    : QDialog(parent), Memo1(new QPlainTextEdit(this)), ErrorCountLabel(new QLabel(QStringLiteral("0 error"), this))
{
    setWindowTitle(QStringLiteral("Error Report"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(ErrorCountLabel);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(bottom);
    resize(640, 400);
}

void ErrorReportDialog::SetReport(const QStringList &errors, const QString &suffix)
{
    Memo1->setPlainText(errors.join(u'\n'));
    ErrorCountLabel->setText(QString::number(errors.size()) + suffix);
}

QString ErrorReportDialog::ReportText() const
{
    return Memo1->toPlainText();
}

QString ErrorReportDialog::CountText() const
{
    return ErrorCountLabel->text();
}

} // namespace cardolin::app
