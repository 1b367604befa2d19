#include "support/FindFolding.h"

#include <array>

namespace cardolin {

namespace {

// Highest code point the table below replaces; everything above stays.
constexpr char16_t LastFolded = 0x2019;

struct TFoldRow
{
    char16_t Replacement;
    std::initializer_list<char16_t> Chars;
};

// Kept apart from the contact fold: list searches also match Cyrillic capitals
// that look Latin, the micro sign and a few more apostrophes.
const std::array<char16_t, LastFolded + 1> &FoldTable()
{
    static const std::array<char16_t, LastFolded + 1> table = [] {
        std::array<char16_t, LastFolded + 1> t{};
        for (std::size_t c = 0; c < t.size(); ++c)
            t[c] = char16_t(c);
        const TFoldRow rows[] = {
            {u'a', {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5}},
            {u'c', {0xE7, 0x107, 0x10D}},
            {u'e', {0xE8, 0xE9, 0xEA, 0xEB, 0x119}},
            {u'i', {0xED, 0xEE, 0xEF, 0x131}},
            {u'l', {0x142}},
            {u'n', {0xF1, 0x144}},
            {u'o', {0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8}},
            {u's', {0x15F, 0x161}},
            {u'u', {0xF9, 0xFA, 0xFB, 0xFC, 0xB5}},
            {u'z', {0x17E}},
            {u'A', {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}},
            {u'B', {0x1E9E}},
            {u'C', {0xC7, 0x106, 0x10C, 0x421}},
            {u'E', {0xC8, 0xC9, 0xCA, 0xCB, 0x118, 0x415}},
            {u'H', {0x41D}},
            {u'I', {0xCD, 0xCE, 0xCF, 0x130}},
            {u'K', {0x41A}},
            {u'L', {0x141}},
            {u'N', {0xD1, 0x143}},
            {u'O', {0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0x41E}},
            {u'P', {0x420}},
            {u'S', {0x15E, 0x160}},
            {u'U', {0xD9, 0xDA, 0xDB, 0xDC}},
            {u'Y', {0xDD}},
            {u'Z', {0x17D}},
            {u'\'', {0x60, 0xB4, 0x2018, 0x2019}},
        };
        for (const TFoldRow &row : rows)
            for (char16_t c : row.Chars)
                t[c] = row.Replacement;
        return t;
    }();
    return table;
}

} // namespace

QString NormalizeFindText(const QString &text, TFindOptions options)
{
    const bool fold = options.testFlag(foIgnoreAccentedChars);
    const bool lower = !options.testFlag(foCaseSensitive);
    if (!fold && !lower)
        return text;
    const auto &table = FoldTable();
    QString result = text;
    for (QChar &ch : result) {
        char16_t c = ch.unicode();
        if (fold && c <= LastFolded)
            c = table[c];
        // ASCII only: other scripts keep their case.
        if (lower && c >= u'A' && c <= u'Z')
            c = char16_t(c + (u'a' - u'A'));
        ch = QChar(c);
    }
    return result;
}

bool TFindNeedle::In(const QStringList &texts) const
{
    for (const QString &text : texts)
        if (NormalizeFindText(text, m_options).contains(m_needle))
            return true;
    return false;
}

bool ListTextsContain(const QStringList &texts, const QString &findText, TFindOptions options)
{
    return TFindNeedle(findText, options).In(texts);
}

} // namespace cardolin
