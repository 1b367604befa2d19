#include "cli/ListsCommand.h"

#include "cli/CliCommands.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/UserEnvironment.h"
#include "contacts/DefaultLists.h"
#include "support/StartupSettings.h"

namespace cardolin::cli {

int RunDefaultListsCommand()
{
    CliPrompts prompts(false);
    UserEnvironment user(prompts);
    const QString folder = ReadDefFilesPath(user.Registry());
    QString out;
    for (const TVocabulary vocabulary : {TVocabulary::Categories, TVocabulary::Keywords}) {
        QString source;
        const QStringList entries = ReadDefaultList(vocabulary, folder, &source);
        out += DefaultListFileName(vocabulary) + QStringLiteral(": ")
               + (source.isEmpty() ? QStringLiteral("built in") : source) + u'\n';
        for (const QString &entry : entries)
            out += QStringLiteral("  ") + entry + u'\n';
    }
    WriteStdout(out);
    return FlushStdout() ? ExitOk : ExitFailed;
}

} // namespace cardolin::cli
