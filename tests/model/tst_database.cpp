#include "TestHome.h"

#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/RatingRepository.h"
#include "model/Show.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

std::shared_ptr<Channel> channel(const QString& id, const QString& name = "Канал")
{
    auto c = Channel::initWithArray({name, "/l.png", true, 1, true, ""});
    c->setChannelId(id);
    return c;
}

std::shared_ptr<Show> show(const QString& name)
{
    auto s = std::make_shared<Show>();
    s->name = name;
    s->showId = "1";
    s->startTime = QDateTime::currentDateTime();
    return s;
}

QSqlQuery sql(const ORVManagedObjectContext& context)
{
    return QSqlQuery(QSqlDatabase::database(context.connectionName()));
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    QStringList alerts;

private Q_SLOTS:
    void init()
    {
        home = std::make_unique<TestHome>();
        alerts.clear();
        ChannelsRepository::setAlertPresenter([this](const QString& title, const QString& message,
                                                     const QString&) { alerts << title + ": " + message; });
    }
    void cleanup() { home.reset(); }

    void favourites()
    {
        ORVManagedObjectContext context;
        QVERIFY(context.hasStore());
        QCOMPARE(context.storePath(), home->path() + "/orv_db.sqlite");
        ChannelsRepository channels(&context);
        QVERIFY(channels.insertChannelIntoToFavorites(channel("12")));
        QVERIFY(!channels.insertChannelIntoToFavorites(channel("12"))); // twice: the alert, nothing new
        QCOMPARE(alerts, QStringList{"Error: This channel has already been added"});
        QCOMPARE(context.channels().size(), 1);
        // Ids are compared as texts.
        QVERIFY(!channels.getChannelWithId("012"));
        QVERIFY(channels.getChannelWithId("12"));
        // Removing keeps the record; adding again makes a new one.
        channels.deleteChannelFromFavorites(channel("12"));
        QVERIFY(channels.getAllFavorites().isEmpty());
        channels.deleteChannelFromFavorites(channel("99")); // not a favourite: nothing
        QVERIFY(channels.insertChannelIntoToFavorites(channel("12")));
        QCOMPARE(context.channels().size(), 2);
        QCOMPARE(context.channels(false).size(), 1);
        QVERIFY(context.saveDataToDB());

        ORVManagedObjectContext reopened;
        ChannelsRepository again(&reopened);
        QCOMPARE(again.getAllFavorites().size(), 1);
        QCOMPARE(again.getAllFavorites().first()->channel_object()->name(), QStringLiteral("Канал"));
        QCOMPARE(reopened.channels(false).size(), 1);
    }

    void nothingIsWrittenBeforeASave()
    {
        ORVManagedObjectContext writer;
        ChannelsRepository(&writer).insertChannelIntoToFavorites(channel("5"));
        RatingRepository(&writer).increaseRatingWithChannId(5);
        QVERIFY(writer.hasChanges());
        {
            ORVManagedObjectContext reader;
            QVERIFY(reader.channels().isEmpty());
            QVERIFY(reader.ratings().isEmpty());
        }
        QVERIFY(writer.saveDataToDB());
        QVERIFY(!writer.hasChanges());
        ORVManagedObjectContext reader;
        QCOMPARE(reader.channels().size(), 1);
        QCOMPARE(reader.ratings().size(), 1);
    }

    void ratings()
    {
        ORVManagedObjectContext context;
        RatingRepository ratings(&context);
        QVERIFY(!ratings.getRatingObjWithChannId(7));
        ratings.increaseRatingWithChannId(7);
        QCOMPARE(ratings.getRatingObjWithChannId(7)->rating(), 1.0f);
        ratings.increaseRatingWithChannId(7);
        ratings.increaseRatingWithChannId(3);
        QVERIFY(context.saveDataToDB());
        ratings.increaseRatingWithChannId(7);
        QVERIFY(context.saveDataToDB());
        ORVManagedObjectContext reopened;
        QCOMPARE(RatingRepository(&reopened).getRatingObjWithChannId(7)->rating(), 3.0f);
        QCOMPARE(RatingRepository(&reopened).getAllRatings().size(), 2);
    }

    void historyOldestFirstAndClearing()
    {
        ORVManagedObjectContext context;
        HistoryRepository history(&context);
        history.clearHistory();
        QVERIFY(!context.hasChanges()); // clearing an empty history changes nothing
        const QDateTime now = QDateTime::currentDateTime();
        context.insertHistory(now.addSecs(60), channel("1"), show("later"));
        context.insertHistory(now, channel("1"), show("earlier"));
        history.insertShow(show("now"), channel("2"));
        QVERIFY(context.saveDataToDB());
        ORVManagedObjectContext reopened;
        HistoryRepository stored(&reopened);
        QStringList names;
        for (const auto& record : stored.getAllShows())
            names << record->show_object()->name;
        QCOMPARE(names, (QStringList{"earlier", "now", "later"}));
        QCOMPARE(stored.getAllShows().first()->channel_object()->channelId(), QStringLiteral("1"));
        stored.clearHistory();
        QVERIFY(reopened.hasChanges());
        QVERIFY(reopened.saveDataToDB());
        QVERIFY(ORVManagedObjectContext().history().isEmpty());
    }

    void aFullDiskKeepsTheOldData()
    {
        ORVManagedObjectContext context;
        ChannelsRepository(&context).insertChannelIntoToFavorites(channel("1"));
        QVERIFY(context.saveDataToDB());
        QSqlQuery pragma = sql(context);
        QVERIFY(pragma.exec("PRAGMA page_count") && pragma.next());
        const int pages = pragma.value(0).toInt();
        pragma.finish();
        QVERIFY(pragma.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
        pragma.finish();
        HistoryRepository history(&context);
        for (int i = 0; i < 50; ++i) {
            auto big = show(QString(2000, u'x'));
            big->description = QString(4000, u'y');
            history.insertShow(big, channel("1"));
        }
        ChannelsRepository(&context).deleteChannelFromFavorites(channel("1"));
        QVERIFY(!context.saveDataToDB());
        QVERIFY(!context.lastError().isNull());
        QVERIFY(context.hasChanges()); // still pending
        ORVManagedObjectContext reader;
        QCOMPARE(ChannelsRepository(&reader).getAllFavorites().size(), 1); // the old data, intact
        QVERIFY(reader.history().isEmpty());
    }

    void aBrokenStoreIsMovedAside()
    {
        QFile garbage(home->path() + "/orv_db.sqlite");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'z'));
        garbage.close();
        ORVManagedObjectContext context;
        QVERIFY(context.hasStore());
        QVERIFY(ChannelsRepository(&context).insertChannelIntoToFavorites(channel("3")));
        QVERIFY(context.saveDataToDB());
        const QStringList aside = QDir(home->path()).entryList({"orv_db.sqlite.broken-*"});
        QCOMPARE(aside.size(), 1);
        QFile kept(home->path() + "/" + aside.first());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(4096, 'z'));
    }

    void aStoreThatCannotBeOpenedLosesNothingSilently()
    {
        QVERIFY(QDir().mkpath(home->path() + "/orv_db.sqlite")); // a folder where the file should be
        ORVManagedObjectContext context;
        QVERIFY(!context.hasStore());
        ChannelsRepository(&context).insertChannelIntoToFavorites(channel("3"));
        QVERIFY(!context.saveDataToDB());
        Error error;
        QVERIFY(!RatingRepository(&context).getRatingObjWithChannId(3, &error));
        QVERIFY(!error.isNull());
        RatingRepository(&context).increaseRatingWithChannId(3); // nothing is created on a failed look-up
        QVERIFY(context.ratings().isEmpty());
    }

    void damagedRecordsAreSkipped()
    {
        {
            ORVManagedObjectContext context;
            ChannelsRepository(&context).insertChannelIntoToFavorites(channel("1"));
            ChannelsRepository(&context).insertChannelIntoToFavorites(channel("2"));
            QVERIFY(context.saveDataToDB());
            QSqlQuery damage = sql(context);
            QVERIFY(damage.exec("UPDATE channels SET channel_object = x'00ff00' WHERE id = 1"));
            QVERIFY(damage.exec(
                "INSERT INTO channels (channel_object, is_favorite) VALUES "
                "('{\"$archive\":\"orvane\",\"$version\":9,\"$class\":\"Channel\",\"$values\":{}}', 1)"));
        }
        ORVManagedObjectContext context;
        const auto favourites = ChannelsRepository(&context).getAllFavorites();
        QCOMPARE(favourites.size(), 1);
        QCOMPARE(favourites.first()->channel_object()->channelId(), QStringLiteral("2"));
    }

    void theSchemaIsVersioned()
    {
        {
            ORVManagedObjectContext context;
            QSqlQuery version = sql(context);
            QVERIFY(version.exec("PRAGMA user_version") && version.next());
            QCOMPARE(version.value(0).toInt(), ORVManagedObjectContext::SchemaVersion);
            version.finish();
            QVERIFY(version.exec("PRAGMA user_version = 99"));
        }
        // A store from a later version of the application is not touched.
        ORVManagedObjectContext future;
        QVERIFY(!future.hasStore());
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
