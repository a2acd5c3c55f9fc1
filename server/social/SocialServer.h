#pragma once

#include "NonceBook.h"
#include "OAuthEndpoints.h"
#include "RequestVerifier.h"
#include "SocialApi.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "store/SocialStore.h"

class ScheduleStore;

// The reference microblog service: OAuth 1.0a sign-in (oauth/…), the REST calls under "1/" and
// "1.1/" for the signed-in user (every one verified: signature, timestamp window, nonce), and
// the users' pictures (profile_images/ID.png). Its statuses are the store's channel talk.
class SocialServer
{
public:
    static constexpr qint64 MaxBodyBytes = 64 * 1024;
    // The application built into the client programs (a public client: its secret is only as
    // secret as the program; a deployment registers its own with set-consumer).
    static inline const QString DemoConsumerKey = QStringLiteral("orvane-demo-consumer");
    static inline const QString DemoConsumerSecret = QStringLiteral("orvane-demo-consumer-secret");

    explicit SocialServer(ScheduleStore& store);
    HttpResponse handle(const HttpRequest& request);
    // Test seam: the clock the signatures' timestamps are checked against.
    void setClock(std::function<qint64()> nowSeconds) { m_verifier.setClock(std::move(nowSeconds)); }

private:
    HttpResponse api(const HttpRequest& request, const QString& path);
    HttpResponse picture(const QString& idText);

    SocialStore m_store;
    NonceBook m_nonces;
    RequestVerifier m_verifier;
    OAuthEndpoints m_oauth;
    SocialApi m_api;
};
