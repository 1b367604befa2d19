#include "app/SaveAsCommand.h"

#include "app/FileDialogs.h"
#include "contacts/BookSession.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStyle>

namespace cardolin::app {

SaveAsCommand::SaveAsCommand(QWidget &parent, TContactsBookSession &session, UserPrompts &prompts,
                             std::function<QString()> loadedBookPath)
    : QObject(&parent), m_session(session), m_prompts(prompts), m_loadedBookPath(std::move(loadedBookPath))
{
    m_button = new QPushButton(parent.style()->standardIcon(QStyle::SP_DialogSaveButton), tr("Save As..."), &parent);
    m_button->setObjectName(QStringLiteral("SaveAsButton"));
    m_button->setToolTip(tr("The contacts book is read-only: save the contacts shown here in another file"));
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, [this] { SaveAsButtonClick(); });
    AskFileName = [&parent](const QString &start) {
        return AskSaveFile(&parent, start, {tr("Contacts book (*.qcb)")}, 0, QStringLiteral("qcb"));
    };
}

void SaveAsCommand::Update()
{
    m_button->setVisible(m_session.ReadOnly());
}

void SaveAsCommand::SaveAsButtonClick()
{
    // Beside the held book, under a name that is not its own.
    const QFileInfo loaded(m_loadedBookPath());
    const QString start = loaded.dir().filePath(loaded.completeBaseName() + tr(" (copy).qcb"));
    const QString path = AskFileName(start);
    if (path.isEmpty())
        return;
    BusyCursor busy(m_prompts);
    if (m_session.SaveAs(path) && Saved)
        Saved();
}

} // namespace cardolin::app
