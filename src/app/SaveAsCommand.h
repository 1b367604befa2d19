#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPushButton;
class QWidget;

namespace cardolin {
class TContactsBookSession;
class UserPrompts;
} // namespace cardolin

namespace cardolin::app {

// "Save As..." beside Apply, shown while the loaded book opened read-only:
// the user's changes go to a book file of their choice, and the book that
// another program holds stays as that program leaves it.
class SaveAsCommand : public QObject
{
public:
    SaveAsCommand(QWidget &parent, TContactsBookSession &session, UserPrompts &prompts,
                  std::function<QString()> loadedBookPath);

    QPushButton *Button() const { return m_button; }
    // Shows the button exactly while the book is read-only.
    void Update();
    void SaveAsButtonClick();

    // The file chooser, starting at the given book; empty when cancelled.
    // Tests answer here.
    std::function<QString(const QString &start)> AskFileName;
    // Called after a save, so the window can show the changes as kept.
    std::function<void()> Saved;

private:
    TContactsBookSession &m_session;
    UserPrompts &m_prompts;
    std::function<QString()> m_loadedBookPath;
    QPushButton *m_button = nullptr;
};

} // namespace cardolin::app
