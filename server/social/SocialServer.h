#pragma once

#include "NonceBook.h"
#include "OAuthEndpoints.h"
#include "RequestVerifier.h"
#include "SocialApi.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"
#include "store/SocialStore.h"

#include <functional>

class ScheduleStore;

// The reference microblog service: OAuth 1.0a sign-in (oauth/…), the REST calls under "1/" and
// "1.1/" for the signed-in user (every one verified: signature, timestamp window, nonce), and
// the users' pictures (profile_images/ID.png) and the statuses' pictures (media/ID.png). Its statuses are the
// store's channel talk.
class SocialServer
{
public:
    // Room for a picture of media/upload.json in base64 (3 MB and a third more).
    static constexpr qint64 MaxBodyBytes = 5 * 1024 * 1024;
    // The application built into the client programs (a public client: its secret is only as
    // secret as the program; a deployment registers its own with set-consumer).
    static inline const QString DemoConsumerKey = QStringLiteral("orvane-demo-consumer");
    static inline const QString DemoConsumerSecret = QStringLiteral("orvane-demo-consumer-secret");

    explicit SocialServer(ScheduleStore& store);
    HttpResponse handle(const HttpRequest& request);
    // A verified REST call as it arrived: method, path with its version ("1.1/users/show.json"),
    // the parameters without the oauth_ ones (in order, repeats kept), and who made it.
    struct RecordedCall
    {
        QByteArray method;
        QString path;
        QList<std::pair<QString, QString>> parameters;
        QString screenName;
    };
    // Hears every verified REST call before it is answered, on the server thread that answers
    // it (so it must be thread-safe); set while no call is being answered.
    void setRecorder(std::function<void(const RecordedCall&)> recorder) { m_recorder = std::move(recorder); }
    // Test seam: the clock the signatures' timestamps are checked against.
    void setClock(std::function<qint64()> nowSeconds) { m_verifier.setClock(std::move(nowSeconds)); }

private:
    HttpResponse route(const HttpRequest& request);
    // versionedPath: as requested; path: after the version prefix.
    HttpResponse api(const HttpRequest& request, const QString& versionedPath, const QString& path);
    HttpResponse picture(const QString& idText);
    HttpResponse media(const QString& idText);

    ScheduleStore& m_schedule;
    SocialStore m_store;
    NonceBook m_nonces;
    RequestVerifier m_verifier;
    OAuthEndpoints m_oauth;
    SocialApi m_api;
    std::function<void(const RecordedCall&)> m_recorder;
};
