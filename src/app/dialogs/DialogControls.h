#pragma once

#include "contacts/SerialDate.h"

#include <QDateEdit>
#include <QIcon>
#include <QListWidget>

class QAction;
class QDialog;
class QDialogButtonBox;
class QLineEdit;

namespace cardolin::app {

// A date that may be unset: it shows nothing until clicked, when it shows its
// date (today for an unset one); Delete makes it unset again.
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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
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
