#include "cli/GoogleCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliFormats.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/UserEnvironment.h"
#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/CollectionOptions.h"
#include "contacts/QorContacts.h"
#include "online/GoogleSync.h"
#include "online/LoopbackListener.h"
#include "online/StoredGoogleAccounts.h"
#include "platform/SystemDesktopServices.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace cardolin::cli {

namespace {

// The address to open is printed, and opened too when there is a desktop to open it on.
class CliDesktop final : public platform::SystemDesktopServices
{
public:
    bool OpenAddress(const QString &address) override
    {
        WriteStderr(QStringLiteral("Open this address in a web browser:\n") + address + u'\n');
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return true;
        return SystemDesktopServices::OpenAddress(address);
    }
};

// One line of standard input, read on a thread of its own so that the event
// loop keeps serving the listener meanwhile.
struct PendingLine
{
    std::mutex mutex;
    bool done = false;
    bool ended = false; // standard input ended before a line came
    QString text;
};

std::shared_ptr<PendingLine> ReadLineInBackground()
{
    auto line = std::make_shared<PendingLine>();
    std::thread([line] {
        std::string text;
        const bool read = bool(std::getline(std::cin, text));
        const std::lock_guard lock(line->mutex);
        line->text = QString::fromStdString(text).trimmed();
        line->ended = !read;
        line->done = true;
    }).detach();
    return line;
}

// The command line's prompts, except that the authorization code is typed on
// standard input or arrives through the listener, whichever comes first.
class ConnectPrompts final : public UserPrompts
{
public:
    explicit ConnectPrompts(CliPrompts &base) : m_base(base) {}

    void ShowError(const QString &message) override { m_base.ShowError(message); }
    void ShowWarning(const QString &message) override { m_base.ShowWarning(message); }
    void ShowInformation(const QString &message) override { m_base.ShowInformation(message); }
    bool AskYesNo(const QString &message) override { return m_base.AskYesNo(message); }
    void BeginBusy() override {}
    void EndBusy() override {}

    bool InputText(const QString &caption, const QString &prompt, QString &value) override
    {
        WriteStderr(caption + QStringLiteral(" (or wait for the browser) - ") + prompt + QStringLiteral(": "));
        const std::shared_ptr<PendingLine> line = ReadLineInBackground();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            const std::lock_guard lock(line->mutex);
            if (line->done)
                loop.quit();
        });
        poll.start(100);
        m_offered.clear();
        m_waiting = &loop;
        loop.exec();
        m_waiting = nullptr;
        if (!m_offered.isEmpty()) {
            WriteStderr(QStringLiteral("(received from the browser)\n"));
            value = m_offered;
            return true;
        }
        const std::lock_guard lock(line->mutex);
        if (line->ended)
            return false;
        value = line->text;
        return true;
    }

    void OfferInputText(const QString &value) override
    {
        if (!m_waiting)
            return;
        m_offered = value;
        m_waiting->quit();
    }

private:
    CliPrompts &m_base;
    QEventLoop *m_waiting = nullptr;
    QString m_offered;
};

// A collection with the user's stored options, talking through the command line.
struct GoogleSession
{
    CliPrompts prompts;
    CliDesktop desktop;
    TQorContacts contacts;
    BookClaim claim; // of the book the command rewrites
    int rejected = 0;

    explicit GoogleSession(const GoogleOptions &options) : prompts(options.answerYes)
    {
        contacts.SetPrompts(prompts);
        contacts.SetDesktop(desktop);
        UserEnvironment user(prompts);
        ApplyStoredOptions(user.Registry(), contacts);
        contacts.SetGoogleRefreshToken(options.refreshToken);
        contacts.OnError = [this](TQorContacts *, const QString &, const QString &, const QString &text, int) {
            ++rejected;
            prompts.ShowWarning(text);
        };
    }
};

