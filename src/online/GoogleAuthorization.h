#pragma once

#include <QString>

namespace cardolin {

// Percent-encoding of the UTF-8 bytes, upper-case hexadecimal, keeping only ASCII
// letters, digits, "-", "." and "_" (a space becomes "%20").
QString EncodeAuthorizationText(const QString &text);

// Proof that the code is exchanged by the program that asked for it: a random
// verifier is kept, its SHA-256 (base64url, no padding) goes to the browser.
QString MakeCodeVerifier();
QString CodeChallengeOf(const QString &verifier);
// A random text tying the browser's answer to this authorization.
QString MakeAuthorizationState();

struct AuthorizationRequest
{
    QString endpoint;
    QString clientId;
    QString redirectUri;
    QString loginHint; // left out when empty
    QString state;
    QString codeChallenge;
};

// The address opened in the browser to ask the user for access to the contacts.
QString BuildAuthorizationAddress(const AuthorizationRequest &request);

} // namespace cardolin
