#pragma once

#include <QLatin1StringView>
#include <QString>

#include <span>

namespace cardolin {
class TQorContacts;
}

namespace cardolin::cli {

class CliPrompts;

// Each returns false on failure, having told the user why through the prompts.
using Importer = bool (*)(TQorContacts &contacts, const QString &path, CliPrompts &prompts);
using Exporter = bool (*)(TQorContacts &contacts, const QString &path, CliPrompts &prompts);

// A format the tool knows by name. canImport/canExport say what the format allows
// at all; a null importer or exporter means that direction is not written yet.
struct Format
{
    QLatin1StringView word;
    bool canImport;
    bool canExport;
    QLatin1StringView extension; // picked for files named so; empty for none
    Importer importer;
    Exporter exporter;
};

std::span<const Format> Formats();
const Format *FindFormat(QStringView word);
// By the path's extension, ignoring case; null when none matches.
const Format *FormatOfPath(const QString &path);
const Format &BookFormat();

} // namespace cardolin::cli
