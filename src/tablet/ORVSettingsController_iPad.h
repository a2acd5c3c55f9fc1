#pragma once

#include "ORVViewController_iPad.h"
#include "PopoverChannSelector_iPad.h"

#include "widgets/Popover.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPointer>
#include <QVariantMap>

#include <functional>

class QVBoxLayout;

// The tablet's settings: the history, the caches, automatic identification and the product's
// version; the city; calendar clean-ups; the order of priority of the now board's sources
// (reordered after a switch, announced with "priority_notic" when the switch goes off after a
// change); the channels of the root pane's strip; and the Twitter account.
class ORVSettingsController_iPad : public ORVViewController_iPad, public PopoverChannSelectorDelegate
{
    Q_OBJECT

public:
    enum Section
    {
        General = 0,
        Location = 1,
        Calendar = 2,
        Priority = 3,
        Widget = 4,
        Social = 5
    };
    static constexpr int SectionCount = 6;

    explicit ORVSettingsController_iPad(QObject* parent = nullptr);
    ~ORVSettingsController_iPad() override;

    QString headerText(int section) const;
    QStringList rowTitles(int section) const;
    QString rowDetail(int section, int row) const;
    bool rowChecked(int section, int row) const;
    void tapRow(int section, int row);

    // The priority keys in their order (rank 0 first).
    static QStringList priorityOrder(const QVariantMap& priorities);
    // Moves the row at from to to within the priority order, renumbering the others.
    static void movePriority(QVariantMap& priorities, int from, int to);
    void setReordering(bool on);
    bool isReordering() const;
    bool isChangedPriority() const { return m_isChangedPriority; }
    // A row of the priority section dragged from one place to another.
    void movePriorityRow(int from, int to);
    PopoverChannSelector_iPad* widgetSelector() const;
    QListWidget* priorityList() const { return m_priorityList; }

    // PopoverChannSelectorDelegate
    void popoverChannSelectorDidFinish(PopoverChannSelector_iPad* selector, bool done) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    struct Row
    {
        QString title;
        std::function<QString()> detail;
        std::function<bool()> checked;
        std::function<void()> action;
    };

    QList<Row> rows(int section) const;
    void rebuild();
    void fillPriorityList();
    bool requireConnection();
    void openWidgetSelector();
    void closeWidgetSelector(bool done);

    bool m_isChangedPriority = false;
    QPointer<QWidget> m_content;
    QPointer<QVBoxLayout> m_sections;
    QPointer<QListWidget> m_priorityList;
    QPointer<QCheckBox> m_reorderSwitch;
    QPointer<Popover> m_widgetPopover;
};
