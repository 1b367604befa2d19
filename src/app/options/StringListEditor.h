#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace cardolin::app {

// The String List Editor: a list of texts edited one per line. The caller
// sets the caption.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    QPlainTextEdit *Memo1() const { return m_memo; }
    void SetText(const QString &text);
    // The lines of the memo; a final line break starts no new line.
    QStringList Lines() const;

private:
    QPlainTextEdit *m_memo;
};

} // namespace cardolin::app
