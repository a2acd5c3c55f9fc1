// The microblog service: OAuth 1.0a signatures against the published examples, the
// verification of signed requests (tampering, replays, stale timestamps), the sign-in pages
// and the REST calls' rules, over loopback with the client's own signer.
#include "ServerFixture.h"

#include "social/OAuthSignature.h"
#include "social/RequestVerifier.h"
#include "store/SocialStore.h"
#include "widgets/OAuth1Signer.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QBuffer>
#include <QEventLoop>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTest>
#include <QUrlQuery>

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
    QVariantMap json;
    QVariantList list;
    QByteArray location;
    int code() const
    {
        return JsonValue::integer(
            JsonValue::map(JsonValue::list(json.value("errors")).value(0)).value("code"));
    }
};

} // namespace

class TestSocialServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServerFixture> server;
    quint16 port = 0;
    QNetworkAccessManager network;
    OAuth1Signer::Credentials demo;

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path));
    }

    Answer send(const QByteArray& method, const QUrl& address, const QMultiMap<QString, QString>& form,
                const QByteArray& authorization, const QByteArray& rawBody = {})
    {
        QNetworkRequest request(address);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!authorization.isEmpty())
            request.setRawHeader("Authorization", authorization);
        QNetworkReply* reply;
        if (method == "POST") {
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
            reply = network.post(request, rawBody.isEmpty() ? OAuth1Signer::formBody(form) : rawBody);
        } else {
            reply = network.get(request);
        }
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        Answer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        answer.location = reply->rawHeader("Location");
        const QVariant json = Json::objectWithString(QString::fromUtf8(answer.body));
        answer.json = JsonValue::map(json);
        answer.list = JsonValue::list(json);
        reply->deleteLater();
        return answer;
    }

    // A call signed with the demo account's access token, as the client signs it.
    Answer call(const QByteArray& method, const QString& path,
                const QMultiMap<QString, QString>& parameters = {})
    {
        QUrl address = url(path);
        if (method != "POST" && !parameters.isEmpty()) {
            QUrlQuery query;
            for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
                query.addQueryItem(it.key(), it.value());
            address.setQuery(query);
        }
        const QMultiMap<QString, QString> form =
            method == "POST" ? parameters : QMultiMap<QString, QString>();
        return send(method, address, form, OAuth1Signer::authorizationHeader(method, address, form, demo));
    }

    qint64 userId(const QString& screenName)
    {
        return SocialStore(server->store()).userByScreenName(screenName)->id;
    }

