#include "OAuthEndpoints.h"

#include "OAuthSignature.h"
#include "SocialJson.h"

#include "store/SocialStore.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString valueOf(const OAuthSignature::Parameters& parameters, const QString& name)
{
    for (const auto& [key, value] : parameters) {
        if (key == name)
            return value;
    }
    return {};
}

} // namespace

QString OAuthEndpoints::randomToken(int bytes)
{
    QByteArray data(bytes, '\0');
    for (char& c : data)
        c = char(QRandomGenerator::system()->bounded(256));
    return QString::fromLatin1(data.toHex());
}

HttpResponse OAuthEndpoints::form(const QList<QPair<QString, QString>>& pairs)
{
    QByteArray body;
    for (const auto& [name, value] : pairs) {
        if (!body.isEmpty())
            body += '&';
        body += OAuthSignature::encode(name) + '=' + OAuthSignature::encode(value);
    }
    HttpResponse response;
    response.contentType = "application/x-www-form-urlencoded";
    response.body = body;
    return response;
}

HttpResponse OAuthEndpoints::page(const QString& title, const QString& body, int status)
{
    return HttpResponse::html(
        u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>"_s + escaped(title) +
            u"</title><style>body{font-family:sans-serif;max-width:26em;margin:3em auto;color:#222}"
            "input{display:block;width:100%;margin:.3em 0 1em;padding:.4em;font-size:1em}"
            "button{padding:.5em 1.2em;font-size:1em;margin-right:.6em}"
            ".pin{font-size:2em;letter-spacing:.15em;font-weight:bold}</style></head><body><h1>"_s +
            escaped(title) + u"</h1>"_s + body + u"</body></html>"_s,
        status);
}

std::optional<StoreToken> OAuthEndpoints::liveRequestToken(const QString& token)
{
    std::optional<StoreToken> found = token.isEmpty() ? std::nullopt : m_store.token(token);
    if (!found || found->kind != StoreToken::Request ||
        found->created < QDateTime::currentSecsSinceEpoch() - RequestTokenSeconds)
        return std::nullopt;
    return found;
}

HttpResponse OAuthEndpoints::requestToken(const HttpRequest& request)
{
    auto checked = m_verifier.verify(request, -1);
    if (auto* refusal = std::get_if<HttpResponse>(&checked))
        return *refusal;
    const auto& verified = std::get<RequestVerifier::Verified>(checked);
    const QString callback = verified.oauth.value(u"oauth_callback"_s);
    const QUrl callbackUrl(callback);
    if (callback != u"oob" &&
        (!callbackUrl.isValid() || (callbackUrl.scheme() != u"http" && callbackUrl.scheme() != u"https")))
        return SocialJson::error(401, 417,
                                 u"Desktop applications only support the oauth_callback value 'oob'"_s);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    m_store.pruneRequestTokens(now - RequestTokenSeconds);
    StoreToken token;
    token.token = randomToken(16);
    token.secret = randomToken(20);
    token.kind = StoreToken::Request;
    token.consumer = verified.consumer;
    token.callback = callback;
    token.created = now;
    if (!m_store.addToken(token))
        return SocialJson::error(503, 130, u"Over capacity"_s);
    return form({{u"oauth_token"_s, token.token},
                 {u"oauth_token_secret"_s, token.secret},
                 {u"oauth_callback_confirmed"_s, u"true"_s}});
}

HttpResponse OAuthEndpoints::authorizePage(const HttpRequest& request)
{
    const QString tokenName = request.value(u"oauth_token"_s);
    const std::optional<StoreToken> token = liveRequestToken(tokenName);
    if (!token)
        return page(
            u"Sign-in link expired"_s,
            u"<p>This sign-in link is not valid any more. Start the sign-in again from the application.</p>"_s,
            400);
    const QString application = m_store.consumer(token->consumer).value_or(QStringList()).value(1);
    return page(u"Sign in"_s,
                u"<p><b>"_s + escaped(application) +
                    u"</b> asks to use your account: read your timeline and mentions, post and delete "
                    "statuses for you.</p><form method=\"post\" action=\"authorize\">"
                    "<input type=\"hidden\" name=\"oauth_token\" value=\""_s +
                    escaped(token->token) +
                    u"\"><label>User name<input name=\"screen_name\" autocomplete=\"username\"></label>"
                    "<label>Password<input name=\"password\" type=\"password\" "
                    "autocomplete=\"current-password\"></label>"
                    "<button name=\"action\" value=\"allow\">Authorize</button>"
                    "<button name=\"action\" value=\"deny\">Cancel</button></form>"_s);
}

