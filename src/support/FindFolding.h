#pragma once

#include "contacts/ContactData.h"

#include <QString>
#include <QStringList>

namespace cardolin {

// Brings a text to the form list searches compare in: with foIgnoreAccentedChars
// accented and look-alike letters become plain Latin ones; without
// foCaseSensitive the ASCII capitals become small. The length never changes.
QString NormalizeFindText(const QString &text, TFindOptions options);

// A find text normalized once, to be looked for in many rows.
class TFindNeedle
{
public:
    TFindNeedle(const QString &findText, TFindOptions options)
        : m_options(options), m_needle(NormalizeFindText(findText, options))
    {
    }
    // Whether it occurs in any of the texts, normalized alike.
    bool In(const QStringList &texts) const;

private:
    TFindOptions m_options;
    QString m_needle;
};

// Whether the find text occurs in any of the texts, both normalized alike.
bool ListTextsContain(const QStringList &texts, const QString &findText, TFindOptions options);

} // namespace cardolin
