// Tweets from both sources and the talk lists built from their answers.
#include "social/Tweet.h"
#include "social/TweetList.h"

#include "platform/Json.h"

#include <QTest>
#include <QTimeZone>

namespace {

QVariantMap status(const QString& id, const QString& senderId = QStringLiteral("7"))
{
    return {
        {"id_str", id},
        {"text", QString("t" + id)},
        {"created_at", "Tue Dec 01 10:00:00 +0000 2026"},
        {"user", QVariantMap{{"id_str", senderId}, {"screen_name", QString("u" + senderId)}, {"name", "U"}}}};
}

QVariantList page(int from, int count)
{
    QVariantList list;
    for (int i = from; i > from - count; --i)
        list.append(status(QString::number(i)));
    return list;
}

} // namespace

class TestTweets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // A zone far from GMT, so that GMT and local readings cannot agree by luck.
        qputenv("TZ", "Asia/Kamchatka");
    }

    void source_data()
    {
        QTest::addColumn<QVariant>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("isNullName");
        QTest::addColumn<bool>("orvane");
        QTest::newRow("web with spaces") << QVariant("  web \n") << "web" << QString() << false << false;
        QTest::newRow("link naming the product")
            << QVariant("<a href=\"https://orvane.example/app\" rel=\"nofollow\" class='x'>Orvane for TV</a>")
            << "Orvane for TV"
            << "https://orvane.example/app" << false << true;
        QTest::newRow("single quotes, spaces around =")
            << QVariant("<a  target=_blank href = 'http://x.example/'>Other App</a>") << "Other App"
            << "http://x.example/" << false << false;
        QTest::newRow("not a link") << QVariant("<b>bold</b>") << ""
                                    << "" << false << false;
        QTest::newRow("missing") << QVariant() << QString() << QString() << true << true;
    }

    void source()
    {
        QFETCH(QVariant, source);
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(bool, isNullName);
        QFETCH(bool, orvane);
        QVariantMap twitter = status("1");
        QVariantMap message{{"id_str", "1"}};
        if (source.isValid()) {
            twitter.insert("source", source);
            message.insert("source", source);
        }
        for (const Tweet& t : {Tweet::initWithDictionaryFromTwitter(twitter),
                               Tweet::initWithDictionaryFromService({{"message", message}}, 0)}) {
            QCOMPARE(t.sourceName(), name);
            QCOMPARE(t.sourceName().isNull(), isNullName);
            QCOMPARE(t.sourceUrl(), url);
            QCOMPARE(t.isOrvane(), orvane);
            QVERIFY(!t.isDeleted());
        }
    }

    void media()
    {
        auto withMedia = [](const QVariantList& media) {
            QVariantMap s = status("1");
            s.insert("entities", QVariantMap{{"media", media}});
            return Tweet::initWithDictionaryFromTwitter(s).mediaImgUrl();
        };
        QCOMPARE(withMedia({QVariantMap{{"type", "photo"}, {"media_url", "http://p/1.jpg"}}}),
                 QStringLiteral("http://p/1.jpg"));
        QCOMPARE(withMedia({QVariantMap{{"media_url", "http://p/2.jpg"}}}), QStringLiteral("http://p/2.jpg"));
        QVERIFY(withMedia({QVariantMap{{"type", "video"}, {"media_url", "http://p/3.mp4"}}}).isNull());
        QVERIFY(withMedia({}).isNull());
        QVERIFY(Tweet::initWithDictionaryFromTwitter(status("1")).mediaImgUrl().isNull());
    }

    void timesAndFields()
    {
        // A Twitter time is GMT whatever the zone.
        const Tweet twitter = Tweet::initWithDictionaryFromTwitter(status("1"));
        QCOMPARE(twitter.tweetTime(), QDateTime(QDate(2026, 12, 1), QTime(10, 0), QTimeZone::utc()));
        QVERIFY(!Tweet::initWithDictionaryFromTwitter({{"created_at", "Tue Foo 01 10:00:00 +0000 2026"}})
                     .tweetTime()
                     .isValid());
        QVERIFY(!Tweet::initWithDictionaryFromTwitter({{"created_at", "Tue Dec 01 10:00:00 +0300 2026"}})
                     .tweetTime()
                     .isValid());
        QVERIFY(!twitter.tweetTimeDisplay().isEmpty());
        // A feed time is the server's clock in the device zone, shifted by the offset exactly.
        const QVariantMap item{{"time", "2026-12-01 10:00:00.000000"},
                               {"message", QVariantMap{{"id_str", "2"}}}};
        const Tweet shifted = Tweet::initWithDictionaryFromService(item, 3600);
        QCOMPARE(shifted.tweetTime(), QDateTime(QDate(2026, 12, 1), QTime(11, 0)));
        QVERIFY(!Tweet::initWithDictionaryFromService({{"time", "yesterday"}}, 3600).tweetTime().isValid());

        // Ids past 2^53 stay exact; a missing user or null reply fields are no error.
        const QVariant parsed = Json::objectWithString(QStringLiteral(
            "{\"id\": 2130103920331946032, \"id_str\": \"2130103920331946033\", \"text\": null,"
            " \"in_reply_to_status_id_str\": null, \"favorited\": true}"));
        const Tweet odd = Tweet::initWithDictionaryFromTwitter(parsed.toMap());
        QCOMPARE(odd.tweetId(), QStringLiteral("2130103920331946033"));
        QVERIFY(odd.senderUsername().isNull());
        QVERIFY(odd.text().isNull());
        QCOMPARE(odd.replyId().typeId(), QMetaType::Nullptr);
        QVERIFY(!odd.replyName().isValid());
        QVERIFY(odd.isFavorited());
        QVERIFY(!odd.tweetTime().isValid());
        const QString longText(10000, u'ж');
        QCOMPARE(
            Tweet::initWithDictionaryFromService({{"message", QVariantMap{{"text", longText}}}}, 0).text(),
            longText);
        // Service fields come from their nested objects.
        const Tweet service = Tweet::initWithDictionaryFromService(
            {{"message", QVariantMap{{"id_str", "5"}, {"text", "hi"}}},
             {"sender_info",
              QVariantMap{
                  {"name", "N"}, {"screen_name", "sn"}, {"id_str", "9"}, {"profile_image_url", "http://i"}}},
             {"status", QVariantMap{{"in_reply_to_status_id_str", "4"},
                                    {"in_reply_to_screen_name", "x"},
                                    {"favorited", true}}}},
            0);
        QCOMPARE(service.senderUsername(), QStringLiteral("sn"));
        QCOMPARE(service.senderId(), QStringLiteral("9"));
        QCOMPARE(service.replyId().toString(), QStringLiteral("4"));
        QVERIFY(service.isFavorited());
    }

    void serviceListsReplace()
    {
        QList<Tweet> list;
        QVERIFY(TweetList::replaceWithServiceAnswer(
            list, QVariantMap{{"Result", QVariantList{QVariantMap(), QVariantMap()}}}, 0));
        QCOMPARE(list.size(), 2);
        QVERIFY(!TweetList::replaceWithServiceAnswer(list, QVariantList{QVariantMap()}, 0));
        QCOMPARE(list.size(), 2); // unchanged
        QVERIFY(TweetList::replaceWithServiceAnswer(list, QVariantMap{{"Result", "nonsense"}}, 0));
        QVERIFY(list.isEmpty());

        const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
        const TweetList::TalkRequest first = TweetList::phoneTalkRequest("1", 0, false, now);
        QCOMPARE(first.limit, 30);
        QCOMPARE(first.start.secsTo(first.end), 604800);
        QCOMPARE(first.end, now);
        QCOMPARE(TweetList::phoneTalkRequest("1", 30, true, now).limit, 60);
        QCOMPARE(TweetList::phoneTalkRequest("1", 30, false, now).limit, 30);
        QVERIFY(TweetList::showsMore(30));
        QVERIFY(!TweetList::showsMore(45));
        QVERIFY(TweetList::showsMore(60));
        QVERIFY(!TweetList::showsMore(0));
    }

    void twitterPagesMerge()
    {
        QList<Tweet> list;
        QCOMPARE(TweetList::twitterPageCount(true, 0), 30);
        QString maxId = TweetList::mergeTwitterPage(list, page(100, 30), true, "7");
        QCOMPARE(list.size(), 30);
        QCOMPARE(maxId, QStringLiteral("71"));
        QVERIFY(list.first().isOwn()); // sender 7 is the signed-in user
        // The next page asks for 31 before the last id and starts with it again.
        QCOMPARE(TweetList::twitterPageCount(false, list.size()), 31);
        maxId = TweetList::mergeTwitterPage(list, page(71, 31), false, "8");
        QCOMPARE(list.size(), 60);
        QCOMPARE(maxId, QStringLiteral("41"));
        QVERIFY(!list.last().isOwn());
        QCOMPARE(list[29].tweetId(), QStringLiteral("71"));
        QCOMPARE(list[30].tweetId(), QStringLiteral("70"));
        // The same page as "more" twice: the list's last tweet is dropped each time, so each
        // load adds one tweet less than the page holds.
        TweetList::mergeTwitterPage(list, page(41, 2), false, {});
        QCOMPARE(list.size(), 61);
        TweetList::mergeTwitterPage(list, page(41, 2), false, {});
        QCOMPARE(list.size(), 62);
        QCOMPARE(list.last().tweetId(), QStringLiteral("40"));
        // An empty page keeps the list; a reload replaces it.
        TweetList::mergeTwitterPage(list, {}, false, {});
        QCOMPARE(list.size(), 62);
        TweetList::mergeTwitterPage(list, page(5, 3), true, {});
        QCOMPARE(list.size(), 3);
    }

    void tabletPagesGrowAndEnd()
    {
        // The content server's pages: appended, own by the account's lower-cased name, the next
        // page ending a second before the oldest, complete when a page brings nothing new.
        const auto feed = [](QList<std::pair<QString, QString>> items) {
            QVariantList result;
            for (const auto& [id, user] : items)
                result.append(QVariantMap{{"time", QString("2026-12-01 10:00:" + id.right(2) + ".000000")},
                                          {"message", QVariantMap{{"id_str", id}}},
                                          {"sender_info", QVariantMap{{"screen_name", user}}}});
            return QVariantMap{{"Result", result}};
        };
        QList<Tweet> list;
        TweetList::PageMark mark;
        QVERIFY(TweetList::appendServiceAnswer(list, feed({{"30", "demo"}, {"20", "Demo"}}), 0, true, "Demo",
                                               &mark));
        QCOMPARE(list.size(), 2);
        QVERIFY(list[0].isOwn());
        QVERIFY(!list[1].isOwn()); // the feed's name is compared as it is
        QCOMPARE(mark.nextEnd, QDateTime(QDate(2026, 12, 1), QTime(10, 0, 19)));
        QVERIFY(!mark.complete);
        QVERIFY(TweetList::appendServiceAnswer(list, feed({{"10", "x"}}), 0, false, "Demo", &mark));
        QCOMPARE(list.size(), 3);
        QVERIFY(!mark.complete);
        QVERIFY(TweetList::appendServiceAnswer(list, feed({}), 0, false, "Demo", &mark));
        QVERIFY(mark.complete);
        QVERIFY(!TweetList::appendServiceAnswer(list, QVariantList{}, 0, false, "Demo", &mark));
        QCOMPARE(list.size(), 3);
        QVERIFY(TweetList::appendServiceAnswer(list, feed({{"40", "x"}}), 0, true, "Demo", &mark));
        QCOMPARE(list.size(), 1);

        // Twitter's pages: max_id paging as on the phone, own by lower-cased names, complete
        // when a page only repeats the last tweet.
        list.clear();
        TweetList::mergeTabletTwitterPage(list, page(100, 100), true, "U7", &mark);
        QCOMPARE(list.size(), 100);
        QVERIFY(list.first().isOwn());
        QCOMPARE(mark.maxId, QStringLiteral("1"));
        QVERIFY(!mark.complete);
        TweetList::mergeTabletTwitterPage(list, page(1, 1), false, "U7", &mark);
        QCOMPARE(list.size(), 100);
        QVERIFY(mark.complete);
        QVERIFY(TweetList::wantsMore(599, false));
        QVERIFY(!TweetList::wantsMore(600, false));
        QVERIFY(!TweetList::wantsMore(10, true));
    }
};

QTEST_GUILESS_MAIN(TestTweets)
#include "tst_tweets.moc"
