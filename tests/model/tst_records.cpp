#include "model/Channel.h"
#include "model/ChannelGroup.h"
#include "model/KeyedArchive.h"
#include "model/Show.h"
#include "platform/Json.h"

#include <QTest>

namespace {

QVariantMap json(const char* text)
{
    return Json::objectWithString(QString::fromUtf8(text)).toMap();
}

QVariantMap person(const QString& name, int role, const QString& url = {})
{
    QVariantMap p{{"name", name}, {"amp", role}};
    if (!url.isNull())
        p.insert("url", url);
    return p;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showFromADictionary()
    {
        const auto show = Show::initWithDictionary(json(R"({
            "ev": 4512, "title": "Кино", "info": "О фильме", "image": "/p/1.jpg", "image_s": "/p/1s.jpg",
            "start_ts": 1796670000, "finish_ts": "1796675400", "subtitle": "Серия 2", "country": "Франция",
            "year": "1999", "flag": 1, "type_str": "драма", "rating": [{"imdb_rating": 7.3, "kp_index": 12}],
            "pd": 20261207, "company": "Gaumont", "ch": "27"})"));
        QCOMPARE(show->showId, QStringLiteral("4512"));
        QCOMPARE(show->name, QStringLiteral("Кино"));
        QCOMPARE(show->description, QStringLiteral("О фильме"));
        QCOMPARE(show->pictureName, QStringLiteral("/p/1.jpg"));
        QCOMPARE(show->bigPicture, QStringLiteral("/p/1s.jpg"));
        QCOMPARE(show->startTime.toSecsSinceEpoch(), 1796670000);
        QCOMPARE(show->endTime.toSecsSinceEpoch(), 1796675400);
        QCOMPARE(show->year, 1999);
        QCOMPARE(show->showCategory, 1);
        QCOMPARE(show->rating.value("imdb_rating").toDouble(), 7.3);
        QCOMPARE(show->pDate, QStringLiteral("20261207"));
        QCOMPARE(show->productCompany, QStringLiteral("Gaumont"));
        QCOMPARE(show->channelId, QStringLiteral("27"));
        QCOMPARE(show->composedTitle, QStringLiteral("Кино (Серия 2)"));
        QCOMPARE(show->iconName(), QStringLiteral("type_006"));
        QCOMPARE(show->showCategoryString(), QStringLiteral("Movie"));
    }

    void titles_data()
    {
        QTest::addColumn<QString>("dictionary");
        QTest::addColumn<bool>("hasName");
        QTest::addColumn<QString>("composedTitle");
        QTest::newRow("empty title") << R"({"title": ""})" << false << "";
        QTest::newRow("no title") << R"({})" << false << "";
        QTest::newRow("with subtitle") << R"({"title": "A", "subtitle": "B"})" << true << "A (B)";
        QTest::newRow("empty subtitle") << R"({"title": "A", "subtitle": ""})" << true << "A";
    }
    void titles()
    {
        QFETCH(QString, dictionary);
        QFETCH(bool, hasName);
        QFETCH(QString, composedTitle);
        const auto show = Show::initWithDictionary(Json::objectWithString(dictionary).toMap());
        QCOMPARE(!show->name.isNull(), hasName);
        QCOMPARE(show->composedTitle, composedTitle);
    }

    void missingAndWrongTypesGiveEmptyValues()
    {
        const auto show = Show::initWithDictionary(json(R"({
            "ev": null, "title": ["x"], "start_ts": {"a": 1}, "year": "abc", "flag": null,
            "rating": {"imdb_rating": 1}, "humans": "none", "pd": null, "ch": 5})"));
        QVERIFY(show->name.isNull());
        QVERIFY(!show->startTime.isValid());
        QVERIFY(!show->endTime.isValid());
        QCOMPARE(show->year, 0);
        QCOMPARE(show->showCategory, 0);
        QVERIFY(show->rating.isEmpty());
        QVERIFY(show->actors.isEmpty() && show->directors.isEmpty() && show->anchorpersons.isEmpty());
        QCOMPARE(show->channelId, QStringLiteral("5"));
        QCOMPARE(show->iconName(), QStringLiteral("type_003"));
        QVERIFY(show->briefInfo.isEmpty());
        const auto channel = Channel::initWithDictionary2(json(R"({"ch": 1, "0": "x", "t": "yes"})"));
        QCOMPARE(channel->name(), QStringLiteral("1"));
        QCOMPARE(channel->pictureName(), QString(""));
        QCOMPARE(channel->categoryId(), 0);
        QVERIFY(channel->isAutoDetection());
    }

    void participantsByRole()
    {
        Show show;
        show.prepareParticipants(
            {person("a", 1), person("n", 12), person("x", 7), person("d", 2), "not a person"});
        QCOMPARE(show.actors.size(), 1);
        QCOMPARE(show.anchorpersons.size(), 1);
        QCOMPARE(show.directors.size(), 1);
        QCOMPARE(show.actors.first().toMap().value("name").toString(), QStringLiteral("a"));
    }

    void briefTexts()
    {
        Show show;
        show.genre = "g";
        show.prepareParticipants({person("x", 1), person("y", 1)});
        QCOMPARE(show.composeBriefInfoForPad(false), QStringLiteral("\n\nGenre: g\n\nActors: x, y"));
        QCOMPARE(show.composeBriefInfoForPad(true), QStringLiteral("\n\nGenre: g\n\n\nActors: x, y\n"));

        Show made;
        made.country = "c";
        made.year = 2001;
        QCOMPARE(made.composeBriefInfo(), QStringLiteral("\n\nProduction: c, 2001"));
        made.productCompany = "Mosfilm";
        made.prepareParticipants({person("a", 12), person("d", 2)});
        QCOMPARE(made.composeBriefInfo(),
                 QStringLiteral("\n\nAnchors: a\n\nDirector: d\n\nProduction: c Mosfilm, 2001"));
    }

    void htmlBodies()
    {
        Show made;
        made.country = "c";
        made.year = 2001;
        QCOMPARE(
            made.getHTMLBodyInfo(),
            QStringLiteral(
                "<html><head><style>html{-webkit-text-size-adjust: none; /* Never autoresize text */} "
                "p{line-height:120%; padding-bottom:8px; padding-top: 6px;margin: 0px;} "
                "b{color:#444444;} a{color:#334499} a{color:#3333AA;} </style></head><body "
                "style=\"font-family: Helvetica; margin:0px; font-size: 100%; text-align: left; "
                "background-color: transparent;\"><p><b>Production:</b> c, 2001 Year</p></body></html>"));

        Show cast;
        cast.genre = "драма";
        cast.prepareParticipants({person("x", 1, "http://people/x"), person("y", 1)});
        const QString details = cast.getHTMLBodyInfo(true, true);
        QVERIFY(details.contains(QStringLiteral("p{color:#444444}   </style>")));
        QVERIFY(details.contains(
            QStringLiteral("margin:0px; text-align:left; color:#555555; font-size:95%; background")));
        QVERIFY(details.contains(QStringLiteral(
            "<p><b>Genre:</b> драма</p><p><b>Actors:</b> <a href=\"http://people/x\">x</a>, y</p>")));
        const QString cell = cast.getHTMLBodyInfo(true, false);
        QVERIFY(
            cell.contains(QStringLiteral("p{color:#444444} a{color:black; text-decoration:none} </style>")));
        QVERIFY(cell.contains(QStringLiteral("text-align:left; color:#333333; font-size:80%;")));
        QVERIFY(cell.contains(QStringLiteral("<p><b>Genre:</b><br>драма</p><p><b>Actors:</b><br><a href=")));

        // Server texts are text, not markup.
        Show hostile;
        hostile.genre = "<script>x</script>";
        hostile.prepareParticipants({person("Tom & \"Jerry\"", 2, "http://a\"b")});
        const QString html = hostile.getHTMLBodyInfo();
        QVERIFY(!html.contains("<script>"));
        QVERIFY(html.contains("&lt;script&gt;x&lt;/script&gt;"));
        QVERIFY(html.contains("<a href=\"http://a&quot;b\">Tom &amp; &quot;Jerry&quot;</a>"));
    }

    void categories_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("label");
        QTest::newRow("30") << 30 << "type_014"
                            << "Championship";
        QTest::newRow("3") << 3 << "type_014"
                           << "Sport";
        QTest::newRow("6") << 6 << "type_003"
                           << "General";
        QTest::newRow("143") << 143 << "type_004"
                             << "Radio";
        QTest::newRow("20") << 20 << "type_007"
                            << "Education";
    }
    void categories()
    {
        QFETCH(int, category);
        QFETCH(QString, icon);
        QFETCH(QString, label);
        Show show;
        show.showCategory = category;
        show.setShowCategoryString("ignored");
        QCOMPARE(show.iconName(), icon);
        QCOMPARE(show.showCategoryString(), label);
    }

