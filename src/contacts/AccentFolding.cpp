#include "contacts/AccentFolding.h"

namespace cardolin {

char16_t FoldAccentedChar(char16_t c)
{
    if (c < 0x60)
        return c;
    switch (c) {
    case 0x60: case 0xB4: case 0x2018: case 0x2019: return u'\'';
    case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: return u'a';
    case 0xE7: return u'c';
    case 0xE8: case 0xE9: case 0xEA: case 0xEB: return u'e';
    case 0xED: case 0xEE: case 0xEF: return u'i'; // not ì (0xEC)
    case 0xF1: return u'n';
    case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: case 0xF8: return u'o';
    case 0xF9: case 0xFB: case 0xFC: return u'u'; // not ú (0xFA)
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5: return u'A';
    case 0xC7: return u'C';
    case 0xC8: case 0xC9: case 0xCA: case 0xCB: return u'E';
    case 0xCD: case 0xCE: case 0xCF: return u'I'; // not Ì (0xCC)
    case 0xD1: return u'N';
    case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: case 0xD8: return u'O';
    case 0xD9: case 0xDB: case 0xDC: return u'U'; // not Ú (0xDA)
    default: return c;
    }
}

QString FoldAccentedChars(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded)
        c = QChar(FoldAccentedChar(c.unicode()));
    return folded;
}

} // namespace cardolin
