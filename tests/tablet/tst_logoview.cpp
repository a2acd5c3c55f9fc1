// The root pane's logo view: the now-data it is given, walking its shows as they end, the
// detected and idle states with what it tells its delegate, status and Twitter lines.
#include "tablet/ORVLogoView_iPad.h"

#include <QPushButton>
#include <QTest>

namespace {

class Recorder : public ORVLogoViewDelegate
{
public:
    QStringList calls;
    void logoViewDidAnimateStartDetectionStateWithDuration(double s) override
    {
        calls << QStringLiteral("start %1").arg(s);
    }
    void logoViewWillAnimateFinishDetectionStateWithDuration(double s) override
    {
        calls << QStringLiteral("finish %1").arg(s);
    }
    void logoViewCurrentShowDidChange() override { calls << QStringLiteral("changed"); }
    void getUpdateToLogoView() override { calls << QStringLiteral("update"); }
};

QVariantMap show(const QString& title, qint64 start, qint64 end, const QString& id)
{
    return {{"t", title}, {"ts", start}, {"tf", end}, {"pid", id}, {"pd", "20261208"}};
}

} // namespace

class TestLogoView : public QObject
{
    Q_OBJECT

    const qint64 t0 = 1765180800; // a whole hour

    QVariantMap nowData(bool tv = true) const
    {
        return {
            {"p", QVariantList{show("Утро", t0, t0 + 3600, "11"), show("День", t0 + 3600, t0 + 7200, "12"),
                               show("Вечер", t0 + 7200, t0 + 10800, "13")}},
            {"c", QVariantMap{{"ch", "Киноман"}, {"t", tv ? 1 : 0}, {"icon", ""}}}};
    }
    static QDateTime at(qint64 seconds) { return QDateTime::fromSecsSinceEpoch(seconds); }

private Q_SLOTS:
    void detectedShowsWalkAndIdle()
    {
        ORVLogoView_iPad view;
        Recorder recorder;
        view.setDelegate(&recorder);
        QVERIFY(!view.checkShowBounds(at(t0))); // nothing yet
        QVERIFY(!view.programButton()->isEnabled());

        view.setDetectedChannWithData(nowData());
        QVERIFY(view.isDetected());
        QVERIFY(view.programButton()->isEnabled());
        QCOMPARE(recorder.calls, QStringList{"start 0.5"});
        QCOMPARE(view.channelText(), QStringLiteral("Киноман"));
        QCOMPARE(view.staticText(), QStringLiteral("Вы смотрите:"));
        QCOMPARE(view.showText(), QStringLiteral("Утро"));
        QCOMPARE(view.nextText(), QStringLiteral("Далее:День"));
        QCOMPARE(view.getCurrentShowId(), QStringLiteral("11"));
        QCOMPARE(view.getCurrentShowDate(), QStringLiteral("20261208"));
        QCOMPARE(view.getCurrentShowTime(), at(t0));

        // Within the show: nothing moves; the progress follows the clock.
        QVERIFY(!view.checkShowBounds(at(t0 + 1800)));
        QCOMPARE(view.progressPercent(), 50);
        // Two shows ended at once (the device slept): straight to the one on air now.
        QVERIFY(view.checkShowBounds(at(t0 + 7300)));
        QCOMPARE(view.showText(), QStringLiteral("Вечер"));
        QVERIFY(view.nextText().isEmpty());
        QCOMPARE(view.getCurrentShowId(), QStringLiteral("13"));
        QCOMPARE(recorder.calls.last(), QStringLiteral("changed"));
        // All ended: back to the first, and new data is asked for.
        QVERIFY(!view.checkShowBounds(at(t0 + 20000)));
        QCOMPARE(view.getCurrentShowId(), QStringLiteral("11"));
        QCOMPARE(recorder.calls.last(), QStringLiteral("update"));

        // New data while detected only says the show changed.
        view.setDetectedChannWithData(nowData());
        QCOMPARE(recorder.calls.last(), QStringLiteral("changed"));
        view.idle();
        QCOMPARE(recorder.calls.last(), QStringLiteral("finish 1"));
        QVERIFY(!view.isDetected());
        QVERIFY(!view.programButton()->isEnabled());
        QVERIFY(view.getCurrentShowData().isEmpty());
        QVERIFY(!view.checkShowBounds(at(t0)));
        const int calls = int(recorder.calls.size());
        view.idle(); // idle again tells nothing
        QCOMPARE(recorder.calls.size(), calls);
    }

