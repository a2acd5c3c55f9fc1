// The phone's long lists: the selector's sections for 1,000 channels, opening and closing
// a section, a programme day of 300 shows from the cache to a painted list, and 2,000
// search results sorted and narrowed to a category. Run on the offscreen platform.
#include "model/ChannelGroup.h"
#include "model/SearchResults.h"
#include "model/ShowsAnswer.h"
#include "model/Utilities.h"
#include "phone/CSelectorSections.h"
#include "phone/CSelectorViewController.h"
#include "phone/ProgramViewController.h"
#include "ui/ListTable.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

QVariantMap channelList(int channels)
{
    QVariantList categories{QVariantList{"-", 0}};
    for (int c = 1; c <= 13; ++c)
        categories << QVariantList{QStringLiteral("Категория %1").arg(c), 14 - c};
    QVariantMap answer{{"cc", categories}};
    for (int i = 1; i <= channels; ++i)
        answer.insert(QString::number(i),
                      QVariantList{QStringLiteral("Канал %1").arg(i), QStringLiteral("/%1.png").arg(i),
                                   i % 5 != 0, 1 + i % 13, i % 3 == 0, QString()});
    return answer;
}

QVariantMap shows(int count, qint64 from, int seconds)
{
    QVariantMap answer;
    for (int i = 0; i < count; ++i)
        answer.insert(
            QString::number(1000 + i),
            QVariantMap{
                {"ev", 5000 + i},
                {"title", QStringLiteral("Передача номер %1").arg(i)},
                {"info", QStringLiteral("Описание передачи, достаточно длинное, чтобы занять две строки.")},
                {"start_ts", double(from + qint64(i) * seconds)},
                {"finish_ts", double(from + qint64(i + 1) * seconds)},
                {"flag", 1 + i % 5},
                {"ch", "7"}});
    return answer;
}

void selectorSections(benchmark::State& state)
{
    const QVariantMap answer = channelList(1000);
    CSelectorSections sections;
    for (auto _ : state) {
        sections.setAdjustedResponse(ORVChannelsArray::groupsFromChannelList(answer));
        sections.prepareDisplayedResponse(CSelectorSections::TV, {});
        benchmark::DoNotOptimize(sections.displayed().size());
    }
}
BENCHMARK(selectorSections)->Unit(benchmark::kMillisecond);

void selectorExpandCollapse(benchmark::State& state)
{
    CSelectorViewController selector;
    selector.view()->resize(390, 760);
    selector.onGetChannelInfoDone(channelList(1000));
    QImage canvas(390, 760, QImage::Format_ARGB32_Premultiplied);
    const IndexPath header{0, 0};
    for (auto _ : state) {
        selector.didSelectRowAtIndexPath(header); // open: ~70 rows inserted
        selector.view()->render(&canvas);
        selector.didSelectRowAtIndexPath(header); // close
        selector.view()->render(&canvas);
    }
    state.SetLabel("one open plus one close, each laid out and painted");
}
BENCHMARK(selectorExpandCollapse)->Unit(benchmark::kMillisecond);

void programmeDayFromCache(benchmark::State& state)
{
    const QDateTime day = QDateTime::currentDateTime();
    Utilities::saveChannProgramData(shows(300, day.toSecsSinceEpoch() - 150 * 288, 288), "7", day);
    ProgramViewController program;
    program.view()->resize(390, 760);
    QImage canvas(390, 760, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const auto cached = Utilities::getChannProgramDataById("7", day);
        program.onGetProgramForDayWithChannelIdDone(cached.value_or(QVariantMap{}));
        program.view()->render(&canvas);
    }
    state.SetLabel(std::to_string(program.arrayShows().size()) + " shows");
}
BENCHMARK(programmeDayFromCache)->Unit(benchmark::kMillisecond);

void searchResults(benchmark::State& state)
{
    const QVariantMap answer = shows(2000, QDateTime::currentSecsSinceEpoch(), 600);
    SearchResults results;
    for (auto _ : state) {
        results.takeAnswer(answer, 0);
        results.selectCategory(results.arrayCategories().first());
        benchmark::DoNotOptimize(results.arrayFilteredResults().size());
    }
}
BENCHMARK(searchResults)->Unit(benchmark::kMillisecond);

void searchSortAndFilter(benchmark::State& state)
{
    SearchResults parsed;
    parsed.takeAnswer(shows(2000, QDateTime::currentSecsSinceEpoch(), 600), 0);
    QList<std::shared_ptr<Show>> reversed(parsed.arraySearchResults().rbegin(),
                                          parsed.arraySearchResults().rend());
    const int category = parsed.arrayCategories().first().categoryId;
    for (auto _ : state) {
        QList<std::shared_ptr<Show>> list = reversed;
        ShowsAnswer::sortByStartTime(list);
        QList<std::shared_ptr<Show>> filtered;
        for (const auto& show : std::as_const(list)) {
            if (show->showCategory == category)
                filtered.append(show);
        }
        benchmark::DoNotOptimize(filtered.size());
    }
    state.SetLabel("2,000 parsed results, reversed, sorted and filtered");
}
BENCHMARK(searchSortAndFilter)->Unit(benchmark::kMillisecond);

void searchFilterOnly(benchmark::State& state)
{
    SearchResults results;
    results.takeAnswer(shows(2000, QDateTime::currentSecsSinceEpoch(), 600), 0);
    int i = 0;
    for (auto _ : state) {
        results.selectCategory(results.arrayCategories()[i++ % results.arrayCategories().size()]);
        benchmark::DoNotOptimize(results.arrayFilteredResults().size());
    }
}
BENCHMARK(searchFilterOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ORVANE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
