// Records and caches: decoding and grouping a channel list of 1,000 channels, building the
// records of a 300-show day, and a programme request answered from the file cache (from
// the call through the cache queue to the delivery on the main thread).
#include <benchmark/benchmark.h>

#include "model/ChannelGroup.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/Json.h"
#include "service/ServiceCalls.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

namespace {

QByteArray channelList(int channels)
{
    QVariantList categories{QVariantList{"-", 0}};
    for (int c = 1; c <= 15; ++c)
        categories.append(QVariantList{QStringLiteral("Категория %1").arg(c), 16 - c});
    QVariantMap answer{{"cc", categories}};
    for (int id = 1; id <= channels; ++id) {
        answer.insert(QString::number(id), QVariantList{QStringLiteral("Канал номер %1").arg(id),
                                                        QStringLiteral("/logos/%1.png").arg(id), id % 7 != 0,
                                                        1 + id % 15, id % 3 == 0, QStringLiteral("Слоган")});
    }
    return Json::encode(answer);
}

QVariantMap dayOfShows(int shows)
{
    QVariantMap day;
    const double start = 1796600000;
    for (int i = 0; i < shows; ++i) {
        QVariantList humans;
        for (int p = 0; p < 6; ++p)
            humans.append(
                QVariantMap{{"name", QStringLiteral("Актёр %1").arg(p)}, {"amp", p % 3 == 0 ? 2 : 1}});
        day.insert(
            QString::number(i + 1),
            QVariantMap{{"ev", 1000 + i},
                        {"title", QStringLiteral("Передача %1").arg(i)},
                        {"subtitle", QStringLiteral("Серия %1").arg(i % 12)},
                        {"info", QString(300, u'о')},
                        {"start_ts", start + i * 288},
                        {"finish_ts", start + (i + 1) * 288},
                        {"type_str", QStringLiteral("драма")},
                        {"country", QStringLiteral("Россия")},
                        {"year", 2000 + i % 20},
                        {"flag", i % 5},
                        {"rating", QVariantList{QVariantMap{{"imdb_rating", 7.1}, {"imdb_votes", 1000}}}},
                        {"humans", humans},
                        {"ch", "27"}});
    }
    return day;
}

void decodeAndGroupChannelList(benchmark::State& state)
{
    const QByteArray text = channelList(1000);
    for (auto _ : state) {
        const ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(Json::decode(text).toMap());
        benchmark::DoNotOptimize(groups.size());
    }
}
BENCHMARK(decodeAndGroupChannelList)->Unit(benchmark::kMillisecond);

void recordsOfADay(benchmark::State& state)
{
    const QVariantMap day = dayOfShows(300);
    for (auto _ : state) {
        QList<std::shared_ptr<Show>> shows;
        for (auto it = day.begin(); it != day.end(); ++it)
            shows.append(Show::initWithDictionary(it.value().toMap()));
        benchmark::DoNotOptimize(shows.size());
    }
}
BENCHMARK(recordsOfADay)->Unit(benchmark::kMillisecond);

void cachedProgrammeDelivered(benchmark::State& state)
{
    QTemporaryDir home;
    qputenv("ORVANE_HOME", home.path().toUtf8());
    const QDateTime date = QDateTime::currentDateTime();
    Utilities::saveChannProgramData(dayOfShows(60), "27", Utilities::optimizeDateForORVProgram(date));
    QObject delegate;
    for (auto _ : state) {
        QEventLoop loop;
        bool delivered = false;
        ServiceCalls::sharedManager().getProgramForDayWithChannelId("27", date,
                                                                    Reply(&delegate, [&](const QVariant&) {
                                                                        delivered = true;
                                                                        loop.quit();
                                                                    }));
        if (!delivered)
            loop.exec();
    }
}
BENCHMARK(cachedProgrammeDelivered)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
