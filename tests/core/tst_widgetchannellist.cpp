#include "core/WidgetChannelList.h"

#include <QTest>

class TestWidgetChannelList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changesToAMissingListAreIgnored()
    {
        WidgetChannelList list;
        list.add(3);
        list.remove(4);
        QVERIFY(!list.applyPending());
        QVERIFY(list.pendingAdditions().empty());
        QVERIFY(list.pendingRemovals().empty());
    }

    void addThenRemoveBeforeSavingCancels()
    {
        WidgetChannelList list;
        list.load({5, 7});
        list.add(9);
        list.remove(9);
        QVERIFY(list.pendingAdditions().empty());
        QVERIFY(list.pendingRemovals().empty());
        QVERIFY(list.applyPending());
        QCOMPARE(list.channels(), (QList<int>{5, 7}));
    }

    void removeThenAddCancels()
    {
        WidgetChannelList list;
        list.load({5, 7});
        list.remove(5);
        list.add(5);
        list.applyPending();
        QCOMPARE(list.channels(), (QList<int>{5, 7}));
    }

    void savingAppliesBothSetsWithoutDuplicates()
    {
        WidgetChannelList list;
        list.load({12, "3", 12.0, 40});
        list.add(1);
        list.add(40); // already there
        list.remove(12);
        list.remove(99); // not there
        QVERIFY(list.applyPending());
        QCOMPARE(list.channels(), (QList<int>{1, 3, 40}));
        QVERIFY(list.pendingAdditions().empty() && list.pendingRemovals().empty());
        QCOMPARE(list.toVariantList(), (QVariantList{1, 3, 40}));
    }
};

QTEST_GUILESS_MAIN(TestWidgetChannelList)
#include "tst_widgetchannellist.moc"