    void channelsAndTheirGroups()
    {
        auto category = ChannelCategory::initWithArray({"Кино", "7"});
        category->setCategoryId(14);
        QCOMPARE(category->iconName(), QString());
        category->setCategoryId(1);
        QCOMPARE(category->iconName(), QStringLiteral("type_010"));
        QCOMPARE(category->order(), 7);

        QVERIFY(ORVChannelsArray::groupsFromChannelList(
                    json(R"({"cc": [["-", 0]], "5": ["A", "/a", 1, 0, 1, ""]})"))
                    .isEmpty());
        const ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(json(R"({
            "cc": [["none", 0], ["Общие", 2], ["Спорт", 1], ["Пустая", 0]],
            "27": ["Первый", "/l/27.png", 1, 1, 1, "s"], "3": ["Матч", "/l/3.png", 1, 2, 0, ""],
            "10": ["Радио", "/l/10.png", 0, 1, 0, ""], "bad": "x", "short": ["n"]})"));
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0].category->name(), QStringLiteral("Спорт")); // order 1 before order 2
        QCOMPARE(groups[0].category->categoryId(), 2);
        QCOMPARE(groups[1].channels.size(), 2);
        QCOMPARE(groups[1].channels[0]->channelId(), QStringLiteral("10")); // ascending ids
        QCOMPARE(groups[1].channels[1]->name(), QStringLiteral("Первый"));
        QVERIFY(groups[1].channels[1]->isSelectedManually());
        QVERIFY(!groups[1].channels[0]->isTV());
        QVERIFY(!groups[0].isExpanded);
    }

    void favourites()
    {
        ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(json(R"({
            "cc": [["-", 0], ["A", 1], ["B", 2]],
            "1": ["a1", "", 1, 1, 0, ""], "2": ["a2", "", 1, 1, 0, ""], "3": ["b1", "", 1, 2, 0, ""]})"));
        groups[0].channels[1]->setIsFavorite(true);
        const ChannelGroups masked = ORVChannelsArray::maskFavoritesChanns(groups);
        QCOMPARE(masked.size(), 1);
        QCOMPARE(masked[0].channels.size(), 1);
        QCOMPARE(groups[0].channels.size(), 2); // the original is untouched
        QCOMPARE(ORVChannelsArray::favoritesChannsAtIndex(groups, 1)->size(), 0);
        QVERIFY(!ORVChannelsArray::favoritesChannsAtIndex(groups, 2));
        QCOMPARE(ORVChannelsArray::countFavoritesAtIndex(groups, 2), 0);
        QCOMPARE(ORVChannelsArray::countFavoritesAtIndex(groups, 0), 1);
        QCOMPARE(ORVChannelsArray::favoritesChannsAll(groups)->first()->name(), QStringLiteral("a2"));
        QVERIFY(!ORVChannelsArray::favoritesChannsAll({}));
    }

    void archivedShowsKeepTheListedFields()
    {
        auto show = Show::initWithDictionary(json(R"({
            "ev": 9, "title": "T", "subtitle": "S", "image": "/i", "image_s": "/big", "info": "D", "country": "C",
            "type_str": "G", "start_ts": 1000, "finish_ts": 2000, "year": 2001, "flag": 30, "pd": 20261207,
            "company": "Co", "ch": "5", "rating": [{"kp_rating": 8.1, "$odd": true}],
            "humans": [{"name": "x", "amp": 1, "url": "u"}, {"name": "d", "amp": 2}]})"));
        QImage thumbnail(4, 4, QImage::Format_ARGB32);
        thumbnail.fill(Qt::red);
        show->thumbnail = thumbnail;
        show->calendarIdString = "event";
        const QByteArray archive = show->encodeWithCoder();
        const auto restored = Show::initWithCoder(archive);
        QVERIFY(restored);
        QCOMPARE(restored->showId, QStringLiteral("9"));
        QCOMPARE(restored->name, show->name);
        QCOMPARE(restored->subTitle, show->subTitle);
        QCOMPARE(restored->pictureName, show->pictureName);
        QCOMPARE(restored->description, show->description);
        QCOMPARE(restored->country, show->country);
        QCOMPARE(restored->genre, show->genre);
        QCOMPARE(restored->briefInfo, show->briefInfo);
        QCOMPARE(restored->startTime, show->startTime);
        QCOMPARE(restored->endTime, show->endTime);
        QCOMPARE(restored->actors, show->actors);
        QCOMPARE(restored->directors, show->directors);
        QCOMPARE(restored->year, 2001);
        QCOMPARE(restored->showCategory, 30);
        QCOMPARE(restored->rating.value("kp_rating").toDouble(), 8.1);
        QVERIFY(restored->rating.value("$odd").toBool());
        QCOMPARE(restored->channelId, QStringLiteral("5"));
        QCOMPARE(restored->thumbnail.pixelColor(1, 1), QColor(Qt::red));
        // Not archived: start empty.
        QVERIFY(restored->pDate.isEmpty());
        QVERIFY(restored->bigPicture.isEmpty());
        QVERIFY(restored->productCompany.isEmpty());
        QVERIFY(restored->calendarIdString.isEmpty());
        QVERIFY(restored->composedTitle.isEmpty());
    }

    void archivedChannels()
    {
        auto channel = Channel::initWithArray({"Первый", "/l/1.png", true, 3, true, "slogan"});
        channel->setChannelId("27");
        channel->setIsSelectedManually(true);
        channel->setIsFavorite(true);
        const auto restored = Channel::initWithCoder(channel->encodeWithCoder());
        QVERIFY(restored);
        QCOMPARE(restored->arrayPresentation(), channel->arrayPresentation());
        QCOMPARE(restored->channelId(), QStringLiteral("27"));
        QVERIFY(restored->isSelectedManually());
        QVERIFY(!restored->isFavorite()); // not archived
        QCOMPARE(restored->categoryId(), 3);
    }

    void damagedArchivesAreRefused()
    {
        const QByteArray good = Channel::initWithArray({"a"})->encodeWithCoder();
        QString error;
        QVERIFY(!Channel::initWithCoder(good.left(good.size() / 2), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!Channel::initWithCoder("bplist00\x01\x02", &error));
        QByteArray future = good;
        future.replace("\"$version\":1", "\"$version\":7");
        QVERIFY(!Channel::initWithCoder(future, &error));
        QVERIFY(error.contains("7"));
        QVERIFY(!Show::initWithCoder(good, &error)); // a channel is not a show
        QVERIFY(error.contains("Channel"));
        QVERIFY(!KeyedArchive::unarchive(QByteArray(), &error));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
