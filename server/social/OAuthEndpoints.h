#pragma once

#include "RequestVerifier.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

class SocialStore;

// The three OAuth 1.0a endpoints of the microblog service and its small authorization page:
//   POST oauth/request_token  (signed by the consumer; oauth_callback an address or "oob")
//   GET  oauth/authorize       the sign-in form for a request token
//   POST oauth/authorize       name and password; redirects to the callback with the
//                              verifier, or shows the verifier (the PIN) for "oob"
//   POST oauth/access_token   (signed with the request token and its verifier)
// Request tokens live RequestTokenSeconds; an access token until it is invalidated.
class OAuthEndpoints
{
public:
    static constexpr qint64 RequestTokenSeconds = 15 * 60;

    OAuthEndpoints(SocialStore& store, RequestVerifier& verifier) : m_store(store), m_verifier(verifier) {}

    HttpResponse requestToken(const HttpRequest& request);
    HttpResponse authorizePage(const HttpRequest& request);
    HttpResponse authorize(const HttpRequest& request);
    HttpResponse accessToken(const HttpRequest& request);

    static QString randomToken(int bytes);

private:
    static HttpResponse form(const QList<QPair<QString, QString>>& pairs);
    static HttpResponse page(const QString& title, const QString& body, int status = 200);
    std::optional<StoreToken> liveRequestToken(const QString& token);

    SocialStore& m_store;
    RequestVerifier& m_verifier;
};
