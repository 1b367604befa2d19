#pragma once

#include <QString>

#include <optional>

namespace cardolin {

// The light obfuscation the settings store applies to strings stored with
// btEncryptString: a chain of XORs over a text key, written as hexadecimal.
// It keeps a value from being read at a glance, nothing more. Only character
// codes below 255 survive the round trip. baseKey must not be empty.
QString EncryptString(const QString &text, const QString &baseKey, int startKey);

// Null when cipher is not an even number of hexadecimal digits (at least two).
std::optional<QString> DecryptString(const QString &cipher, const QString &baseKey);

} // namespace cardolin