private Q_SLOTS:
    void initTestCase()
    {
        server = std::make_unique<ServerFixture>(true);
        port = server->startSocial();
        // The demo account signed in, as the sign-in would leave it.
        StoreToken token;
        token.token = QStringLiteral("demo-access");
        token.secret = QStringLiteral("demo-access-secret");
        token.kind = StoreToken::Access;
        token.consumer = SocialServer::DemoConsumerKey;
        token.userId = userId(QStringLiteral("demo"));
        token.created = QDateTime::currentSecsSinceEpoch();
        QVERIFY(SocialStore(server->store()).addToken(token));
        demo = {SocialServer::DemoConsumerKey, SocialServer::DemoConsumerSecret, token.token, token.secret};
    }

    void publishedSignatures_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("parameters"); // name, value, name, value, ...
        QTest::addColumn<QString>("tokenSecret");
        QTest::addColumn<QByteArray>("signature");
        const QStringList common{"oauth_consumer_key", "dpf43f3p2l4k3l03", "oauth_signature_method",
                                 "HMAC-SHA1"};
        QTest::newRow("temporary credentials")
            << QByteArray("POST") << "https://photos.example.net/initiate"
            << (common + QStringList{"oauth_timestamp", "137131200", "oauth_nonce", "wIjqoS",
                                     "oauth_callback", "http://printer.example.com/ready"})
            << QString() << QByteArray("74KNZJeDHnMBp0EMJ9ZHt/XKycU=");
        QTest::newRow("token credentials")
            << QByteArray("POST") << "https://photos.example.net/token"
            << (common + QStringList{"oauth_token", "hh5s93j4hdidpola", "oauth_timestamp", "137131201",
                                     "oauth_nonce", "walatlh", "oauth_verifier", "hfdp7dh39dks9884"})
            << "hdhd0244k9j7ao03" << QByteArray("gKgrFCywp7rO0OXSjdot/IHF7IU=");
        QTest::newRow("protected resource")
            << QByteArray("GET") << "http://photos.example.net/photos?file=vacation.jpg&size=original"
            << (common + QStringList{"oauth_token", "nnch734d00sl2jdk", "oauth_timestamp", "137131202",
                                     "oauth_nonce", "chapoH"})
            << "pfkkdhi9sl3r4s00" << QByteArray("MdpQcU8iPSUjWoN/UDMsK2sui9I=");
    }

    void publishedSignatures()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, url);
        QFETCH(QStringList, parameters);
        QFETCH(QString, tokenSecret);
        QFETCH(QByteArray, signature);
        // The client's signer (QOAuth1Signature)...
        QMultiMap<QString, QString> map;
        for (qsizetype i = 0; i + 1 < parameters.size(); i += 2)
            map.insert(parameters[i], parameters[i + 1]);
        QCOMPARE(OAuth1Signer::signature(method, QUrl(url), map, "kd94hf93k423kf44", tokenSecret), signature);
        // ...and the service's verifier, from the same request.
        const QUrl address(url);
        OAuthSignature::Parameters all =
            OAuthSignature::parseForm(address.query(QUrl::FullyEncoded).toUtf8());
        for (qsizetype i = 0; i + 1 < parameters.size(); i += 2)
            all.append({parameters[i], parameters[i + 1]});
        const QByteArray base = OAuthSignature::baseString(
            method, OAuthSignature::baseStringUri(address.scheme(), address.host(), address.path()), all);
        QCOMPARE(OAuthSignature::hmacSha1(base, "kd94hf93k423kf44", tokenSecret), signature);
    }

    void publishedBaseString()
    {
        // The example request whose parameters come from the query, the form body and the
        // header, with a repeated name, encoded names and an empty value.
        HttpRequest request;
        request.method = "POST";
        request.target = "/request?b5=%3D%253D&a3=a&c%40=&a2=r%20b";
        QVERIFY(request.parseTarget());
        request.headers.insert("host", "example.com");
        request.headers.insert("content-type", "application/x-www-form-urlencoded");
        request.body = "c2&a3=2+q";
        const auto header = OAuthSignature::parseAuthorization(
            "OAuth realm=\"Example\", oauth_consumer_key=\"9djdj82h48djs9d2\", "
            "oauth_token=\"kkk9d7dh3k39sjv7\", "
            "oauth_signature_method=\"HMAC-SHA1\", oauth_timestamp=\"137131201\", oauth_nonce=\"7d8f3e4a\", "
            "oauth_signature=\"bYT5CMsGcbgUdFHObYMEfcx6bsw%3D\"");
        QVERIFY(header);
        OAuthSignature::Parameters all = RequestVerifier::requestParameters(request) + *header;
        QCOMPARE(
            OAuthSignature::baseString(
                "POST", OAuthSignature::baseStringUri("http", "example.com:80", request.path), all),
            QByteArray(
                "POST&http%3A%2F%2Fexample.com%2Frequest&a2%3Dr%2520b%26a3%3D2%2520q%26a3%3Da%26b5%3D%253D%"
                "25253D%26c%2540%3D%26c2%3D%26oauth_consumer_key%3D9djdj82h48djs9d2%26oauth_nonce%3D7d8f3e4a%"
                "26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D137131201%26oauth_token%"
                "3Dkkk9d7dh3k"
                "39sjv7"));
        QVERIFY(!OAuthSignature::parseAuthorization("Basic dXNlcjpwYXNz"));
        QVERIFY(!OAuthSignature::parseAuthorization("OAuth oauth_nonce=unquoted"));
    }

    void signedRequestsAreVerifiedOnce()
    {
        const QUrl address = url("1.1/account/verify_credentials.json");
        const QByteArray header = OAuth1Signer::authorizationHeader("GET", address, {}, demo);
        Answer first = send("GET", address, {}, header);
        QCOMPARE(first.status, 200);
        QCOMPARE(first.json.value("screen_name").toString(), QStringLiteral("demo"));
        // The same signed request again is a replay.
        Answer replay = send("GET", address, {}, header);
        QCOMPARE(replay.status, 401);
        QCOMPARE(replay.code(), 32);

        // A parameter changed after signing.
        const QUrl signedFor = url("1.1/statuses/home_timeline.json?count=5");
        Answer tampered = send("GET", url("1.1/statuses/home_timeline.json?count=6"), {},
                               OAuth1Signer::authorizationHeader("GET", signedFor, {}, demo));
        QCOMPARE(tampered.status, 401);
        // A form body changed after signing.
        const QMultiMap<QString, QString> form{{"status", "signed text"}};
        Answer body =
            send("POST", url("1.1/statuses/update.json"), form,
                 OAuth1Signer::authorizationHeader("POST", url("1.1/statuses/update.json"), form, demo),
                 "status=other+text");
        QCOMPARE(body.status, 401);
        // An hour old.
        Answer stale = send("GET", address, {},
                            OAuth1Signer::authorizationHeader("GET", address, {}, demo, {},
                                                              QDateTime::currentSecsSinceEpoch() - 3600));
        QCOMPARE(stale.status, 401);
        QCOMPARE(stale.code(), 135);
        // A token the service never gave, and the wrong consumer secret.
        OAuth1Signer::Credentials unknown = demo;
        unknown.token = "made-up";
        QCOMPARE(
            send("GET", address, {}, OAuth1Signer::authorizationHeader("GET", address, {}, unknown)).code(),
            89);
        OAuth1Signer::Credentials wrongSecret = demo;
        wrongSecret.consumerSecret = "guess";
        QCOMPARE(send("GET", address, {}, OAuth1Signer::authorizationHeader("GET", address, {}, wrongSecret))
                     .status,
                 401);
        QCOMPARE(send("GET", address, {}, {}).status, 400);
        // A body over the service's limit never reaches the handler.
        // (Refused as soon as its length is known: the client may see the 413 or only the close.)
        const QMultiMap<QString, QString> huge{{"status", QString(SocialServer::MaxBodyBytes, u'x')}};
        const int before = SocialStore(server->store()).statusesCount(userId("demo"));
        const int refused =
            send("POST", url("1.1/statuses/update.json"), huge,
                 OAuth1Signer::authorizationHeader("POST", url("1.1/statuses/update.json"), huge, demo))
                .status;
        QVERIFY2(refused == 413 || refused == 0, qPrintable(QString::number(refused)));
        QCOMPARE(SocialStore(server->store()).statusesCount(userId("demo")), before);
    }

    void statusesAndTheirRules()
    {
        // Text with characters that encodings trip over comes back as it was sent; HTML stays text.
        const QString text = QStringLiteral("a+b=c&d %25 <b>ё</b> \"q\"");
        Answer posted = call("POST", "1.1/statuses/update.json", {{"status", text}});
        QCOMPARE(posted.status, 200);
        QCOMPARE(posted.json.value("text").toString(), text);
        const QString id = posted.json.value("id_str").toString();
        QVERIFY(id.toLongLong() > (qint64(1) << 53));
        QCOMPARE(posted.json.value("user").toMap().value("screen_name").toString(), QStringLiteral("demo"));
        QVERIFY(posted.json.value("source").toString().contains("Orvane"));
        QVERIFY(posted.json.contains("in_reply_to_status_id_str"));

        QCOMPARE(call("POST", "1.1/statuses/update.json", {{"status", QString(141, u'x')}}).code(), 186);
        QCOMPARE(call("POST", "1.1/statuses/update.json", {{"status", QString(140, u'x')}}).status, 200);
        QCOMPARE(call("POST", "1.1/statuses/update.json", {{"status", "  "}}).code(), 170);

        Answer reply = call("POST", "1.1/statuses/update.json",
                            {{"status", "@demo again"}, {"in_reply_to_status_id", id}});
        QCOMPARE(reply.json.value("in_reply_to_status_id_str").toString(), id);
        QCOMPARE(reply.json.value("in_reply_to_screen_name").toString(), QStringLiteral("demo"));

        // Others' statuses cannot be deleted; one's own can, once.
        const QString others = call("GET", "1/statuses/mentions.json", {{"count", "1"}})
                                   .list.value(0)
                                   .toMap()
                                   .value("id_str")
                                   .toString();
        QVERIFY(!others.isEmpty());
        QCOMPARE(call("POST", QStringLiteral("1.1/statuses/destroy/%1.json").arg(others)).code(), 183);
        QCOMPARE(call("POST", QStringLiteral("1.1/statuses/destroy/%1.json").arg(id)).status, 200);
        QCOMPARE(call("GET", "1.1/statuses/show.json", {{"id", id}}).code(), 144);
        QCOMPARE(call("POST", QStringLiteral("1.1/statuses/destroy/%1.json").arg(id)).code(), 144);

        Answer retweet = call("POST", QStringLiteral("1.1/statuses/retweet/%1.json").arg(others));
        QCOMPARE(retweet.status, 200);
        QVERIFY(retweet.json.value("text").toString().startsWith("RT @"));
        QCOMPARE(retweet.json.value("retweeted_status").toMap().value("id_str").toString(), others);
        QVERIFY(call("POST", "1.1/favorites/create.json", {{"id", others}}).json.value("favorited").toBool());
        QVERIFY(
            !call("POST", "1.1/favorites/destroy.json", {{"id", others}}).json.value("favorited").toBool());
    }

    void picturesGoWithStatuses()
    {
        QImage picture(120, 80, QImage::Format_RGB32);
        picture.fill(Qt::darkMagenta);
        const auto base64 = [](const QImage& image, const char* format) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, format);
            return QString::fromLatin1(bytes.toBase64());
        };
        Answer uploaded = call("POST", "1.1/media/upload.json", {{"media_data", base64(picture, "JPEG")}});
        QCOMPARE(uploaded.status, 200);
        const QString mediaId = uploaded.json.value("media_id_string").toString();
        QVERIFY(!mediaId.isEmpty());
        QCOMPARE(uploaded.json.value("image").toMap().value("w").toInt(), 120);
        Answer posted =
            call("POST", "1.1/statuses/update.json", {{"status", "Кадр"}, {"media_ids", mediaId}});
        QCOMPARE(posted.status, 200);
        const QString mediaUrl = posted.json.value("entities")
                                     .toMap()
                                     .value("media")
                                     .toList()
                                     .value(0)
                                     .toMap()
                                     .value("media_url")
                                     .toString();
        QCOMPARE(mediaUrl, url("media/" + mediaId + ".png").toString());
        // Served again as this service's own PNG, without signing.
        const Answer served = send("GET", QUrl(mediaUrl), {}, {});
        QCOMPARE(served.status, 200);
        QImage back;
        QVERIFY(back.loadFromData(served.body, "PNG"));
        QCOMPARE(back.size(), picture.size());

        // Not base64, not a picture, a picture too large, someone else's picture, none.
        QCOMPARE(call("POST", "1.1/media/upload.json", {{"media_data", "***"}}).code(), 324);
        QCOMPARE(call("POST", "1.1/media/upload.json",
                      {{"media_data", QString::fromLatin1(QByteArray("<svg/>").toBase64())}})
                     .code(),
                 324);
        QCOMPARE(call("POST", "1.1/media/upload.json",
                      {{"media_data", base64(QImage(5000, 10, QImage::Format_RGB32), "PNG")}})
                     .code(),
                 324);
        QCOMPARE(call("POST", "1.1/media/upload.json").code(), 38);
        const qint64 others = SocialStore(server->store()).addMedia(userId("anna_tv"), QByteArray("png"), 1);
        QCOMPARE(call("POST", "1.1/statuses/update.json",
                      {{"status", "чужое"}, {"media_ids", QString::number(others)}})
                     .code(),
                 324);
        QCOMPARE(
            call("POST", "1.1/statuses/update.json", {{"status", "нет"}, {"media_ids", "12345678"}}).code(),
            324);
        QCOMPARE(send("GET", url("media/999999.png"), {}, {}).status, 404);
    }

    void aStatusWithAChannelsHashtagIsThatChannelsTalk()
    {
        const StoreChannel channel = *server->store().channel(3);
        const QString tag = u'#' + SocialStore::hashtagOf(channel.name).toUpper();
        QCOMPARE(call("POST", "1.1/statuses/update.json", {{"status", "Watching " + tag + " now"}}).status,
                 200);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QList<StoreMessage> talk = server->store().messages(3, now - 60, now + 60, 5);
        QVERIFY(!talk.isEmpty());
        QCOMPARE(talk.first().text, "Watching " + tag + " now");
        QCOMPARE(talk.first().screenName, QStringLiteral("demo"));
    }

    void timelinesPageByIds()
    {
        for (int i = 0; i < 70; ++i)
            QCOMPARE(call("POST", "1.1/statuses/update.json", {{"status", QStringLiteral("page %1").arg(i)}})
                         .status,
                     200);
        const QVariantList first = call("GET", "1/statuses/home_timeline.json", {{"count", "30"}}).list;
        QCOMPARE(first.size(), 30);
        const QString last = first.last().toMap().value("id_str").toString();
        const QVariantList second =
            call("GET", "1/statuses/home_timeline.json", {{"count", "31"}, {"max_id", last}}).list;
        QCOMPARE(second.size(), 31);
        QCOMPARE(second.first().toMap().value("id_str").toString(), last); // max_id is inclusive
        const QVariantList newer =
            call("GET", "1/statuses/home_timeline.json",
                 {{"since_id", second.last().toMap().value("id_str").toString()}, {"count", "200"}})
                .list;
        // Everything the two pages hold but their shared tweet and the oldest (since_id is exclusive).
        QCOMPARE(newer.size(), 30 + 31 - 2);
        QCOMPARE(call("GET", "1/statuses/home_timeline.json", {{"max_id", "x1"}}).status, 400);
        // Mentions answer alike under both versions' paths.
        const QVariantList v1 = call("GET", "1/statuses/mentions.json").list;
        QVERIFY(!v1.isEmpty());
        QCOMPARE(call("GET", "1.1/statuses/mentions_timeline.json").list, v1);
    }

    void usersFollowsAndDirectMessages()
    {
        const QString radio = QString::number(userId("mark_radio"));
        const QString anna = QString::number(userId("anna_tv"));
        Answer refused = call("POST", "1.1/direct_messages/new.json", {{"user_id", radio}, {"text", "hi"}});
        QCOMPARE(refused.status, 403);
        QCOMPARE(refused.code(), 150);
        QCOMPARE(call("POST", "1.1/direct_messages/new.json", {{"user_id", anna}, {"text", "hi"}}).status,
                 200);

        QVERIFY(!call("POST", "1.1/friendships/destroy.json", {{"user_id", anna}})
                     .json.value("following")
                     .toBool());
        QVERIFY(call("POST", "1.1/friendships/create.json", {{"user_id", anna}, {"follow", "true"}})
                    .json.value("following")
                    .toBool());
        QCOMPARE(call("GET", "1.1/users/show.json", {{"user_id", "999999"}}).code(), 50);
        SocialStore(server->store()).setSuspended(userId("anna_tv"), true);
        QCOMPARE(call("GET", "1.1/users/show.json", {{"user_id", anna}}).code(), 63);
        SocialStore(server->store()).setSuspended(userId("anna_tv"), false);
        QCOMPARE(
            call("GET", "1.1/users/show.json", {{"screen_name", "anna_tv"}}).json.value("id_str").toString(),
            anna);
        QCOMPARE(call("GET", "1.1/statuses/user_timeline.json", {{"user_id", anna}})
                     .list.value(0)
                     .toMap()
                     .value("user")
                     .toMap()
                     .value("id_str")
                     .toString(),
                 anna);
    }

    void signInWithAPin()
    {
        OAuth1Signer::Credentials consumer{
            SocialServer::DemoConsumerKey, SocialServer::DemoConsumerSecret, {}, {}};
        const QMultiMap<QString, QString> callback{{"oauth_callback", "oob"}};
        Answer temporary =
            send("POST", url("oauth/request_token"), callback,
                 OAuth1Signer::authorizationHeader("POST", url("oauth/request_token"), callback, consumer));
        QCOMPARE(temporary.status, 200);
        const QUrlQuery tokens(QString::fromUtf8(temporary.body));
        const QString token = tokens.queryItemValue("oauth_token");
        QCOMPARE(tokens.queryItemValue("oauth_callback_confirmed"), QStringLiteral("true"));

        Answer page = send("GET", url("oauth/authorize?oauth_token=" + token), {}, {});
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.contains(token.toUtf8()));
        QCOMPARE(send("GET", url("oauth/authorize?oauth_token=<script>"), {}, {}).status, 400);
        Answer wrong = send(
            "POST", url("oauth/authorize"),
            {{"oauth_token", token}, {"screen_name", "demo"}, {"password", "guess"}, {"action", "allow"}},
            {});
        QCOMPARE(wrong.status, 403);
        Answer allowed = send("POST", url("oauth/authorize"),
                              {{"oauth_token", token},
                               {"screen_name", "demo"},
                               {"password", "orvane-demo"},
                               {"action", "allow"}},
                              {});
        QCOMPARE(allowed.status, 200);
        const QString pin =
            QRegularExpression("id=\"oauth_pin\">(\\d+)<").match(QString::fromUtf8(allowed.body)).captured(1);
        QVERIFY(!pin.isEmpty());

        consumer.token = token;
        consumer.tokenSecret = tokens.queryItemValue("oauth_token_secret");
        const QMultiMap<QString, QString> badPin{{"oauth_verifier", "00000000"}};
        QCOMPARE(send("POST", url("oauth/access_token"), badPin,
                      OAuth1Signer::authorizationHeader("POST", url("oauth/access_token"), badPin, consumer))
                     .status,
                 401);
        const QMultiMap<QString, QString> goodPin{{"oauth_verifier", pin}};
        Answer access =
            send("POST", url("oauth/access_token"), goodPin,
                 OAuth1Signer::authorizationHeader("POST", url("oauth/access_token"), goodPin, consumer));
        QCOMPARE(access.status, 200);
        const QUrlQuery accessTokens(QString::fromUtf8(access.body));
        QCOMPARE(accessTokens.queryItemValue("screen_name"), QStringLiteral("demo"));
        QVERIFY(!accessTokens.queryItemValue("oauth_token_secret").isEmpty());
        // The verifier is good for one exchange.
        QCOMPARE(send("POST", url("oauth/access_token"), goodPin,
                      OAuth1Signer::authorizationHeader("POST", url("oauth/access_token"), goodPin, consumer))
                     .status,
                 401);
        // The new token works, and stops working once invalidated.
        OAuth1Signer::Credentials signedIn{SocialServer::DemoConsumerKey, SocialServer::DemoConsumerSecret,
                                           accessTokens.queryItemValue("oauth_token"),
                                           accessTokens.queryItemValue("oauth_token_secret")};
        const QUrl invalidate = url("1.1/oauth/invalidate_token");
        QCOMPARE(
            send("POST", invalidate, {}, OAuth1Signer::authorizationHeader("POST", invalidate, {}, signedIn))
                .status,
            200);
        QCOMPARE(
            send("POST", invalidate, {}, OAuth1Signer::authorizationHeader("POST", invalidate, {}, signedIn))
                .code(),
            89);
    }
};

QTEST_GUILESS_MAIN(TestSocialServer)
#include "tst_socialserver.moc"