int RunConnect(const GoogleOptions &options)
{
    GoogleSession session(options);
    ConnectPrompts prompts(session.prompts);
    LoopbackListener listener;
    session.contacts.SetPrompts(prompts);
    session.contacts.SetLoopbackListener(&listener);
    session.contacts.SetGoogleAccount(options.loginHint);
    if (!session.contacts.ConnectToGoogleContactsService())
        return ExitFailed;
    if (!options.printToken)
        return PrintResult(QStringLiteral("Connected.\n"));
    if (session.contacts.GoogleRefreshToken().isEmpty())
        return ReportFailure(QStringLiteral("Google gave no refresh token; remove the program's access in the Google "
                                   "account and connect again."));
    return PrintResult(session.contacts.GoogleRefreshToken() + u'\n');
}

enum class Access { Read, Rewrite };

// BOOK's path, with the book loaded when it exists (or when it must); claimed
// first when the command will rewrite it.
std::optional<QString> OpenBook(GoogleSession &session, const QString &argument, bool mustExist, Access access)
{
    const std::optional<QString> path = ResolveBookArgument(argument, session.prompts);
    if (!path)
        return std::nullopt;
    // An account's lock needs the folder its first save would make.
    if (access == Access::Rewrite && NamesAccountBook(argument))
        CreateBookFolder(*path);
    if (access == Access::Rewrite && !session.claim.ClaimOrTell(*path, session.prompts))
        return std::nullopt;
    session.claim.Remember(*path);
    if (!QFileInfo::exists(*path) && !mustExist)
        return path;
    if (!QFileInfo::exists(*path)) {
        session.prompts.ShowError(QStringLiteral("Cannot find \"%1\".").arg(*path));
        return std::nullopt;
    }
    if (!BookFormat().importer(session.contacts, *path, session.prompts))
        return std::nullopt;
    return path;
}

// Saves the book as it was given, an account's with its folder made when
// missing; false after telling the user, also when someone changed the book
// meanwhile. Both savers tell the user what went wrong.
bool SaveBook(GoogleSession &session, const QString &book, const QString &path)
{
    if (!session.claim.UnchangedOrTell(path, session.prompts))
        return false;
    if (NamesAccountBook(book))
        return SaveAccountBook(session.contacts, path);
    SaveBookWithBackup(session.contacts, path);
    return session.contacts.LastError().isEmpty();
}

int RunPull(const QString &book, const GoogleOptions &options)
{
    GoogleSession session(options);
    const std::optional<QString> path = OpenBook(session, book, false, Access::Rewrite);
    if (!path)
        return ExitFailed;
    const int errorsBefore = session.prompts.ErrorCount();
    const int read = session.contacts.ImportFromGoogleContactsService();
    // A partial read is never saved: it would silently drop the rest of the book.
    if (read == 0 || session.prompts.ErrorCount() != errorsBefore)
        return ReportFailure(QStringLiteral("Nothing was saved."));
    if (!SaveBook(session, book, *path) || session.prompts.ErrorCount() != errorsBefore)
        return ExitFailed;
    const int status = PrintResult(QString::number(qMax(read, 0)) + u'\n');
    return status == ExitOk && session.rejected > 0 ? ExitRejected : status;
}

int RunPush(const QString &book, const GoogleOptions &options)
{
    GoogleSession session(options);
    if (!OpenBook(session, book, true, Access::Read))
        return ExitFailed;
    const int sent = session.contacts.ExportToGoogleContactsService();
    if (sent < 0)
        return ExitFailed;
    const auto &counts = session.contacts.LastGoogleExportCounts();
    const int status = PrintResult(QStringLiteral("created %1, updated %2, failed %3\n")
                                 .arg(counts.created)
                                 .arg(counts.updated)
                                 .arg(counts.failed));
    return status == ExitOk && counts.failed > 0 ? ExitRejected : status;
}

int RunGroups(const GoogleOptions &options)
{
    GoogleSession session(options);
    const int errorsBefore = session.prompts.ErrorCount();
    if (session.contacts.ReadGoogleContactGroupsFromGoogleContactsService() < 0
        || session.prompts.ErrorCount() != errorsBefore)
        return ExitFailed;
    QString out;
    for (const QString &entry : session.contacts.GoogleContactGroups()) {
        const qsizetype equals = entry.lastIndexOf(u'=');
        out += entry.left(equals) + u'\t' + entry.mid(equals + 1) + u'\n';
    }
    return PrintResult(out);
}

