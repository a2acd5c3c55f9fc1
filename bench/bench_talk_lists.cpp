// The talk lists: 300 tweets of the content server's feed and of Twitter pages, from the
// answer's JSON text to the merged list a screen shows (parsing included, as each answer
// arrives as text).
#include "platform/Json.h"
#include "social/TweetList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

namespace {

QString serviceAnswer(int count)
{
    QJsonArray result;
    for (int i = 0; i < count; ++i)
        result.append(QJsonObject{
            {"message",
             QJsonObject{
                 {"id_str", QString::number(2130103920331946032LL - i)},
                 {"text", QStringLiteral("Сообщение %1 о канале, смотрю вечерний фильм #Киноман").arg(i)},
                 {"source", "<a href=\"https://orvane.example/\" rel=\"nofollow\">Orvane</a>"}}},
            {"sender_info",
             QJsonObject{{"name", "Зритель"},
                         {"screen_name", QStringLiteral("viewer%1").arg(i)},
                         {"id_str", QString::number(10000 + i)},
                         {"profile_image_url", "http://localhost:22224/profile_images/1.png"}}},
            {"status", QJsonObject{{"favorited", false}, {"in_reply_to_status_id_str", QJsonValue()}}},
            {"time", "2026-12-07 20:15:00.000000"}});
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"Result", result}}).toJson(QJsonDocument::Compact));
}

QString twitterPage(int count, qint64 firstId)
{
    QJsonArray page;
    for (int i = 0; i < count; ++i)
        page.append(QJsonObject{
            {"id_str", QString::number(firstId - i)},
            {"text", QStringLiteral("@demo статус номер %1").arg(i)},
            {"created_at", "Mon Dec 07 17:15:00 +0000 2026"},
            {"source", "web"},
            {"in_reply_to_status_id_str", QJsonValue()},
            {"user", QJsonObject{{"id_str", QString::number(1 + i % 5)},
                                 {"screen_name", "anna_tv"},
                                 {"name", "Анна"},
                                 {"profile_image_url", "http://localhost:22224/profile_images/2.png"}}}});
    return QString::fromUtf8(QJsonDocument(page).toJson(QJsonDocument::Compact));
}

void BM_ServiceTalk300(benchmark::State& state)
{
    const QString text = serviceAnswer(300);
    for (auto _ : state) {
        QList<Tweet> list;
        TweetList::replaceWithServiceAnswer(list, Json::objectWithString(text), 0);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ServiceTalk300)->Unit(benchmark::kMillisecond);

// Ten pages of 31 merged into 300 tweets, as "Show more" builds them.
void BM_TwitterPagesTo300(benchmark::State& state)
{
    QList<QString> pages;
    for (int p = 0; p < 10; ++p)
        pages.append(twitterPage(p == 0 ? 30 : 31, 2130103920331946032LL - p * 30));
    for (auto _ : state) {
        QList<Tweet> list;
        for (int p = 0; p < pages.size(); ++p)
            TweetList::mergeTwitterPage(list, Json::objectWithString(pages[p]).toList(), p == 0,
                                        QStringLiteral("1"));
        if (list.size() != 300)
            state.SkipWithError("the pages did not merge to 300 tweets");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_TwitterPagesTo300)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
