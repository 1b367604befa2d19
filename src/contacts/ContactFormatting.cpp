#include "contacts/ContactFormatting.h"

#include "contacts/QorContacts.h"
#include "contacts/ReferenceTables.h"
#include "support/Clock.h"
#include "support/UserPrompts.h"

namespace cardolin {

namespace {

QString TrimmedEnd(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end).toString();
}

QString TrimmedStart(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.mid(start).toString();
}

// "+1 (425) 555-0100" -> "+1"; "+33 1 23" -> "+33"; no "+" means no code.
QString CodeOf(const QString &number)
{
    const qsizetype parenthesis = number.indexOf(u'(');
    const QString code = parenthesis >= 0 ? TrimmedEnd(QStringView(number).left(parenthesis))
                                          : number.section(u' ', 0, 0);
    return code.contains(u'+') ? code : QString();
}

QString AreaCodeOf(const QString &number)
{
    const qsizetype open = number.indexOf(u'(');
    const qsizetype close = open >= 0 ? number.indexOf(u')', open + 1) : -1;
    return close >= 0 ? number.mid(open + 1, close - open - 1) : QString();
}

QString LocalNumberOf(const QString &number, const QString &code)
{
    QString local;
    if (const qsizetype close = number.indexOf(u')'); close >= 0)
        local = number.mid(close + 1);
    else if (!code.isEmpty())
        local = number.mid(number.indexOf(code) + code.size());
    else
        local = number;
    if (const qsizetype close = local.indexOf(u')'); close >= 0)
        local = local.mid(close + 1);
    if (const qsizetype x = local.indexOf(u'x'); x >= 0)
        local = TrimmedEnd(QStringView(local).left(x));
    local = TrimmedStart(local);
    local.remove(u' ').remove(u'-').remove(u'.');
    return local;
}

// Whatever follows an "x" of either case; an upper-case X also stays in the
// local number, as numbers formatted this way always have.
QString ExtensionOf(const QString &number)
{
    const qsizetype x = number.indexOf(u'x', 0, Qt::CaseInsensitive);
    return x >= 0 ? TrimmedStart(QStringView(number).mid(x + 1)) : QString();
}

} // namespace

DialNumber FormatDialNumber(const QString &number, const QString &country)
{
    DialNumber result;
    if (number.isEmpty())
        return result;
    QString code = CodeOf(number);
    QString numberCountry = code.isEmpty() ? QString() : CountryOfDiallingCode(code);
    if (numberCountry.isEmpty())
        code.clear();
    if (!country.isEmpty()) {
        const QString countryCode = DiallingCodeOfCountry(country);
        if (code.isEmpty() || code == countryCode) {
            numberCountry = country;
        } else {
            result.conflictingCountry = numberCountry;
            result.conflictingCode = code;
        }
    } else if (code == u"+1") {
        numberCountry = QStringLiteral("United States"); // the table lists Canada first
    } else if (code == u"+44") {
        numberCountry = QStringLiteral("United Kingdom");
    }
    if (code.isEmpty() && !numberCountry.isEmpty() && number.contains(u'+'))
        code = DiallingCodeOfCountry(numberCountry);

    result.parts.country = numberCountry;
    result.parts.areaCode = AreaCodeOf(number);
    result.parts.localNumber = LocalNumberOf(number, code);
    result.parts.extension = ExtensionOf(number);
    result.formatted = ComposeDialNumber(result.parts);
    return result;
}

QString ComposeDialNumber(const DialNumberParts &parts)
{
    QString formatted = parts.country.isEmpty() ? QString() : DiallingCodeOfCountry(parts.country);
    if (!parts.areaCode.isEmpty())
        formatted += QStringLiteral(" (") + parts.areaCode + u')';
    if (!parts.localNumber.isEmpty())
        formatted += u' ' + parts.localNumber;
    if (!parts.extension.isEmpty())
        formatted += QStringLiteral(" x ") + parts.extension;
    return TrimmedStart(formatted);
}

QString DialNumberConflictMessage(const DialNumber &dial, const QString &country)
{
    return QStringLiteral("Country/region inconsistency:\n%1 \"%2\" (Extracted from dial number)\n"
                          "%3 \"%4\" (Based on country/region hint)")
        .arg(dial.conflictingCountry, dial.conflictingCode, country, DiallingCodeOfCountry(country));
}

QString LowercaseAToZ(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return result;
}

QString FormatEmail(const QString &email)
{
    QString result = LowercaseAToZ(email);
    if (result.startsWith(u"mailto:"))
        result.remove(0, 7);
    result.replace(QStringLiteral(" dot "), QStringLiteral("."));
    result.replace(QStringLiteral(" at "), QStringLiteral("@"));
    result.remove(u' ');
    return result;
}

QString FormatWebsite(const QString &website)
{
    if (website.isEmpty())
        return website;
    QString result = website.contains(u"://") ? website : QStringLiteral("http://") + website;
    if (result.count(u'/') < 3) {
        result += u'/'; // a bare host
    } else {
        const QStringView last = QStringView(result).mid(result.lastIndexOf(u'/') + 1);
        if (!last.isEmpty() && !last.contains(u'.'))
            result += u'/';
    }
    return result;
}

bool TQorContacts::FormatContactData(TContactData *AContactData)
{
    if (!AContactData)
        return false;
    TContactData &c = *AContactData;
    const TFormatContactsOptions options = m_formatContactsOptions;
    if (options.testFlag(fcoDialNumber)) {
        const auto format = [&](QString &number, const QString &country) {
            const DialNumber dial = FormatDialNumber(number, country);
            number = dial.formatted;
            if (!dial.conflictingCode.isEmpty() && PropertiesDialogOpen())
                m_prompts->ShowWarning(DialNumberConflictMessage(dial, country));
        };
        for (QString *number : {&c.WorkPhone, &c.WorkFax, &c.WorkMobilePhone, &c.WorkPager})
            format(*number, c.WorkCountryRegion);
        for (QString *number : {&c.HomePhone, &c.HomeFax, &c.PersonalMobilePhone, &c.PersonalPager})
            format(*number, c.HomeCountryRegion);
        for (QString *number : {&c.OtherPhone, &c.OtherFax, &c.OtherMobilePhone, &c.OtherPager})
            format(*number, c.OtherCountryRegion);
    }
    if (options.testFlag(fcoEmail))
        for (QString *email : {&c.WorkEmail, &c.PersonalEmail, &c.OtherEmail})
            *email = FormatEmail(*email);
    if (options.testFlag(fcoWebsite))
        for (QString *site : {&c.WorkWebsite, &c.PersonalWebsite, &c.OtherWebsite})
            *site = FormatWebsite(*site);
    if (options.testFlag(fcoLastNameUppercase))
        c.LastName = c.LastName.toUpper(); // every letter: "Müller" becomes "MÜLLER"
    const TDateTime now = DateTimeToSerial(m_clock->NowUtc());
    c.Accessed = now;
    if (options != TFormatContactsOptions())
        c.Modified = now;
    return options != TFormatContactsOptions();
}

void TQorContacts::FormatContactDataList()
{
    for (const auto &contact : m_contactDataList)
        FormatContactData(contact.get());
}

} // namespace cardolin
