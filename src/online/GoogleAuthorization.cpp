#include "online/GoogleAuthorization.h"

#include "contacts/QorContacts.h"
#include "online/GoogleEndpoints.h"
#include "online/JsonText.h"
#include "online/LoopbackListener.h"
#include "online/WebRequest.h"
#include "platform/DesktopServices.h"
#include "support/Clock.h"
#include "support/UserPrompts.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QUrl>

namespace cardolin {

namespace {

constexpr qint64 kAccessTokenLifetimeSeconds = 3600;

QString RandomBase64Url(int bytes)
{
    QByteArray random(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(random.begin(), random.end());
    return QString::fromLatin1(random.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace

QString EncodeAuthorizationText(const QString &text)
{
    // QUrl keeps "~" as well; this encoding does not.
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArray(), "~"));
}

QString MakeCodeVerifier()
{
    return RandomBase64Url(32); // 43 characters, the shortest length allowed
}

QString CodeChallengeOf(const QString &verifier)
{
    const QByteArray digest = QCryptographicHash::hash(verifier.toLatin1(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString MakeAuthorizationState()
{
    return RandomBase64Url(24);
}

QString BuildAuthorizationAddress(const AuthorizationRequest &request)
{
    QString address = request.endpoint + QStringLiteral("?scope=") + EncodeAuthorizationText(GoogleContactsScope())
                      + QStringLiteral("&response_type=code&redirect_uri=")
                      + EncodeAuthorizationText(request.redirectUri) + QStringLiteral("&client_id=")
                      + EncodeAuthorizationText(request.clientId);
    if (!request.loginHint.isEmpty())
        address += QStringLiteral("&login_hint=") + EncodeAuthorizationText(request.loginHint);
    return address + QStringLiteral("&state=") + EncodeAuthorizationText(request.state)
           + QStringLiteral("&code_challenge=") + EncodeAuthorizationText(request.codeChallenge)
           + QStringLiteral("&code_challenge_method=S256");
}

bool TQorContacts::ConnectToGoogleContactsService()
{
    if (m_googleClientID.isEmpty() || m_googleClientSecret.isEmpty()) {
        m_prompts->ShowWarning(QStringLiteral(
            "The Google Client ID and Google Client Secret must be configured to access Google Contacts Service."));
        return false;
    }
    const QDateTime now = m_clock->NowUtc();
    if (!m_googleAccessTokenTimestamp.isValid()
        || qAbs(m_googleAccessTokenTimestamp.secsTo(now)) >= kAccessTokenLifetimeSeconds)
        m_googleAccessToken.clear();
    if (!m_googleAccessToken.isEmpty())
        return true;
    // A code serves one exchange: once its verifier is spent, a new one is asked for.
    if (m_googleRefreshToken.isEmpty() && (m_googleAuthCode.isEmpty() || m_codeVerifier.isEmpty()))
        ObtainGoogleAuthorizationCode();
    if (!m_googleRefreshToken.isEmpty()) {
        RequestGoogleTokens({{QStringLiteral("client_id"), m_googleClientID},
                             {QStringLiteral("client_secret"), m_googleClientSecret},
                             {QStringLiteral("refresh_token"), m_googleRefreshToken},
                             {QStringLiteral("grant_type"), QStringLiteral("refresh_token")}},
                            QStringLiteral("Error while updating tokens"));
    } else if (!m_googleAuthCode.isEmpty()) {
        RequestGoogleTokens({{QStringLiteral("code"), m_googleAuthCode},
                             {QStringLiteral("client_id"), m_googleClientID},
                             {QStringLiteral("client_secret"), m_googleClientSecret},
                             {QStringLiteral("redirect_uri"), m_loopbackUrl},
                             {QStringLiteral("grant_type"), QStringLiteral("authorization_code")},
                             {QStringLiteral("code_verifier"), m_codeVerifier}},
                            QStringLiteral("Error while retrieving tokens"));
        m_codeVerifier.clear();
    } else {
        m_googleAccessToken.clear(); // cancelled: nothing to exchange
    }
    m_googleContactGroupsAvailability = false;
    m_googleContactGroups.clear();
    if (m_googleAccessToken.isEmpty())
        m_prompts->ShowError(QStringLiteral("Failed to connect to Google Contacts Service."));
    return !m_googleAccessToken.isEmpty();
}

bool TQorContacts::DisconnectFromGoogleContactsService()
{
    if (m_googleAuthCode.isEmpty())
        return false;
    m_googleAccessToken.clear();
    m_googleContactGroupsAvailability = false;
    m_googleContactGroups.clear();
    return true;
}

void TQorContacts::ObtainGoogleAuthorizationCode()
{
    const QString state = MakeAuthorizationState();
    m_codeVerifier = MakeCodeVerifier();
    m_googleAuthCode.clear();
    const bool listening = m_loopback && m_loopback->Start(state, [this](const QString &code) {
        m_desktop->SetClipboardText(code);
        m_prompts->OfferInputText(code);
    });
    m_loopbackUrl = m_loopback ? m_loopback->RedirectAddress() : QStringLiteral("http://127.0.0.1");
    const QString address = BuildAuthorizationAddress(
        {GoogleAuthorizationUrl(), m_googleClientID, m_loopbackUrl, m_googleAccount, state, CodeChallengeOf(m_codeVerifier)});
    if (m_loopback && !listening)
        m_prompts->ShowWarning(QStringLiteral("The address %1 cannot receive the answer from Google; "
                                              "copy the code from the browser's address bar.")
                                   .arg(m_loopbackUrl));
    m_prompts->ShowInformation(QStringLiteral(
        "You will be redirected to Google Sign in page in the default web browser. Once authenticated, copy the "
        "provided code and paste it into the application."));
    m_desktop->OpenAddress(address);
    // Without a browser here the box must show the address itself.
    const UserPrompts::SignInPage page{address, [this, address] { return m_desktop->OpenAddress(address); },
                                       [this, address] { m_desktop->SetClipboardText(address); }};
    QString code;
    if (m_prompts->InputSignInCode(QStringLiteral("Google Authorization Code"), page, code))
        m_googleAuthCode = code.trimmed();
    if (m_loopback)
        m_loopback->Stop();
    m_desktop->SetClipboardText(QString());
}

void TQorContacts::RequestGoogleTokens(const QList<QPair<QString, QString>> &fields, const QString &failure)
{
    m_googleAccessToken.clear();
    WebRequest request;
    ApplyRequestDefaults(request, GoogleTokenBaseUrl());
    request.method = QStringLiteral("POST");
    request.resource = QStringLiteral("token");
    request.accept = QStringLiteral("application/json");
    request.contentType = QStringLiteral("application/x-www-form-urlencoded");
    request.body = FormBody(fields);
    request.carriesSecret = true;
    const WebResponse response = Send(request);
    if (response.status == 0)
        m_prompts->ShowError(QStringLiteral("DEBUG_REST: ConnectToGoogleContactsService - ") + failure);
    // Only the members count, whatever the status says.
    QJsonDocument document;
    ParseJsonAnswer(response.body, document);
    const QJsonObject answer = document.object();
    const QString accessToken = answer.value(QLatin1StringView("access_token")).toString();
    if (!accessToken.isEmpty()) {
        m_googleAccessToken = accessToken;
        m_googleAccessTokenTimestamp = m_clock->NowUtc();
    }
    const QString refreshToken = answer.value(QLatin1StringView("refresh_token")).toString();
    if (!refreshToken.isEmpty() && m_googleRefreshToken.isEmpty())
        m_googleRefreshToken = refreshToken;
}

} // namespace cardolin
