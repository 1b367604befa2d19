#pragma once

#include <QString>

namespace cardolin {

// Folds the common Western European accented letters to their base letter and the
// typographic apostrophes to "'"; everything else stays, so the length is kept.
// Display names, searches and geocoding share this one table.
char16_t FoldAccentedChar(char16_t c);
QString FoldAccentedChars(const QString &text);

} // namespace cardolin