int RunAccountsList()
{
    CliPrompts prompts(false);
    UserEnvironment user(prompts);
    QString out;
    for (const TGoogleAccountData &row : ReadGoogleAccounts(user.Registry(), StoredGoogleAccountNames(user.Registry())))
        out += row.GoogleAccount + (row.GoogleRefreshToken.isEmpty() ? QStringLiteral("\tno token") : QStringLiteral("\ttoken"))
               + (row.GoogleGeocodingKey.isEmpty() ? QString() : QStringLiteral("\tgeocoding key")) + u'\n';
    return PrintResult(out);
}

// Adds or replaces one account (add) or removes it (remove), keeping the others.
int RunAccountsChange(const QString &verb, const QString &name, const GoogleOptions &options)
{
    if (name.isEmpty() || name.contains(u'\\'))
        return ReportFailure(QStringLiteral("The Google Account value must be non-empty and hold no backslash."));
    CliPrompts prompts(false);
    UserEnvironment user(prompts);
    TQorRegistryEnhanced &registry = user.Registry();
    std::vector<TGoogleAccountData> rows = ReadGoogleAccounts(registry, StoredGoogleAccountNames(registry));
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto &row) { return row.GoogleAccount == name; });
    if (verb == QLatin1StringView("remove")) {
        if (found == rows.end())
            return ReportFailure(QStringLiteral("No stored Google account is named \"%1\".").arg(name));
        rows.erase(found);
    } else if (found == rows.end()) {
        rows.push_back({name, options.geocodingKey, options.refreshToken});
    } else {
        if (options.geocodingKeyGiven)
            found->GoogleGeocodingKey = options.geocodingKey;
        if (options.refreshTokenGiven)
            found->GoogleRefreshToken = options.refreshToken;
    }
    SaveGoogleAccounts(registry, rows, ReadTextSetting(registry, SettingId::DefaultGoogleAccount));
    return ExitOk;
}

int RunAccounts(const QStringList &words, const GoogleOptions &options)
{
    if (words.size() == 1)
        return RunAccountsList();
    const QString verb = words[1];
    if ((verb == QLatin1StringView("add") || verb == QLatin1StringView("remove")) && words.size() == 3)
        return RunAccountsChange(verb, words[2], options);
    return ReportFailure(QStringLiteral("google accounts takes nothing, add NAME or remove NAME."));
}

// A token on the command line is visible to every user of the machine (ps), so
// "-" reads it from standard input and the environment can hold it instead;
// an explicit --account still names its own stored token.
bool ResolveRefreshToken(GoogleOptions &options)
{
    if (options.refreshTokenGiven && options.refreshToken == QLatin1StringView("-")) {
        std::string line;
        std::getline(std::cin, line);
        options.refreshToken = QString::fromStdString(line).trimmed();
        if (options.refreshToken.isEmpty()) {
            ReportFailure(QStringLiteral("--refresh-token - found no token on standard input."));
            return false;
        }
    } else if (!options.refreshTokenGiven && options.account.isEmpty()) {
        options.refreshToken = qEnvironmentVariable("CARDOLIN_GOOGLE_REFRESH_TOKEN").trimmed();
        options.refreshTokenGiven = !options.refreshToken.isEmpty();
    }
    return true;
}

std::optional<TSyncAction> ParseSyncAction(const QString &text)
{
    if (text.isEmpty() || text == QLatin1StringView("contribute"))
        return saContribute;
    if (text == QLatin1StringView("echo"))
        return saEcho;
    if (text == QLatin1StringView("synchronize"))
        return saSynchronize;
    return std::nullopt;
}

} // namespace

