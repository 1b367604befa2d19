#include "cli/CliCommands.h"

#include "cli/CliFormats.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/ContactJson.h"
#include "cli/ContactText.h"
#include "contacts/QorContacts.h"

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
               "  quillet-cli convert INPUT OUTPUT [--from FORMAT] [--to FORMAT] [--yes]\n"
               "  quillet-cli show BOOK [--json]\n"
               "  quillet-cli list BOOK\n"
               "  quillet-cli --help\n"
               "\n"
               "Without --from or --to the format follows the file's extension\n"
               "(.qcb, .vcf, .ldif, .kml; .csv reads as csv). Questions are answered No\n"
               "unless --yes is given.\n")
           + WrappedList(QStringLiteral("Read:"), readable) + WrappedList(QStringLiteral("Write:"), writable)
           + QStringLiteral("Exit status: 0 done, 1 done but records were rejected, 2 failed.\n");
}

int UsageError(const QString &message)
{
    WriteStderr(QLatin1StringView("error: ") + message + QLatin1StringView("\n\n") + UsageText());
    return ExitFailed;
}

int Failure(const QString &message)
{
    WriteStderr(QLatin1StringView("error: ") + message + QLatin1Char('\n'));
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
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1StringView("-")) {
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
            return QStringLiteral("--%1 needs a format.").arg(name);
        args.options.insert(name, value);
    }
    if (args.positionals.size() < command.positionals)
        return QStringLiteral("Missing arguments for %1.").arg(command.name);
    if (args.positionals.size() > command.positionals)
        return QStringLiteral("Unexpected argument \"%1\".").arg(args.positionals[command.positionals]);
    return {};
}

// ---- running ---------------------------------------------------------------

// One collection with the prompts and the error event of the command line.
struct Session
{
    CliPrompts prompts;
    TQorContacts contacts;
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
            Failure(QStringLiteral("Cannot tell the format of \"%1\" from its name; give it with --%2.")
                        .arg(path, QLatin1StringView(option)));
            return nullptr;
        }
    }
    if (!(reading ? format->canImport : format->canExport)) {
        Failure(QStringLiteral("The format \"%1\" cannot be %2.")
                    .arg(format->word, reading ? QStringLiteral("read") : QStringLiteral("written")));
        return nullptr;
    }
    if (!(reading ? format->importer != nullptr : format->exporter != nullptr)) {
        Failure(QStringLiteral("%1 the format \"%2\" is not supported yet.")
                    .arg(reading ? QStringLiteral("Reading") : QStringLiteral("Writing"), format->word));
        return nullptr;
    }
    return format;
}

int RunConvert(const Arguments &args)
{
    const QString &input = args.positionals[0];
    const QString &output = args.positionals[1];
    const Format *from = ChooseFormat(args, "from", input, Direction::Import);
    if (!from)
        return ExitFailed;
    const Format *to = ChooseFormat(args, "to", output, Direction::Export);
    if (!to)
        return ExitFailed;
    Session session(args);
    // A partly read input is never written out: the result would silently lack records.
    if (!session.Import(*from, input) || !to->exporter(session.contacts, output, session.prompts))
        return ExitFailed;
    return session.Finish();
}

// Loads the book and prints what render makes of its contacts.
int PrintBook(const Arguments &args, QString (*render)(const TContactDataList &))
{
    Session session(args);
    if (!session.Import(BookFormat(), args.positionals[0]))
        return ExitFailed;
    WriteStdout(render(session.contacts.ContactDataList()));
    if (!FlushStdout())
        return Failure(QStringLiteral("Cannot write to standard output."));
    return session.Finish();
}

QString RenderNames(const TContactDataList &contacts)
{
    QString out;
    for (const auto &contact : contacts)
        out += ListName(*contact) + QLatin1Char('\n');
    return out;
}

int RunShow(const Arguments &args)
{
    return PrintBook(args, args.Has("json") ? ContactsToJson : ContactsToText);
}

int RunList(const Arguments &args)
{
    return PrintBook(args, RenderNames);
}

const Option kConvertOptions[] = {{QLatin1StringView("from"), true}, {QLatin1StringView("to"), true}};
const Option kShowOptions[] = {{QLatin1StringView("json"), false}};

const Command kCommands[] = {
    {QLatin1StringView("convert"), 2, kConvertOptions, RunConvert},
    {QLatin1StringView("show"), 1, kShowOptions, RunShow},
    {QLatin1StringView("list"), 1, {}, RunList},
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
