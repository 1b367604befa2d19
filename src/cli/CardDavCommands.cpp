#include "cli/CardDavCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliFormats.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/UserEnvironment.h"
#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/CollectionOptions.h"
#include "contacts/QorContacts.h"
#include "online/carddav/CardDavAccounts.h"
#include "online/carddav/CardDavClient.h"
#include "online/carddav/CardDavSync.h"
#include "platform/TerminalInput.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>

namespace cardolin::cli {

namespace {

using namespace cardolin::carddav;

// The network of one command, through the proxy the options name.
struct Network
{
    QNetworkAccessManager manager;

    explicit Network(const TQorRegistryEnhanced &registry)
    {
        TQorContacts options;
        ApplyStoredOptions(registry, options);
        const quint16 port = quint16(options.ProxyPort().toUInt());
        manager.setProxy(options.ProxyAddress().isEmpty()
                             ? QNetworkProxy(QNetworkProxy::NoProxy)
                             : QNetworkProxy(QNetworkProxy::HttpProxy, options.ProxyAddress(), port));
    }
};

// An address typed without a scheme is taken as HTTPS.
QUrl ServerAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    return QUrl(text.contains(QLatin1StringView("://")) ? text : QStringLiteral("https://") + text);
}

// From the environment, else one line of standard input, never from the
// command line where every user of the machine could read it.
std::optional<QString> AskPassword(const QString &user, const QUrl &address)
{
    if (qEnvironmentVariableIsSet("CARDOLIN_CARDDAV_PASSWORD"))
        return qEnvironmentVariable("CARDOLIN_CARDDAV_PASSWORD");
    // A prompt on a pipe would only end up in front of the next message.
    if (platform::InputIsTerminal())
        WriteStderr(QStringLiteral("Password for %1 at %2: ").arg(user, address.host()));
    return platform::ReadHiddenLine();
}

QString BookLines(const QList<TAddressBookInfo> &books)
{
    QString out;
    for (const TAddressBookInfo &book : books)
        out += book.href + u'\t' + book.displayName + u'\n';
    return out;
}

// The book --addressbook names, by href (with or without its last slash) or
// by display name.
const TAddressBookInfo *FindBook(const QList<TAddressBookInfo> &books, const QString &wanted)
{
    const auto bare = [](QString href) { return href.endsWith(u'/') ? href.chopped(1) : href; };
    for (const TAddressBookInfo &book : books)
        if (bare(book.href) == bare(wanted) || bare(book.href) == bare(QUrl(wanted).path()))
            return &book;
    for (const TAddressBookInfo &book : books)
        if (!book.displayName.isEmpty() && book.displayName == wanted)
            return &book;
    return nullptr;
}

std::optional<TDiscovery> Discover(const TQorRegistryEnhanced &registry, const QUrl &address,
                                   const TDavCredentials &credentials)
{
    Network network(registry);
    TDiscovery found = DiscoverAddressBooks(network.manager, address, credentials);
    if (!found.outcome.Ok()) {
        ReportFailure(found.outcome.error.isEmpty() ? QStringLiteral("The server answered %1.").arg(found.outcome.status)
                                           : found.outcome.error);
        return std::nullopt;
    }
    if (found.books.isEmpty()) {
        ReportFailure(QStringLiteral("No address book was found at %1.").arg(address.toDisplayString()));
        return std::nullopt;
    }
    return found;
}

// ---- accounts ---------------------------------------------------------------

int RunAccountsList(UserEnvironment &user)
{
    QString out;
    for (const QString &name : StoredCardDavAccountNames(user.Registry()))
        if (const std::optional<TCardDavAccount> account = ReadCardDavAccount(user.Registry(), name))
            out += QStringList{account->name, account->address, account->user, account->bookHref, account->bookName}
                       .join(u'\t')
                   + u'\n';
    return PrintResult(out);
}

int RunAccountsAdd(UserEnvironment &user, const QString &name, const CardDavOptions &options)
{
    if (!IsValidCardDavAccountName(name))
        return ReportFailure(QStringLiteral("An account name must not be empty, start or end with a space, or hold a "
                                   "slash, a backslash or a control character."));
    if (options.url.isEmpty() || options.user.isEmpty())
        return ReportFailure(QStringLiteral("carddav accounts add needs --url URL and --user USER."));
    const QUrl address = ServerAddress(options.url);
    const std::optional<QString> password = AskPassword(options.user, address);
    if (!password)
        return ReportFailure(QStringLiteral("No password was given (CARDOLIN_CARDDAV_PASSWORD or one line of input)."));
    const std::optional<TDiscovery> found = Discover(user.Registry(), address, {options.user, *password});
    if (!found)
        return ExitFailed;
    const TAddressBookInfo *chosen = nullptr;
    if (!options.addressBook.isEmpty()) {
        chosen = FindBook(found->books, options.addressBook);
        if (!chosen)
            return ReportFailure(QStringLiteral("No address book is named \"%1\"; the account has:\n%2")
                            .arg(options.addressBook, BookLines(found->books).trimmed()));
    } else if (found->books.size() == 1) {
        chosen = &found->books.front();
    } else {
        return ReportFailure(QStringLiteral("The account has several address books; choose one with --addressbook:\n%1")
                        .arg(BookLines(found->books).trimmed()));
    }
    const TCardDavAccount account{name, address.toString(), options.user, chosen->href, chosen->displayName};
    const TSavedAccount saved = SaveCardDavAccount(user.Registry(), account, *password);
    if (saved.place == PasswordPlace::Lost) {
        RemoveCardDavAccount(user.Registry(), name);
        return ReportFailure(QStringLiteral("The password could not be stored; the account was not kept."));
    }
    if (!saved.warning.isEmpty())
        WriteStderr(QStringLiteral("warning: ") + saved.warning + u'\n');
    return PrintResult(BookLines({*chosen}));
}

int RunAccounts(const QStringList &words, const CardDavOptions &options)
{
    CliPrompts prompts(options.answerYes);
    UserEnvironment user(prompts);
    if (words.size() == 1)
        return RunAccountsList(user);
    const QString verb = words[1];
    if (verb == QLatin1StringView("add") && words.size() == 3)
        return RunAccountsAdd(user, words[2], options);
    if (verb == QLatin1StringView("remove") && words.size() == 3) {
        if (!RemoveCardDavAccount(user.Registry(), words[2]))
            return ReportFailure(QStringLiteral("No CardDAV account is named \"%1\".").arg(words[2]));
        return ExitOk;
    }
    return ReportFailure(QStringLiteral("carddav accounts takes nothing, add NAME or remove NAME."));
}

// The stored account --account names, with its password.
struct SignedIn
{
    TCardDavAccount account;
    TDavCredentials credentials;
};

std::optional<SignedIn> StoredAccount(const TQorRegistryEnhanced &registry, const QString &name)
{
    if (name.isEmpty()) {
        ReportFailure(QStringLiteral("This command needs --account NAME (see carddav accounts)."));
        return std::nullopt;
    }
    const std::optional<TCardDavAccount> account = ReadCardDavAccount(registry, name);
    if (!account) {
        ReportFailure(QStringLiteral("No CardDAV account is named \"%1\".").arg(name));
        return std::nullopt;
    }
    return SignedIn{*account, {account->user, ReadCardDavPassword(registry, name)}};
}

int RunBooks(const CardDavOptions &options)
{
    CliPrompts prompts(options.answerYes);
    UserEnvironment user(prompts);
    const std::optional<SignedIn> signedIn = StoredAccount(user.Registry(), options.account);
    if (!signedIn)
        return ExitFailed;
    const std::optional<TDiscovery> found =
        Discover(user.Registry(), QUrl(signedIn->account.address), signedIn->credentials);
    return found ? PrintResult(BookLines(found->books)) : ExitFailed;
}


// ---- sync -------------------------------------------------------------------

// The book a sync rewrites: claimed before it is read and held until the last
// save, as every other writer does.
struct BookSession
{
    CliPrompts prompts;
    TQorContacts contacts;
    BookClaim claim;
    QString argument;
    QString path;
    bool savedOnce = false;

