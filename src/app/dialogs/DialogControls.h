#pragma once

#include "contacts/SerialDate.h"

#include <QDateEdit>
#include <QIcon>
#include <QListWidget>
#include <QPlainTextEdit>

class QAction;
class QDialog;
class QDialogButtonBox;
class QLineEdit;

namespace cardolin::app {

// A date that may be unset: it shows nothing until a date is typed or picked
// from its calendar; Delete makes it unset again. A whole date typed over a
// blank box or over all of its text replaces the date as a whole.
class OptionalDateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget *parent = nullptr);

    // 0 means unset.
    void SetSerial(TDateTime serial);
    TDateTime Serial() const;
    bool IsBlank() const;
    void SetBlank(bool blank);
    void stepBy(int steps) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    bool StartsWholeDate(const QKeyEvent *event) const;
    void SetTypedText(const QString &text);
    void FinishTyping();

    // While a whole date is typed, the box holds the text as typed, not the
    // sections of a date.
    bool m_typing = false;
    QDate m_beforeTyping;
};

// A street of several lines, kept with ";" between its lines and shown one
// line under the other. A value the user did not change is given back as it
// came, whatever it held.
class StreetEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit StreetEdit(QWidget *parent = nullptr);

    void SetStreet(const QString &street);
    QString Street() const;

private:
    QString m_street; // as it came
    QString m_shown;  // as it was first shown
};

// A list of check boxes kept in the case-insensitive order of the user's language.
class CheckListBox : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    void SetEntries(const QStringList &entries);
    QStringList Entries() const;
    QStringList CheckedEntries() const;
    void SetChecked(const QStringList &entries);
    // Finds the entry in any letter case, adding it when missing; returns its row
    // and whether it was added.
    int Ensure(const QString &entry, bool *added);
    bool IsChecked(const QString &entry) const;
};

// The lines of a multi-line box; a final line break starts no new line.
QStringList MemoLines(const QString &text);

// "OK" (default) and "Cancel" buttons that close the dialog.
QDialogButtonBox *OkCancelButtons(QDialog *dialog);

// A small picture made of one character of the desktop font.
QIcon GlyphIcon(const QString &glyph);
// A map pin.
QIcon MapPinIcon();
// A button inside the right end of an edit box.
QAction *AddEditButton(QLineEdit *edit, const QIcon &icon, const QString &tip, const QString &objectName);

} // namespace cardolin::app
