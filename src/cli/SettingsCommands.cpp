#include "cli/SettingsCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/UserEnvironment.h"
#include "contacts/BookRelocation.h"
#include "support/SettingsTable.h"

#include <QSet>

namespace cardolin::cli {

namespace {

// What get and list say of a setting that is neither stored nor has a default.
constexpr int kExitAbsent = 1;

int Print(const QString &text)
{
    WriteStdout(text);
    return FlushStdout() ? ExitOk : ExitFailed;
}

int Fail(CliPrompts &prompts, const QString &message)
{
    prompts.ShowError(message);
    return ExitFailed;
}

QString ValueText(const RegistryValue &value)
{
    if (value.type != RegistryType::Binary)
        return RegistryDataText(value);
    QStringList bytes;
    for (const char byte : value.bytes)
        bytes.append(QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper());
    return QStringLiteral("hex:") + bytes.join(u',');
}

// A Boolean default prints as the 1 or 0 it would be stored as.
QString DefaultText(const SettingDefinition &setting)
{
    const QVariant value = SettingDefault(setting);
    if (!value.isValid())
        return {};
    return setting.type == SettingType::Boolean ? QString::number(value.toBool() ? 1 : 0) : value.toString();
}

QString NameOf(const QString &path)
{
    return path.section(u'\\', -1, -1, QString::SectionSkipEmpty);
}

// A secret is printed only when asked for, so that a listing on the screen or
// in a terminal log does not give it away.
QString Shown(const QString &name, const QString &text, bool showSecrets)
{
    if (showSecrets || text.isEmpty() || !IsSecretValueName(name))
        return text;
    return QStringLiteral("<secret: %1 characters>").arg(text.size());
}

// ---- get ----------------------------------------------------------------------

int Get(UserEnvironment &user, CliPrompts &prompts, const QString &path, bool showSecrets)
{
    if (const std::optional<RegistryValue> stored = user.Registry().GetRawValue(path))
        return Print(Shown(NameOf(path), ValueText(*stored), showSecrets) + u'\n');
    // The program reads a missing setting as its default, and so does this.
    if (const SettingDefinition *setting = FindSetting(path); setting && SettingDefault(*setting).isValid())
        return Print(Shown(NameOf(path), DefaultText(*setting), showSecrets) + u'\n');
    prompts.ShowError(QStringLiteral("\"%1\" is not set.").arg(path));
    return kExitAbsent;
}

// ---- set ----------------------------------------------------------------------

struct TypeWord
{
    QLatin1StringView word;
    SettingType type;
};

const TypeWord kTypeWords[] = {
    {QLatin1StringView("string"), SettingType::Text},
    {QLatin1StringView("integer"), SettingType::Integer},
    {QLatin1StringView("boolean"), SettingType::Boolean},
};

// The type to store PATH as: the one asked for, else the setting's, else the
// one already stored, else text.
std::optional<SettingType> TypeFor(UserEnvironment &user, CliPrompts &prompts, const QString &path,
                                   const QString &word)
{
    if (!word.isEmpty()) {
        for (const TypeWord &entry : kTypeWords)
            if (entry.word == word)
                return entry.type;
        prompts.ShowError(QStringLiteral("--type takes one of: string, integer, boolean."));
        return std::nullopt;
    }
    if (const SettingDefinition *setting = FindSetting(path)) {
        if (setting->type != SettingType::Key)
            return setting->type;
        prompts.ShowError(QStringLiteral("\"%1\" is a key, not a value.").arg(path));
        return std::nullopt;
    }
    prompts.ShowWarning(QStringLiteral("\"%1\" is not one of the program's settings.").arg(path));
    const std::optional<RegistryValue> stored = user.Registry().GetRawValue(path);
    return stored && stored->type == RegistryType::Integer ? SettingType::Integer : SettingType::Text;
}

QVariant ParseValue(SettingType type, const QString &text)
{
    if (type != SettingType::Integer)
        return ParseSettingText(type, text);
    // Any 32-bit pattern: negative numbers and unsigned ones up to 4294967295.
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    return ok && number >= -2147483648LL && number <= 4294967295LL ? QVariant(number) : QVariant();
}

int Set(UserEnvironment &user, CliPrompts &prompts, const QString &path, const QString &text, const QString &typeWord)
{
    if (NameOf(path).isEmpty())
        return Fail(prompts, QStringLiteral("Give the path of a value, such as Options\\SortAlphabetically."));
    const std::optional<SettingType> type = TypeFor(user, prompts, path, typeWord);
    if (!type)
        return ExitFailed;
    const QVariant value = ParseValue(*type, text);
    if (!value.isValid())
        return Fail(prompts, QStringLiteral("\"%1\" is not a valid %2.")
                                 .arg(text, *type == SettingType::Boolean ? QStringLiteral("Boolean (1 or 0)")
                                                                          : QStringLiteral("integer")));
    const TStorageSettings before = ReadStorageSettings(user.Registry());
    if (!user.Registry().SetValue(path, value))
        return Fail(prompts, QStringLiteral("Cannot store \"%1\".").arg(path));
    // As after the Options dialog: books follow a change of where they live.
    const TStorageSettings after = ReadStorageSettings(user.Registry());
    if (!RelocationNeeded(before, after))
        return ExitOk;
    const int errorsBefore = prompts.ErrorCount();
    RelocateContactsBooks(user.Accounts().Accounts(), TContactsBookLocator(user.Accounts(), before),
                          user.Locator(), prompts);
    return prompts.ErrorCount() == errorsBefore ? ExitOk : ExitFailed;
}

// ---- list ---------------------------------------------------------------------

QStringList Parts(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

bool SameParts(const QStringList &a, const QStringList &b)
{
    return a.join(u'\\').compare(b.join(u'\\'), Qt::CaseInsensitive) == 0;
}

int List(UserEnvironment &user, CliPrompts &prompts, const QString &key, bool showSecrets)
{
    const QStringList keyParts = Parts(key);
    const RegistryPath path = Parts(kProgramSettingsKey) + keyParts;
    const RegistryStore &store = user.Store();
    bool known = store.KeyExists(path);
    QStringList subKeys = store.SubKeyNames(path);
    QSet<QString> stored;
    QString values;
    for (const QString &name : store.ValueNames(path)) {
        stored.insert(name.toCaseFolded());
        values += (name.isEmpty() ? QStringLiteral("@") : name) + QStringLiteral(" = ")
                  + Shown(name, ValueText(*store.ReadValue(path, name)), showSecrets) + u'\n';
    }
    // Settings that are not stored show what the program assumes for them.
    for (const SettingDefinition &setting : SettingDefinitions()) {
        QStringList settingKey = Parts(setting.path);
        const QString name = settingKey.takeLast();
        if (!SettingDefault(setting).isValid() || settingKey.size() < keyParts.size()
            || !SameParts(settingKey.first(keyParts.size()), keyParts))
            continue;
        known = true;
        if (settingKey.size() > keyParts.size()) {
            if (!subKeys.contains(settingKey[keyParts.size()], Qt::CaseInsensitive))
                subKeys.append(settingKey[keyParts.size()]);
        } else if (!stored.contains(name.toCaseFolded())) {
            values += name + QStringLiteral(" = ") + Shown(name, DefaultText(setting), showSecrets)
                      + QStringLiteral(" (default)\n");
        }
    }
    if (!known) {
        prompts.ShowError(QStringLiteral("There is no key \"%1\".").arg(key));
        return kExitAbsent;
    }
    subKeys.sort(Qt::CaseInsensitive);
    QString keys;
    for (const QString &name : subKeys)
        keys += name + QStringLiteral("\\\n");
    return Print(keys + values);
}

// ---- export -------------------------------------------------------------------

int Export(UserEnvironment &user, CliPrompts &prompts, const QString &key, const QString &file, bool includeSecrets)
{
    if (!user.Registry().KeyExists(key))
        return Fail(prompts, QStringLiteral("There is no key \"%1\" in the settings.").arg(key));
    int leftOut = 0;
    if (!user.Registry().ExportKeyToRegFile(key, file, includeSecrets ? nullptr : IsSecretValueName, &leftOut))
        return Fail(prompts, QStringLiteral("Cannot write \"%1\".").arg(file));
    if (leftOut > 0)
        prompts.ShowInformation(QStringLiteral("%1 secret value(s) (tokens, keys, the client secret) were left out; "
                                               "--include-secrets writes them.")
                                    .arg(leftOut));
    return ExitOk;
}

struct Action
{
    QLatin1StringView word;
    qsizetype minimum, maximum;
};

const Action kActions[] = {
    {QLatin1StringView("get"), 1, 1},
    {QLatin1StringView("set"), 2, 2},
    {QLatin1StringView("list"), 0, 1},
    {QLatin1StringView("export"), 2, 2},
};

} // namespace

int RunAccountsCommand(bool answerYes)
{
    CliPrompts prompts(answerYes);
    UserEnvironment user(prompts);
    const TContactsBookLocator locator = user.Locator();
    const QString current = user.Accounts().CurrentAccount();
    QString out;
    for (const QString &account : user.Accounts().Accounts())
        out += (account == current ? QStringLiteral("* ") : QStringLiteral("  ")) + account + u'\t'
               + locator.GetWindowsContactsBookFileName(account, stInherited) + u'\n';
    return Print(out);
}

int RunSettingsCommand(const QStringList &words, const SettingsOptions &options)
{
    CliPrompts prompts(options.answerYes);
    const QStringList rest = words.mid(1);
    const Action *action = nullptr;
    for (const Action &entry : kActions)
        if (entry.word == words.value(0))
            action = &entry;
    if (!action)
        return Fail(prompts, QStringLiteral("settings takes get, set, list or export."));
    if (rest.size() < action->minimum || rest.size() > action->maximum)
        return Fail(prompts, QStringLiteral("Wrong number of arguments for settings %1.").arg(action->word));
    if (!options.type.isEmpty() && action->word != QLatin1StringView("set"))
        return Fail(prompts, QStringLiteral("--type goes with settings set only."));
    if (options.includeSecrets && action->word != QLatin1StringView("export"))
        return Fail(prompts, QStringLiteral("--include-secrets goes with settings export only."));
    if (options.showSecrets && action->word != QLatin1StringView("get") && action->word != QLatin1StringView("list"))
        return Fail(prompts, QStringLiteral("--show-secrets goes with settings get and list only."));
    UserEnvironment user(prompts);
    if (action->word == QLatin1StringView("get"))
        return Get(user, prompts, rest[0], options.showSecrets);
    if (action->word == QLatin1StringView("set"))
        return Set(user, prompts, rest[0], rest[1], options.type);
    if (action->word == QLatin1StringView("list"))
        return List(user, prompts, rest.value(0), options.showSecrets);
    return Export(user, prompts, rest[0], rest[1], options.includeSecrets);
}

} // namespace cardolin::cli
