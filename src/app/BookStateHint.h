#pragma once

#include "contacts/BookSession.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace cardolin::app {

// What stands in the list's place when it has no rows to show: an invitation
// to add the first contact, or why the book could not be loaded, so that a
// book that cannot be read never passes for an empty one.
class BookStateHint : public QWidget
{
    Q_OBJECT
public:
    BookStateHint(QWidget &viewport, std::function<void()> addContact);

    struct State
    {
        bool Empty = true; // the book holds no contacts
        TContactsBookSession::TBookTrouble Trouble = TContactsBookSession::TBookTrouble::None;
        QString Reason;
        QString BookPath;
    };
    void Show(const State &state);
    // Centred across its parent, a third of the way down.
    void Place();

private:
    QLabel *m_title;
    QLabel *m_detail;
    QPushButton *m_add;
};

} // namespace cardolin::app