    void missingDataAndRadio()
    {
        ORVLogoView_iPad view;
        view.setDetectedChannWithData({{"p", QVariantMap{{"nodata", 1}}}});
        QCOMPARE(view.showText(), QStringLiteral("Нет данных"));
        QCOMPARE(view.channelText(), QStringLiteral("Нет данных"));
        QVERIFY(view.getCurrentShowId().isEmpty());
        QVERIFY(!view.checkShowBounds(at(t0)));

        QVariantMap radio = nowData(false);
        radio.insert("s", QVariantList{QVariantMap{{"s", "Песня"}, {"a", "Первый"}},
                                       QVariantMap{{"a", "Исполнитель"}}});
        view.setDetectedChannWithData(radio);
        QCOMPARE(view.staticText(), QStringLiteral("Вы слушаете:"));
        QCOMPARE(view.nextText(), QStringLiteral("Исполнитель - Песня"));
        // Special content belongs to the show that has it.
        QVariantMap special = nowData();
        special["p"] = QVariantList{
            QVariantMap{{"t", "Шоу"}, {"ts", t0}, {"tf", t0 + 60}, {"aact", 3}, {"aurl", "http://x/"}}};
        view.setDetectedChannWithData(special);
        QVERIFY(view.isHaveSpecialContent());
        QCOMPARE(view.specialContentUrl(), QStringLiteral("http://x/"));
        // Content code 0 is content too; a page named without a scheme is the content server's.
        special["p"] = QVariantList{
            QVariantMap{{"t", "Матч"}, {"ts", t0}, {"tf", t0 + 60}, {"aact", 0}, {"aurl", "special/7.html"}}};
        view.setDetectedChannWithData(special);
        QVERIFY(view.isHaveSpecialContent());
        QCOMPARE(view.specialContentCode(), 0);
        QVERIFY(view.specialContentUrl().endsWith(QStringLiteral("/searchcontent/special/7.html")));
        QVERIFY(view.specialContentUrl().startsWith(QStringLiteral("http://")));
        // Without "aact" a show has none.
        view.setDetectedChannWithData(nowData());
        QVERIFY(!view.isHaveSpecialContent());
        QVERIFY(view.specialContentUrl().isEmpty());
    }

    void statusAndTwitterLines()
    {
        ORVLogoView_iPad view;
        view.setOnlineStatus(QStringLiteral("работает"), 17);
        QCOMPARE(view.statusText(), QStringLiteral("работает"));
        QCOMPARE(view.peopleText(), QStringLiteral("17 чел."));
        view.setOfflineStatus(QStringLiteral("не в сети"));
        QCOMPARE(view.peopleText(), QStringLiteral("0 чел."));
        view.setTwitterLogin(true, QStringLiteral("demo"));
        QCOMPARE(view.twitterText(), QStringLiteral("@demo"));
        QVERIFY(view.loginButton()->isHidden());
        QVERIFY(!view.logoutButton()->isHidden());
        view.setTwitterLogin(false, {});
        QVERIFY(view.twitterText().isEmpty());
        QVERIFY(!view.loginButton()->isHidden());
        QVERIFY(view.shareButton()->isHidden());
        view.animateDetected();
        QVERIFY(view.isPulsing());
        QTRY_VERIFY(!view.isPulsing());
    }
};

QTEST_MAIN(TestLogoView)
#include "tst_logoview.moc"