HttpResponse OAuthEndpoints::authorize(const HttpRequest& request)
{
    const OAuthSignature::Parameters fields = OAuthSignature::parseForm(request.body);
    const std::optional<StoreToken> token = liveRequestToken(valueOf(fields, u"oauth_token"_s));
    if (!token)
        return page(
            u"Sign-in link expired"_s,
            u"<p>This sign-in link is not valid any more. Start the sign-in again from the application.</p>"_s,
            400);
    if (valueOf(fields, u"action"_s) == u"deny") {
        m_store.deleteToken(token->token);
        return page(u"Not authorized"_s,
                    u"<p>The application was not given access. You can close this page.</p>"_s);
    }
    const std::optional<StoreUser> user =
        m_store.signIn(valueOf(fields, u"screen_name"_s), valueOf(fields, u"password"_s));
    if (!user) {
        HttpResponse again = authorizePage(request);
        again.status = 403;
        again.body.replace("<form", "<p style=\"color:#b00\">Wrong user name or password.</p><form");
        return again;
    }
    const QString verifier = QString::number(QRandomGenerator::system()->bounded(10000000, 99999999));
    m_store.authorizeToken(token->token, user->id, verifier);
    if (token->callback == u"oob")
        return page(u"Authorized"_s,
                    u"<p>Enter this PIN in the application to finish signing in:</p><p class=\"pin\" "
                    "id=\"oauth_pin\">"_s +
                        verifier + u"</p>"_s);
    QString location = token->callback;
    location += location.contains(u'?') ? u'&' : u'?';
    location += u"oauth_token="_s + QString::fromLatin1(OAuthSignature::encode(token->token)) +
                u"&oauth_verifier="_s + verifier;
    HttpResponse redirect = page(u"Authorized"_s, u"<p>Returning to the application…</p>"_s, 302);
    redirect.headers.append({"Location", location.toUtf8()});
    return redirect;
}

HttpResponse OAuthEndpoints::accessToken(const HttpRequest& request)
{
    auto checked = m_verifier.verify(request, StoreToken::Request);
    if (auto* refusal = std::get_if<HttpResponse>(&checked))
        return *refusal;
    const auto& verified = std::get<RequestVerifier::Verified>(checked);
    const std::optional<StoreToken> token = liveRequestToken(verified.token->token);
    const QString verifier = verified.oauth.value(u"oauth_verifier"_s);
    if (!token || token->userId <= 0 || token->verifier.isEmpty() || token->verifier != verifier)
        return SocialJson::error(401, 89, u"Invalid or expired token."_s);
    m_store.deleteToken(token->token); // a verifier is good for one exchange
    const std::optional<StoreUser> user = m_store.user(token->userId);
    if (!user || user->suspended)
        return SocialJson::error(403, 64,
                                 u"Your account is suspended and is not permitted to access this feature."_s);
    StoreToken access;
    access.token = QString::number(user->id) + u'-' + randomToken(20);
    access.secret = randomToken(20);
    access.kind = StoreToken::Access;
    access.consumer = verified.consumer;
    access.userId = user->id;
    access.created = QDateTime::currentSecsSinceEpoch();
    if (!m_store.addToken(access))
        return SocialJson::error(503, 130, u"Over capacity"_s);
    return form({{u"oauth_token"_s, access.token},
                 {u"oauth_token_secret"_s, access.secret},
                 {u"user_id"_s, QString::number(user->id)},
                 {u"screen_name"_s, user->screenName}});
}
