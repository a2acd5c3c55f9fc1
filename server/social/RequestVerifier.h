#pragma once

#include "NonceBook.h"
#include "OAuthSignature.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "store/StoreRecords.h"

#include <functional>
#include <optional>
#include <variant>

class SocialStore;

// Checks the OAuth 1.0a signature of a request to the microblog service: a registered
// consumer, HMAC-SHA1 over every parameter, a timestamp within the window and a nonce not seen
// before. The token (when the request carries one) must be of the kind asked for.
class RequestVerifier
{
public:
    struct Verified
    {
        QString consumer;
        QString consumerName;
        QString consumerUrl;
        std::optional<StoreToken> token;
        OAuthSignature::Parameters parameters; // query and form body, without the oauth_ ones
        QMap<QString, QString> oauth;          // the oauth_ parameters
    };

    RequestVerifier(SocialStore& store, NonceBook& nonces) : m_store(store), m_nonces(nonces) {}
    void setClock(std::function<qint64()> nowSeconds) { m_clock = std::move(nowSeconds); }

    // The verified request, or the 401 (or 400) answer to send instead. tokenKind: the kind
    // the request's token must be, or -1 when the request must carry none.
    std::variant<Verified, HttpResponse> verify(const HttpRequest& request, int tokenKind);

    // The request's parameters from its query and (form) body, decoded.
    static OAuthSignature::Parameters requestParameters(const HttpRequest& request);
    // "http://host/" (or "https://" behind a proxy that says so) of the request.
    static QString schemeOf(const HttpRequest& request);

private:
    SocialStore& m_store;
    NonceBook& m_nonces;
    std::function<qint64()> m_clock;
};
