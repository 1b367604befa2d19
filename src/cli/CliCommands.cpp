#include "cli/CliCommands.h"

#include "cli/CardDavCommands.h"
#include "cli/CliFormats.h"
#include "cli/ListsCommand.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/ContactJson.h"
#include "cli/ContactText.h"
#include "cli/GoogleCommands.h"
#include "cli/SettingsCommands.h"
#include "cli/UpdateCommands.h"
#include "cli/UserEnvironment.h"
#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/QorContacts.h"
#include "online/StoredGoogleAccounts.h"

#include <QFileInfo>
#include <QHash>

#include <span>

namespace cardolin::cli {

namespace {

// ---- command line ----------------------------------------------------------

struct Option
{
    QLatin1StringView name;
    bool takesValue;
};

struct Arguments
{
    QStringList positionals;
    QHash<QString, QString> options; // by name without dashes; "" for a flag
    bool Has(const char *name) const { return options.contains(QLatin1StringView(name)); }
    QString Value(const char *name) const { return options.value(QLatin1StringView(name)); }
};

struct Command
{
    QLatin1StringView name;
    qsizetype positionals;
    std::span<const Option> options;
    int (*run)(const Arguments &);
    qsizetype optionalPositionals = 0; // may follow the required ones
};

QString WrappedList(const QString &heading, const QStringList &words)
{
    QString out = heading;
    qsizetype column = heading.size();
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString word = words[i] + (i + 1 < words.size() ? QStringLiteral(",") : QString());
        if (column + 1 + word.size() > 78) {
            out += QLatin1StringView("\n    ");
            column = 4;
        } else {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out + QLatin1Char('\n');
}

QString UsageText()
{
    QStringList readable, writable;
    for (const Format &format : Formats()) {
        if (format.canImport)
            readable.append(format.word);
        if (format.canExport)
            writable.append(format.word);
    }
    return QStringLiteral(
               "Usage:\n"
               "  quillet-cli convert INPUT OUTPUT [--from FORMAT] [--to FORMAT] [--geocoding-key KEY] [--yes]\n"
               "  quillet-cli show BOOK [--json]\n"
               "  quillet-cli list BOOK [--display-type TYPE] [--replace-accented-chars]\n"
               "  quillet-cli query BOOK TEXT [--type QUERY] [--display-type TYPE]\n"
               "                    [--case-sensitive] [--keep-accents]\n"
               "  quillet-cli dedupe BOOK [--method merge|keep-newest|keep-oldest] [--display-type TYPE]\n"
               "  quillet-cli format BOOK [--dial-number] [--email] [--website] [--last-name-uppercase]\n"
               "  quillet-cli accounts\n"
               "  quillet-cli settings get PATH [--show-secrets]\n"
               "  quillet-cli settings set PATH VALUE [--type string|integer|boolean] [--yes]\n"
               "  quillet-cli settings list [KEY] [--show-secrets]\n"
               "  quillet-cli settings export KEY FILE [--include-secrets]\n"
               "  quillet-cli google connect [--login-hint EMAIL] [--print-token]\n"
               "  quillet-cli google pull BOOK --refresh-token TOKEN\n"
               "  quillet-cli google push BOOK --refresh-token TOKEN\n"
               "  quillet-cli google groups --refresh-token TOKEN\n"
               "  quillet-cli update check [--url URL]\n"
               "  quillet-cli google accounts [add NAME [--refresh-token T|-] [--geocoding-key K] | remove NAME]\n"
               "  quillet-cli sync BOOK --account NAME [--action contribute|echo|synchronize] [--yes]\n"
               "  quillet-cli carddav accounts [add NAME --url URL --user USER [--addressbook BOOK] | remove NAME]\n"
               "  quillet-cli carddav books --account NAME\n"
               "  quillet-cli carddav sync BOOK --account NAME [--dry-run] [--yes]\n"
               "  quillet-cli default-lists\n"
               "  quillet-cli --help\n"
               "\n"
               "Without --from or --to the format follows the file's extension\n"
               "(.qcb, .vcf, .ldif, .kml; .csv reads as csv). Questions are answered No\n"
               "unless --yes is given.\n"
               "TYPE: first-last, first-middle-last (default), full, last-first.\n"
               "QUERY: all (default), category, company, display-name, keyword, location.\n"
               "dedupe and format rewrite BOOK, keeping the previous version as its backup\n"
               "(Ann.qcb -> Ann.~cb).\n"
               "A kml export geocodes with --geocoding-key, else CARDOLIN_GEOCODING_KEY, else\n"
               "the key stored for the default Google account.\n"
               "BOOK (and INPUT, OUTPUT) \"@NAME\" is the book of account NAME where the program\n"
               "keeps it, \"@\" the current account's; write ./@x for a file named @x.\n"
               "PATH and KEY are relative to the program's settings (Options\\SortAlphabetically);\n"
               "get prints a missing setting's default and exits 1 when there is none; get and\n"
               "list print secrets as <secret: N characters> unless --show-secrets is given.\n"
               "Setting where books live offers to move them, which --yes accepts. export\n"
               "writes a file only you can read, without tokens, keys and the client secret\n"
               "unless --include-secrets is given.\n"
               "google needs the settings GoogleClientID and GoogleClientSecret (your own OAuth\n"
               "client). connect signs in through the browser and takes the code from it or from\n"
               "standard input; pull replaces BOOK's contacts with the account's (keeping a\n"
               "backup), push uploads BOOK's contacts. --account NAME takes the refresh token\n"
               "stored for that account. --refresh-token - reads the token from standard input;\n"
               "without either, CARDOLIN_GOOGLE_REFRESH_TOKEN gives it. accounts add changes\n"
               "only the values it is given. sync brings BOOK and the account together as the\n"
               "action says, saves BOOK (with its backup) when it changed and prints the six\n"
               "counters; Echo asks before it deletes from the account, which --yes accepts.\n"
               "carddav accounts add finds the address books at URL (a server, a principal or\n"
               "an address book) and keeps the account only when that worked; the password comes\n"
               "from CARDOLIN_CARDDAV_PASSWORD, else from one line of standard input, and is kept\n"
               "in the desktop's keyring (else in the settings file). --addressbook takes an\n"
               "address book's path or display name, needed when the account has several.\n"
               "carddav sync brings BOOK and the account's address book together both ways and\n"
               "prints six counters (local created, updated, deleted; server created, updated,\n"
               "deleted), then one line per field changed on both sides, where the server's\n"
               "value was kept. A sync that would delete many contacts stops unless --yes is\n"
               "given; --dry-run only tells what would happen.\n"
               "update check reads the update file at URL, else at CARDOLIN_UPDATE_URL, else at\n"
               "the setting UpdateFileURL, and exits 0 when up to date, 1 when a newer version\n"
               "is published, 2 when the check failed.\n")
           + WrappedList(QStringLiteral("Read:"), readable) + WrappedList(QStringLiteral("Write:"), writable)
           + QStringLiteral("Exit status: 0 done, 1 done but records were rejected, 2 failed.\n");
}

int UsageError(const QString &message)
{
    WriteStderr(QLatin1StringView("error: ") + message + QLatin1StringView("\n\n") + UsageText());
    return ExitFailed;
}

const Option kYes{QLatin1StringView("yes"), false};

const Option *FindOption(const Command &command, QStringView name)
{
    if (name == kYes.name)
        return &kYes;
    for (const Option &option : command.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

// Fills args from what follows the command's name; an empty result is success,
// anything else says what is wrong.
QString Parse(const Command &command, const QStringList &words, Arguments &args)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words[i];
        // A negative number ("-1") is a value, not an option.
        const bool number = word.size() > 1 && word[1].isDigit();
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1StringView("-") || number) {
            args.positionals.append(word);
            continue;
        }
        if (word == QLatin1StringView("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
        const Option *option = word.startsWith(QLatin1StringView("--")) ? FindOption(command, name) : nullptr;
        if (!option)
            return QStringLiteral("Unknown option \"%1\" for %2.").arg(word, command.name);
        if (!option->takesValue && equals >= 0)
            return QStringLiteral("--%1 takes no value.").arg(name);
        QString value;
        if (equals >= 0)
            value = word.mid(equals + 1);
        else if (option->takesValue && ++i < words.size())
            value = words[i];
        if (option->takesValue && value.isEmpty())
            return QStringLiteral("--%1 needs a value.").arg(name);
        args.options.insert(name, value);
    }
    if (args.positionals.size() < command.positionals)
        return QStringLiteral("Missing arguments for %1.").arg(command.name);
    if (args.positionals.size() > command.positionals + command.optionalPositionals)
        return QStringLiteral("Unexpected argument \"%1\".")
            .arg(args.positionals[command.positionals + command.optionalPositionals]);
    return {};
}

// ---- running ---------------------------------------------------------------

// One collection with the prompts and the error event of the command line.
struct Session
{
    CliPrompts prompts;
    TQorContacts contacts;
    QString bookPath; // BOOK resolved, once OpenBook has run
    BookClaim claim;  // of the book the command rewrites
    int rejected = 0;

    explicit Session(const Arguments &args) : prompts(args.Has("yes"))
    {
        contacts.SetPrompts(prompts);
        contacts.OnError = [this](TQorContacts *, const QString &context, const QString &type,
                                  const QString &text, int) {
            ++rejected;
            QStringList parts{context, type, text};
            parts.removeAll(QString());
            prompts.ShowWarning(parts.join(QLatin1StringView(": ")));
        };
    }

    bool Import(const Format &format, const QString &path)
    {
        // The book loader takes a missing file for an empty book; here it is a mistake.
        if (!QFileInfo::exists(path)) {
            prompts.ShowError(QStringLiteral("Cannot find \"%1\".").arg(path));
            return false;
        }
        return format.importer(contacts, path, prompts);
    }

    int Finish()
    {
        if (rejected == 0)
            return ExitOk;
        prompts.ShowWarning(rejected == 1 ? QStringLiteral("1 record was rejected.")
                                          : QStringLiteral("%1 records were rejected.").arg(rejected));
        return ExitRejected;
    }
};

enum class Direction { Import, Export };

// The format named by the option, or else the one the path's extension implies.
// Null after telling the user why there is none.
const Format *ChooseFormat(const Arguments &args, const char *option, const QString &path,
                           Direction direction)
{
    const bool reading = direction == Direction::Import;
    const Format *format = nullptr;
    if (args.Has(option)) {
        const QString word = args.Value(option);
        format = FindFormat(word);
        if (!format) {
            UsageError(QStringLiteral("Unknown format \"%1\".").arg(word));
            return nullptr;
        }
    } else {
        format = FormatOfPath(path);
        if (!format) {
            ReportFailure(QStringLiteral("Cannot tell the format of \"%1\" from its name; give it with --%2.")
                        .arg(path, QLatin1StringView(option)));
            return nullptr;
        }
    }
    if (!(reading ? format->canImport : format->canExport)) {
        ReportFailure(QStringLiteral("The format \"%1\" cannot be %2.")
                    .arg(format->word, reading ? QStringLiteral("read") : QStringLiteral("written")));
        return nullptr;
    }
    if (!(reading ? format->importer != nullptr : format->exporter != nullptr)) {
        ReportFailure(QStringLiteral("%1 the format \"%2\" is not supported yet.")
                    .arg(reading ? QStringLiteral("Reading") : QStringLiteral("Writing"), format->word));
        return nullptr;
    }
    return format;
}

// Prints the command's answer; the exit status says whether it got out and
// whether records were rejected on the way.
int PrintAndFinish(Session &session, const QString &text)
{
    WriteStdout(text);
    if (!FlushStdout())
        return ReportFailure(QStringLiteral("Cannot write to standard output."));
    return session.Finish();
}

// A non-empty input that gave no contact is a failure whatever its format:
// converting it would quietly write an empty book. A contacts book is exempt,
// as its loader already refuses a file it cannot read.
bool CheckSomethingRead(Session &session, const Format &format, const QString &path)
{
    if (!session.contacts.ContactDataList().empty() || &format == &BookFormat())
        return true;
    const QFileInfo info(path);
    if (session.rejected == 0 && !(info.isFile() && info.size() > 0))
        return true;
    QString reason = QStringLiteral("No contact could be read from \"%1\" as %2").arg(path, format.word);
    if (session.rejected > 0)
        reason += session.rejected == 1 ? QStringLiteral(": its only record was rejected")
                                        : QStringLiteral(": all its %1 records were rejected").arg(session.rejected);
    session.prompts.ShowError(reason + QLatin1Char('.'));
    return false;
}

// --geocoding-key, else CARDOLIN_GEOCODING_KEY, else the default stored
// account's key. The settings are read only for an export that geocodes.
QString GeocodingKey(const Arguments &args, const Format &to, UserPrompts &prompts)
{
    if (const QString given = args.Value("geocoding-key"); !given.isEmpty())
        return given;
    if (to.word != QLatin1StringView("kml"))
        return GeocodingKeyFromEnvironment();
    UserEnvironment user(prompts);
    return DefaultGeocodingKey(user.Registry());
}

int RunConvert(const Arguments &args)
{
    Session session(args);
    const std::optional<QString> input = ResolveBookArgument(args.positionals[0], session.prompts);
    const std::optional<QString> output = input ? ResolveBookArgument(args.positionals[1], session.prompts)
                                                : std::nullopt;
    if (!output)
        return ExitFailed;
    const Format *from = ChooseFormat(args, "from", *input, Direction::Import);
    if (!from)
        return ExitFailed;
    const Format *to = ChooseFormat(args, "to", *output, Direction::Export);
    if (!to)
        return ExitFailed;
    session.contacts.SetGoogleGeocodingKey(GeocodingKey(args, *to, session.prompts));
    // A partly read input is never written out: the result would silently lack records.
    // A book written over is claimed like any other rewrite, before the work;
    // an account's lock needs the folder its first save would make.
    if (to == &BookFormat() && NamesAccountBook(args.positionals[1]))
        CreateBookFolder(*output);
    if (to == &BookFormat() && !session.claim.ClaimOrTell(*output, session.prompts))
        return ExitFailed;
    if (!session.Import(*from, *input) || !CheckSomethingRead(session, *from, *input))
        return ExitFailed;
    // An account's book keeps its previous version as the backup, as Apply does.
    const bool written = NamesAccountBook(args.positionals[1]) && to == &BookFormat()
                             ? SaveAccountBook(session.contacts, *output)
                             : to->exporter(session.contacts, *output, session.prompts);
    if (!written)
        return ExitFailed;
    const qsizetype read = qsizetype(session.contacts.ContactDataList().size());
    return PrintAndFinish(session, read == 1 ? QStringLiteral("1 contact read.\n")
                                             : QStringLiteral("%1 contacts read.\n").arg(read));
}

// ---- commands on one book --------------------------------------------------

// A word of the command line and the value it stands for.
template <typename T> struct Choice
{
    QLatin1StringView word;
    T value;
};

const Choice<TDisplayType> kDisplayTypes[] = {
    {QLatin1StringView("first-last"), dtFirstLastName},
    {QLatin1StringView("first-middle-last"), dtFirstMiddleLastName},
    {QLatin1StringView("full"), dtFullName},
    {QLatin1StringView("last-first"), dtLastFirstName},
};
const Choice<TQueryType> kQueryTypes[] = {
    {QLatin1StringView("all"), qtAll},           {QLatin1StringView("category"), qtCategory},
    {QLatin1StringView("company"), qtCompany},   {QLatin1StringView("display-name"), qtDisplayName},
    {QLatin1StringView("keyword"), qtKeyword},   {QLatin1StringView("location"), qtLocation},
};
const Choice<TDeduplicationMethod> kMethods[] = {
    {QLatin1StringView("merge"), dmMerge},
    {QLatin1StringView("keep-newest"), dmKeepNewest},
    {QLatin1StringView("keep-oldest"), dmKeepOldest},
};
const Choice<TFormatContactsOption> kFormatOptions[] = {
    {QLatin1StringView("dial-number"), fcoDialNumber},
    {QLatin1StringView("email"), fcoEmail},
    {QLatin1StringView("website"), fcoWebsite},
    {QLatin1StringView("last-name-uppercase"), fcoLastNameUppercase},
};

// The value the option names, or the fallback when it is not given; false after
// telling the user that the word is not one of the choices.
template <typename T, size_t N>
bool Choose(const Arguments &args, const char *option, const Choice<T> (&choices)[N], T &value)
{
    if (!args.Has(option))
        return true;
    const QString word = args.Value(option);
    for (const Choice<T> &choice : choices)
        if (choice.word == word) {
            value = choice.value;
            return true;
        }
    QStringList words;
    for (const Choice<T> &choice : choices)
        words.append(choice.word);
    UsageError(QStringLiteral("--%1 takes one of: %2.").arg(QLatin1StringView(option), words.join(QLatin1StringView(", "))));
    return false;
}

enum class Access { Read, Rewrite };

// Loads BOOK into the session, with the display settings of the command line.
// A command that rewrites it claims it first, so that no other writer comes
// between the reading and the saving.
bool OpenBook(Session &session, const Arguments &args, Access access = Access::Read)
{
    TDisplayType type = dtFirstMiddleLastName;
    if (!Choose(args, "display-type", kDisplayTypes, type))
        return false;
    session.contacts.SetDisplayType(type);
    if (args.Has("replace-accented-chars"))
        session.contacts.SetDisplayTypeOptions(dtoReplaceAccentedChars);
    const std::optional<QString> path = ResolveBookArgument(args.positionals[0], session.prompts);
    if (!path)
        return false;
    session.bookPath = *path;
    if (access == Access::Rewrite && !session.claim.ClaimOrTell(session.bookPath, session.prompts))
        return false;
    session.claim.Remember(session.bookPath);
    return session.Import(BookFormat(), session.bookPath);
}

// Loads the book and prints what render makes of it.
int PrintBook(const Arguments &args, QString (*render)(const TQorContacts &))
{
    Session session(args);
    if (!OpenBook(session, args))
        return ExitFailed;
    return PrintAndFinish(session, render(session.contacts));
}

QString RenderJson(const TQorContacts &contacts)
{
    return ContactsToJson(contacts.ContactDataList());
}

int RunShow(const Arguments &args)
{
    return PrintBook(args, args.Has("json") ? RenderJson : ContactsToText);
}

int RunList(const Arguments &args)
{
    return PrintBook(args, ContactNames);
}

int RunQuery(const Arguments &args)
{
    Session session(args);
    TQueryType type = qtAll;
    if (!Choose(args, "type", kQueryTypes, type) || !OpenBook(session, args))
        return ExitFailed;
    TFindOptions options = foIgnoreAccentedChars;
    options.setFlag(foCaseSensitive, args.Has("case-sensitive"));
    options.setFlag(foIgnoreAccentedChars, !args.Has("keep-accents"));
    session.contacts.SetFindOptions(options);
    session.contacts.QueryContactDataList(args.positionals[1], type, dtInherited);
    QString out;
    for (const TContactData *contact : session.contacts.QueryResultsContactDataList())
        out += ListName(session.contacts, *contact) + QLatin1Char('\n');
    return PrintAndFinish(session, out);
}

// Writes the changed book back over itself, as Apply does: backup first. A
// book that someone changed meanwhile is left alone.
bool SaveBack(Session &session, const QString &path)
{
    if (!session.claim.UnchangedOrTell(path, session.prompts))
        return false;
    const int errorsBefore = session.prompts.ErrorCount();
    SaveBookWithBackup(session.contacts, path);
    return session.prompts.ErrorCount() == errorsBefore;
}

int RunDedupe(const Arguments &args)
{
    Session session(args);
    TDeduplicationMethod method = dmMerge;
    if (!Choose(args, "method", kMethods, method) || !OpenBook(session, args, Access::Rewrite))
        return ExitFailed;
    const int removed = session.contacts.DeduplicateContactDataList(method);
    if (!SaveBack(session, session.bookPath))
        return ExitFailed;
    return PrintAndFinish(session, QString::number(removed) + QLatin1Char('\n'));
}

int RunFormat(const Arguments &args)
{
    Session session(args);
    if (!OpenBook(session, args, Access::Rewrite))
        return ExitFailed;
    TFormatContactsOptions options;
    for (const auto &choice : kFormatOptions)
        options.setFlag(choice.value, args.options.contains(choice.word));
    if (!options)
        options = fcoDialNumber | fcoEmail | fcoWebsite;
    session.contacts.SetFormatContactsOptions(options);
    session.contacts.FormatContactDataList();
    return SaveBack(session, session.bookPath) ? session.Finish() : ExitFailed;
}

const Option kConvertOptions[] = {{QLatin1StringView("from"), true},
                                  {QLatin1StringView("to"), true},
                                  {QLatin1StringView("geocoding-key"), true}};
const Option kShowOptions[] = {{QLatin1StringView("json"), false}};
const Option kDisplayType{QLatin1StringView("display-type"), true};
const Option kListOptions[] = {kDisplayType, {QLatin1StringView("replace-accented-chars"), false}};
const Option kQueryOptions[] = {kDisplayType,
                                {QLatin1StringView("replace-accented-chars"), false},
                                {QLatin1StringView("type"), true},
                                {QLatin1StringView("case-sensitive"), false},
                                {QLatin1StringView("keep-accents"), false}};
const Option kDedupeOptions[] = {kDisplayType, {QLatin1StringView("method"), true}};
const Option kFormatCommandOptions[] = {{QLatin1StringView("dial-number"), false},
                                        {QLatin1StringView("email"), false},
                                        {QLatin1StringView("website"), false},
                                        {QLatin1StringView("last-name-uppercase"), false}};

int RunAccounts(const Arguments &args)
{
    return RunAccountsCommand(args.Has("yes"));
}

int RunSettings(const Arguments &args)
{
    return RunSettingsCommand(args.positionals, {args.Value("type"), args.Has("include-secrets"),
                                                 args.Has("show-secrets"), args.Has("yes")});
}

const Option kSettingsOptions[] = {{QLatin1StringView("type"), true},
                                   {QLatin1StringView("include-secrets"), false},
                                   {QLatin1StringView("show-secrets"), false}};

int RunGoogle(const Arguments &args)
{
    GoogleOptions options;
    options.loginHint = args.Value("login-hint");
    options.refreshToken = args.Value("refresh-token");
    options.refreshTokenGiven = args.Has("refresh-token");
    options.printToken = args.Has("print-token");
    options.answerYes = args.Has("yes");
    options.account = args.Value("account");
    options.geocodingKey = args.Value("geocoding-key");
    options.geocodingKeyGiven = args.Has("geocoding-key");
    return RunGoogleCommand(args.positionals, options);
}

int RunSync(const Arguments &args)
{
    GoogleOptions options;
    options.account = args.Value("account");
    options.syncAction = args.Value("action");
    options.answerYes = args.Has("yes");
    return RunSyncCommand(args.positionals[0], options);
}

const Option kSyncOptions[] = {{QLatin1StringView("account"), true}, {QLatin1StringView("action"), true}};

const Option kGoogleOptions[] = {{QLatin1StringView("login-hint"), true},
                                 {QLatin1StringView("print-token"), false},
                                 {QLatin1StringView("refresh-token"), true},
                                 {QLatin1StringView("account"), true},
                                 {QLatin1StringView("geocoding-key"), true}};

int RunCardDav(const Arguments &args)
{
    CardDavOptions options;
    options.url = args.Value("url");
    options.user = args.Value("user");
    options.addressBook = args.Value("addressbook");
    options.account = args.Value("account");
    options.answerYes = args.Has("yes");
    options.dryRun = args.Has("dry-run");
    return RunCardDavCommand(args.positionals, options);
}

const Option kCardDavOptions[] = {{QLatin1StringView("url"), true},
                                  {QLatin1StringView("user"), true},
                                  {QLatin1StringView("addressbook"), true},
                                  {QLatin1StringView("account"), true},
                                  {QLatin1StringView("dry-run"), false}};

int RunUpdate(const Arguments &args)
{
    return RunUpdateCommand(args.positionals, args.Value("url"));
}

const Option kUpdateOptions[] = {{QLatin1StringView("url"), true}};

const Command kCommands[] = {
    {QLatin1StringView("convert"), 2, kConvertOptions, RunConvert},
    {QLatin1StringView("show"), 1, kShowOptions, RunShow},
    {QLatin1StringView("list"), 1, kListOptions, RunList},
    {QLatin1StringView("query"), 2, kQueryOptions, RunQuery},
    {QLatin1StringView("dedupe"), 1, kDedupeOptions, RunDedupe},
    {QLatin1StringView("format"), 1, kFormatCommandOptions, RunFormat},
    {QLatin1StringView("accounts"), 0, {}, RunAccounts},
    {QLatin1StringView("settings"), 1, kSettingsOptions, RunSettings, 2},
    {QLatin1StringView("google"), 1, kGoogleOptions, RunGoogle, 2},
    {QLatin1StringView("sync"), 1, kSyncOptions, RunSync},
    {QLatin1StringView("update"), 1, kUpdateOptions, RunUpdate},
    {QLatin1StringView("carddav"), 1, kCardDavOptions, RunCardDav, 2},
    {QLatin1StringView("default-lists"), 0, {}, [](const Arguments &) { return RunDefaultListsCommand(); }},
};

bool AsksForHelp(const QStringList &arguments)
{
    for (const QString &word : arguments) {
        if (word == QLatin1StringView("--"))
            return false;
        if (word == QLatin1StringView("--help") || word == QLatin1StringView("-h"))
            return true;
    }
    return false;
}

} // namespace

int ReportFailure(const QString &message)
{
    WriteStderr(QLatin1StringView("error: ") + message + u'\n');
    return ExitFailed;
}

int PrintResult(const QString &text)
{
    WriteStdout(text);
    return FlushStdout() ? ExitOk : ReportFailure(QStringLiteral("Cannot write to standard output."));
}

int Run(const QStringList &arguments)
{
    if (AsksForHelp(arguments)) {
        WriteStdout(UsageText());
        return FlushStdout() ? ExitOk : ExitFailed;
    }
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("No command given."));
    for (const Command &command : kCommands) {
        if (command.name != arguments[0])
            continue;
        Arguments args;
        if (const QString problem = Parse(command, arguments.mid(1), args); !problem.isEmpty())
            return UsageError(problem);
        return command.run(args);
    }
    return UsageError(QStringLiteral("Unknown command \"%1\".").arg(arguments[0]));
}

} // namespace cardolin::cli
