#include "app/dialogs/DialogControls.h"

#include "contacts/SortedStringList.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace cardolin::app {

namespace {

// Below any date a contact can have: the picker shows its blank text there.
const QDate kBlankDate(100, 1, 1);

// What a date typed as a whole may look like on its way: "1980-0" or "1980-05-1".
bool IsStartOfDate(const QString &text)
{
    static const QRegularExpression start(QStringLiteral("^\\d{0,4}(-\\d{0,2}(-\\d{0,2})?)?$"));
    return start.match(text).hasMatch();
}

// A whole date, the month and day with one digit or two; nothing at or below the blank date.
QDate TypedDate(const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-M-d"));
    return date.isValid() && date > kBlankDate ? date : QDate();
}

} // namespace

OptionalDateEdit::OptionalDateEdit(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setMinimumDate(kBlankDate);
    setSpecialValueText(QStringLiteral(" "));
    setCalendarPopup(true);
    calendarWidget()->installEventFilter(this);
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

bool OptionalDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    // The calendar of a blank date opens on this month, with no day chosen.
    if (watched == calendarWidget() && event->type() == QEvent::Show && IsBlank()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}

bool OptionalDateEdit::StartsWholeDate(const QKeyEvent *event) const
{
    const QString typed = event->text();
    if (typed.size() != 1 || !typed[0].isDigit() || isReadOnly())
        return false;
    return IsBlank() || lineEdit()->selectedText() == lineEdit()->text();
}

void OptionalDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        m_typing = false;
        SetBlank(true);
        return;
    }
    if (!m_typing && StartsWholeDate(event)) {
        m_typing = true;
        m_beforeTyping = date();
        SetTypedText(QString());
    }
    if (!m_typing) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    const bool backspace = event->key() == Qt::Key_Backspace;
    if (!backspace && (typed.size() != 1 || !(typed[0].isDigit() || typed[0] == u'-'))) {
        FinishTyping();
        QDateEdit::keyPressEvent(event);
        return;
    }
    QString text = lineEdit()->text();
    if (backspace)
        text.chop(1);
    else if (IsStartOfDate(text + typed))
        text += typed;
    SetTypedText(text);
    // Ten characters make a whole date: it is taken at once.
    if (lineEdit()->text().size() == 10 && TypedDate(lineEdit()->text()).isValid())
        FinishTyping();
}

// Stepping a blank date (arrow keys, the wheel) starts from today, not from
// the day after the blank marker.
void OptionalDateEdit::stepBy(int steps)
{
    if (IsBlank())
        SetBlank(false);
    else
        QDateEdit::stepBy(steps);
}

// Tab after a typed date leaves the box rather than stepping through its sections.
bool OptionalDateEdit::focusNextPrevChild(bool next)
{
    if (!m_typing)
        return QDateEdit::focusNextPrevChild(next);
    FinishTyping();
    return QWidget::focusNextPrevChild(next);
}

void OptionalDateEdit::focusOutEvent(QFocusEvent *event)
{
    FinishTyping();
    QDateEdit::focusOutEvent(event);
}

// A date typed whole replaces the one before; anything short of a date brings that one back.
void OptionalDateEdit::FinishTyping()
{
    if (!m_typing)
        return;
    const QDate typed = TypedDate(lineEdit()->text());
    m_typing = false;
    setDate(typed.isValid() ? typed : m_beforeTyping);
    if (!typed.isValid()) // the date did not change, so its text must be put back by hand
        SetTypedText(m_beforeTyping == kBlankDate ? specialValueText()
                                                  : textFromDateTime(QDateTime(m_beforeTyping, QTime())));
}

// While typing, the text is checked as the start of a date, not as sections
// to be completed: "1980-02-3" must not become "1980-02-03" before the 0.
QValidator::State OptionalDateEdit::validate(QString &input, int &pos) const
{
    if (!m_typing)
        return QDateEdit::validate(input, pos);
    return IsStartOfDate(input) ? QValidator::Intermediate : QValidator::Invalid;
}

// The date's own editor would read a half-typed date as sections and put a
// whole date back after every key: it does not hear of the text until the end.
void OptionalDateEdit::SetTypedText(const QString &text)
{
    const QSignalBlocker quiet(lineEdit());
    lineEdit()->setText(text);
}

StreetEdit::StreetEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Room for a building and a street without a scroll bar.
    const int lines = 2;
    setFixedHeight(fontMetrics().lineSpacing() * lines + 2 * (frameWidth() + int(document()->documentMargin())) + 2);
}

void StreetEdit::SetStreet(const QString &street)
{
    m_street = street;
    m_shown = QString(street).replace(u';', u'\n');
    setPlainText(m_shown);
}

QString StreetEdit::Street() const
{
    const QString shown = toPlainText();
    return shown == m_shown ? m_street : MemoLines(shown).join(u';');
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
