#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

namespace cardolin {

// What a list cell's text reads as, worked out once so that sorting a long list
// only compares numbers and collation keys.
struct TListSortKey
{
    explicit TListSortKey(QCollatorSortKey collationKey) : CollationKey(std::move(collationKey)) {}

    bool IsDate = false;   // a date, a time of day, or both
    bool IsNumber = false;
    bool IsIPv4 = false;
    double DateValue = 0;  // days since 1899-12-30 00:00, growing with time
    double Number = 0;
    qint64 IP = 0;
    QCollatorSortKey CollationKey;
};

// The locale whose rules order texts: the C locale has none of its own and
// would order by code point ("Zoe" before "adam" and "Émile"), so it gets the
// root Unicode rules instead.
QLocale CollationLocale(const QLocale &locale);
// The collator must be set up for the locale and to ignore case (MakeListCollator).
QCollator MakeListCollator(const QLocale &locale);
TListSortKey MakeListSortKey(const QString &text, const QLocale &locale, const QCollator &collator);

// Negative, zero or positive. Two dates/times compare by value, then two numbers,
// then two IPv4 addresses; anything else, mixed kinds included, by collation.
int CompareListSortKeys(const TListSortKey &a, const TListSortKey &b);
int CompareListTexts(const QString &a, const QString &b, const QLocale &locale);

// The single readings, for callers that need one kind only.
bool ReadListDate(const QString &text, const QLocale &locale, double &value);
bool ReadListNumber(const QString &text, const QLocale &locale, double &value);
bool ReadListIPv4(const QString &text, qint64 &value);

} // namespace cardolin