    explicit BookSession(bool answerYes) : prompts(answerYes) { contacts.SetPrompts(prompts); }

    bool Open(const QString &given)
    {
        argument = given;
        const std::optional<QString> resolved = ResolveBookArgument(given, prompts);
        if (!resolved)
            return false;
        path = *resolved;
        // An account's lock needs the folder its first save would make.
        if (NamesAccountBook(given))
            CreateBookFolder(path);
        if (!claim.ClaimOrTell(path, prompts))
            return false;
        claim.Remember(path);
        // A book that is not there yet starts empty: the first sync fills it.
        return !QFileInfo::exists(path) || BookFormat().importer(contacts, path, prompts);
    }

    // The first save of a run keeps the book as it was before the run as its
    // backup; the later ones of the same run do not replace that backup.
    bool Save(QString &error)
    {
        if (claim.ChangedOnDisk(path)) {
            error = QStringLiteral("Another program changed \"%1\" during the sync.").arg(path);
            return false;
        }
        contacts.SetLastError(QString());
        if (!savedOnce && NamesAccountBook(argument))
            SaveAccountBook(contacts, path);
        else if (!savedOnce)
            SaveBookWithBackup(contacts, path);
        else
            contacts.SaveToXMLFile(path);
        if (!contacts.LastError().isEmpty()) {
            error = contacts.LastError();
            return false;
        }
        savedOnce = true;
        claim.Remember(path);
        return true;
    }
};

QString CountLines(const TSyncCounts &c)
{
    return QStringLiteral("local created: %1\nlocal updated: %2\nlocal deleted: %3\n"
                          "server created: %4\nserver updated: %5\nserver deleted: %6\n")
        .arg(c.localCreated)
        .arg(c.localUpdated)
        .arg(c.localDeleted)
        .arg(c.serverCreated)
        .arg(c.serverUpdated)
        .arg(c.serverDeleted);
}

QString DeletionRefusal(const TCardDavSyncReport &report)
{
    return QStringLiteral("This sync would delete %1 contact(s) from the book and %2 from the server; nothing was "
                          "changed. Run it again with --yes to go ahead.")
        .arg(report.pendingLocalDeletions)
        .arg(report.pendingServerDeletions);
}

int RunSync(const QString &book, const CardDavOptions &options)
{
    BookSession session(options.answerYes);
    UserEnvironment user(session.prompts);
    const std::optional<SignedIn> signedIn = StoredAccount(user.Registry(), options.account);
    if (!signedIn)
        return ExitFailed;
    ApplyStoredOptions(user.Registry(), session.contacts);
    if (!session.Open(book))
        return ExitFailed;
    Network network(user.Registry());
    TCardDavClient remote(network.manager, signedIn->account.BookUrl(), signedIn->credentials);

    TCardDavSyncOptions sync;
    sync.stateFolder = SyncStateFolder(QFileInfo(session.path).absoluteFilePath(), signedIn->account.name,
                                       signedIn->account.bookHref);
    sync.dryRun = options.dryRun;
    sync.confirmDeletions = [yes = options.answerYes](int, int) { return yes; };
    sync.saveBook = [&session](QString &error) { return session.Save(error); };
    if (!options.dryRun)
        RecordSyncStateFolder(user.Registry(), signedIn->account.name, sync.stateFolder);

    const TCardDavSyncReport report = SyncAddressBook(session.contacts, remote, sync);
    if (report.stoppedForDeletions)
        return ReportFailure(DeletionRefusal(report));
    if (report.failed)
        return ReportFailure(report.error.isEmpty() ? QStringLiteral("The sync failed.") : report.error);
    QString out = CountLines(report.counts);
    for (const TSyncConflict &conflict : report.conflicts)
        out += conflict.Line() + u'\n';
    for (const QString &refused : report.refused)
        WriteStderr(QStringLiteral("refused: ") + refused + u'\n');
    if (options.dryRun)
        WriteStderr(QStringLiteral("Dry run: nothing was changed on either side.\n"));
    const int status = PrintResult(out);
    if (status != ExitOk)
        return status;
    return report.conflicts.isEmpty() && report.refused.isEmpty() ? ExitOk : ExitRejected;
}

} // namespace

int RunCardDavCommand(const QStringList &words, const CardDavOptions &options)
{
    const QString action = words.value(0);
    if (action == QLatin1StringView("accounts"))
        return RunAccounts(words, options);
    if (action == QLatin1StringView("books") && words.size() == 1)
        return RunBooks(options);
    if (action == QLatin1StringView("sync") && words.size() == 2)
        return RunSync(words[1], options);
    return ReportFailure(QStringLiteral("carddav takes accounts [add NAME | remove NAME], books or sync BOOK."));
}

} // namespace cardolin::cli