int RunSyncCommand(const QString &book, const GoogleOptions &options)
{
    const std::optional<TSyncAction> action = ParseSyncAction(options.syncAction);
    if (!action)
        return ReportFailure(QStringLiteral("--action takes contribute, echo or synchronize."));
    if (options.account.isEmpty())
        return ReportFailure(QStringLiteral("sync needs --account NAME (see google accounts)."));
    GoogleSession session(options);
    UserEnvironment user(session.prompts);
    if (!StoredGoogleAccountNames(user.Registry()).contains(options.account))
        return ReportFailure(QStringLiteral("No stored Google account is named \"%1\".").arg(options.account));
    const std::optional<QString> path = OpenBook(session, book, true, Access::Rewrite);
    if (!path)
        return ExitFailed; // a book that did not load whole is never synchronised
    ConnectPrompts prompts(session.prompts);
    LoopbackListener listener;
    TQorContacts account;
    ApplyStoredOptions(user.Registry(), account);
    for (TQorContacts *side : {&session.contacts, &account}) {
        side->SetPrompts(prompts);
        side->SetDesktop(session.desktop);
        side->SetLoopbackListener(&listener);
    }
    TGoogleSync sync(user.Registry(), session.contacts, account, prompts);
    sync.Action = *action;
    const int errorsBefore = session.prompts.ErrorCount();
    const bool done = sync.Run(options.account);
    for (const QString &warning : sync.Warnings())
        WriteStderr(QStringLiteral("warning: ") + QString(warning).replace(u'\r', u' ') + u'\n');
    if (!done && sync.Counters().Total() == 0)
        return ExitFailed;
    // The account has changed whether or not the book could follow: the
    // counters are printed either way, but a book left behind is a failure.
    const bool saved = sync.Counters().Total() == 0 || SaveBook(session, book, *path);
    const TSyncCounters &c = sync.Counters();
    const int status = PrintResult(QStringLiteral("local created: %1\nlocal deleted: %2\nlocal updated: %3\n"
                                            "cloud created: %4\ncloud deleted: %5\ncloud updated: %6\n")
                                 .arg(c.LocalCreated)
                                 .arg(c.LocalDeleted)
                                 .arg(c.LocalUpdated)
                                 .arg(c.CloudCreated)
                                 .arg(c.CloudDeleted)
                                 .arg(c.CloudUpdated));
    if (status != ExitOk || !saved)
        return saved ? status : ExitFailed;
    return sync.Warnings().isEmpty() && session.prompts.ErrorCount() == errorsBefore ? ExitOk : ExitRejected;
}

int RunGoogleCommand(const QStringList &words, const GoogleOptions &given)
{
    GoogleOptions options = given;
    if (!ResolveRefreshToken(options))
        return ExitFailed;
    const QString action = words.value(0);
    if (action == QLatin1StringView("accounts"))
        return RunAccounts(words, options);
    const bool needsBook = action == QLatin1StringView("pull") || action == QLatin1StringView("push");
    if (action == QLatin1StringView("connect") && words.size() == 1)
        return RunConnect(options);
    if (!needsBook && action != QLatin1StringView("groups"))
        return ReportFailure(QStringLiteral("google takes connect, pull BOOK, push BOOK, groups or accounts."));
    if (words.size() != (needsBook ? 2 : 1))
        return ReportFailure(needsBook ? QStringLiteral("google %1 takes one BOOK.").arg(action)
                              : QStringLiteral("google groups takes no BOOK."));
    GoogleOptions withToken = options;
    if (withToken.refreshToken.isEmpty() && !withToken.account.isEmpty()) {
        CliPrompts prompts(false);
        UserEnvironment user(prompts);
        withToken.refreshToken = ReadGoogleRefreshToken(user.Registry(), withToken.account);
    }
    if (withToken.refreshToken.isEmpty())
        return ReportFailure(QStringLiteral("google %1 needs --refresh-token or --account (see google connect --print-token).").arg(action));
    if (action == QLatin1StringView("pull"))
        return RunPull(words[1], withToken);
    if (action == QLatin1StringView("push"))
        return RunPush(words[1], withToken);
    return RunGroups(withToken);
}

} // namespace cardolin::cli
