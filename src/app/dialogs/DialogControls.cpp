#include "app/dialogs/DialogControls.h"

#include "contacts/SortedStringList.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace cardolin::app {

namespace {

// Below any date a contact can have: the picker shows its blank text there.
const QDate kBlankDate(100, 1, 1);

} // namespace

OptionalDateEdit::OptionalDateEdit(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setMinimumDate(kBlankDate);
    setSpecialValueText(QStringLiteral(" "));
    setCalendarPopup(true);
    SetBlank(true);
}

void OptionalDateEdit::SetSerial(TDateTime serial)
{
    if (serial == 0)
        SetBlank(true);
    else
        setDate(SerialToDate(serial));
}

TDateTime OptionalDateEdit::Serial() const
{
    return IsBlank() ? 0 : DateToSerial(date());
}

bool OptionalDateEdit::IsBlank() const
{
    return date() == kBlankDate;
}

void OptionalDateEdit::SetBlank(bool blank)
{
    if (blank)
        setDate(kBlankDate);
    else if (IsBlank())
        setDate(QDate::currentDate());
}

void OptionalDateEdit::mousePressEvent(QMouseEvent *event)
{
    // The first click on a blank date only shows today, wherever it lands.
    if (IsBlank() && isEnabled() && !isReadOnly()) {
        SetBlank(false);
        event->accept();
        return;
    }
    QDateEdit::mousePressEvent(event);
}

void OptionalDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && !isReadOnly()) {
        SetBlank(true);
        return;
    }
    if (IsBlank() && !isReadOnly())
        SetBlank(false); // typing over a blank date starts from today
    QDateEdit::keyPressEvent(event);
}

void CheckListBox::SetEntries(const QStringList &entries)
{
    clear();
    for (const QString &entry : entries)
        Ensure(entry, nullptr);
}

QStringList CheckListBox::Entries() const
{
    QStringList entries;
    for (int row = 0; row < count(); ++row)
        entries.append(item(row)->text());
    return entries;
}

QStringList CheckListBox::CheckedEntries() const
{
    QStringList entries;
    for (int row = 0; row < count(); ++row)
        if (item(row)->checkState() == Qt::Checked)
            entries.append(item(row)->text());
    return entries;
}

void CheckListBox::SetChecked(const QStringList &entries)
{
    for (int row = 0; row < count(); ++row)
        item(row)->setCheckState(entries.contains(item(row)->text(), Qt::CaseInsensitive) ? Qt::Checked
                                                                                          : Qt::Unchecked);
}

bool CheckListBox::IsChecked(const QString &entry) const
{
    return CheckedEntries().contains(entry, Qt::CaseInsensitive);
}

int CheckListBox::Ensure(const QString &entry, bool *added)
{
    int row = 0;
    for (; row < count(); ++row) {
        const int order = TSortedStringList::Compare(item(row)->text(), entry);
        if (order == 0 || item(row)->text().compare(entry, Qt::CaseInsensitive) == 0) {
            if (added)
                *added = false;
            return row;
        }
        if (order > 0)
            break;
    }
    auto *newItem = new QListWidgetItem(entry);
    newItem->setFlags(newItem->flags() | Qt::ItemIsUserCheckable);
    newItem->setCheckState(Qt::Unchecked);
    insertItem(row, newItem);
    if (added)
        *added = true;
    return row;
}

QStringList MemoLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QDialogButtonBox *OkCancelButtons(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QIcon GlyphIcon(const QString &glyph)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(24);
    painter.setFont(font);
    painter.setPen(QApplication::palette().color(QPalette::ButtonText));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

QIcon MapPinIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath pin;
    pin.moveTo(16, 30);
    pin.cubicTo(4, 16, 6, 3, 16, 3);
    pin.cubicTo(26, 3, 28, 16, 16, 30);
    painter.fillPath(pin, QColor(0xd0, 0x3a, 0x2f));
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(16, 12), 4.5, 4.5);
    return QIcon(pixmap);
}

QAction *AddEditButton(QLineEdit *edit, const QIcon &icon, const QString &tip, const QString &objectName)
{
    QAction *action = edit->addAction(icon, QLineEdit::TrailingPosition);
    action->setToolTip(tip);
    action->setObjectName(objectName);
    return action;
}

} // namespace cardolin::app
