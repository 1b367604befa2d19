#pragma once

#include <QString>

namespace cardolin {

// The pass phrase under which stored refresh tokens and geocoding keys are kept.
// Changing it makes every stored value unreadable.
extern const QString kGoogleAccountPassPhrase;

// Triple DES (three keys from the SHA-256 of the UTF-16LE pass phrase) in 8-bit
// cipher feedback over the UTF-16LE text, as Base64. The initial vector is the
// encryption of a zero block, so equal texts give equal results; "" stays "".
QString DCPEncryptString(const QString &AString, const QString &EncryptionKey);
// The reverse. A value that is not Base64 or not whole UTF-16 units gives a
// meaningless or shortened text, never an error.
QString DCPDecryptString(const QString &AString, const QString &EncryptionKey);

// The form a secret of a stored account takes in the settings file, under the
// pass phrase above: it hides it from a glance, nothing more.
QString EncryptAccountSecret(const QString &plain);
QString DecryptAccountSecret(const QString &stored);

} // namespace cardolin
