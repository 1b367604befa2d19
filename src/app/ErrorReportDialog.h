#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace cardolin::app {

// Lists the errors that one import or synchronisation collected.
class ErrorReportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ErrorReportDialog(QWidget *parent = nullptr);

    // Fills the dialog; suffix is " error(s)" or " warning(s)".
    void SetReport(const QStringList &errors, const QString &suffix = QStringLiteral(" error(s)"));
    QString ReportText() const;
    QString CountText() const;

private:
    QPlainTextEdit *Memo1;
    QLabel *ErrorCountLabel;
};

} // namespace cardolin::app
