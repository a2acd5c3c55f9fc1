#include "ORVSettingsController_iPad.h"

#include "core/AppDelegate.h"
#include "core/SettingsActions.h"
#include "fingerprint/SearchCalls.h"
#include "model/PreferenceKeys.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "social/ORVTwitterService.h"
#include "ui/Images.h"
#include "ui/TapFilter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

struct PriorityName
{
    QString key;
    const char* title;
};

const PriorityName PriorityNames[] = {{PreferenceKeys::NowFavorPriority, "Избранные"},
                                      {PreferenceKeys::NowWatchedPriority, "Просмотренные ранее"},
                                      {PreferenceKeys::NowRatingPriority, "Рейтинг Orvane"}};

QString priorityTitle(const QString& key)
{
    for (const PriorityName& name : PriorityNames) {
        if (name.key == key)
            return QString::fromUtf8(name.title);
    }
    return key;
}

} // namespace

ORVSettingsController_iPad::ORVSettingsController_iPad(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ORVSettingsController_iPad"), parent)
{
    setTitleString(StringTable::localized("Settings"));
}

ORVSettingsController_iPad::~ORVSettingsController_iPad()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_widgetPopover)
        m_widgetPopover->deleteLater();
}

QString ORVSettingsController_iPad::headerText(int section) const
{
    switch (section) {
    case General:
        return StringTable::localized("General");
    case Location:
        return StringTable::localized("Location");
    case Calendar:
        return StringTable::localized("Calendar");
    case Priority:
        return QStringLiteral("Приоритет каналов в разделе \"Сейчас\"");
    case Widget:
        return QStringLiteral("Виджет");
    case Social:
        return StringTable::localized("Social Networking");
    default:
        return {};
    }
}

QStringList ORVSettingsController_iPad::priorityOrder(const QVariantMap& priorities)
{
    QStringList keys;
    for (const PriorityName& name : PriorityNames)
        keys << name.key;
    std::stable_sort(keys.begin(), keys.end(), [&priorities](const QString& a, const QString& b) {
        return priorities.value(a).toInt() < priorities.value(b).toInt();
    });
    return keys;
}

void ORVSettingsController_iPad::movePriority(QVariantMap& priorities, int from, int to)
{
    if (from == to)
        return;
    QString moved;
    for (auto it = priorities.begin(); it != priorities.end(); ++it) {
        if (it.value().toInt() == from && moved.isEmpty())
            moved = it.key();
    }
    for (auto it = priorities.begin(); it != priorities.end(); ++it) {
        const int value = it.value().toInt();
        if (it.key() == moved)
            continue;
        if (from < value && value <= to)
            it.value() = value - 1;
        else if (to <= value && value < from)
            it.value() = value + 1;
    }
    if (!moved.isEmpty())
        priorities[moved] = to;
}

QList<ORVSettingsController_iPad::Row> ORVSettingsController_iPad::rows(int section) const
{
    auto* self = const_cast<ORVSettingsController_iPad*>(this);
    switch (section) {
    case General:
        return {{StringTable::localized("Clear History"),
                 {},
                 {},
                 [self] { SettingsActions::clearHistory(self); }},
                {QStringLiteral("Очистить кэш"), {}, {}, [] { SettingsActions::clearCaches(); }},
                {StringTable::localized("Autoupdate"),
                 {},
                 [] { return SearchCalls::autoUpdateEnabled.load() == 1; },
                 [self] {
                     // Not saved: the switch lasts as long as the process.
                     SearchCalls::autoUpdateEnabled = SearchCalls::autoUpdateEnabled.load() == 1 ? 0 : 1;
                     self->rebuild();
                 }},
                {StringTable::localized("About"), {}, {}, [] { SettingsActions::showAbout(); }}};
    case Location:
        return {{StringTable::localized("My city"),
                 [] { return app() ? app()->userCityName() : QString(); },
                 {},
                 [self] {
                     if (self->requireConnection() && app())
                         app()->showCitySelector();
                 }}};
    case Calendar:
        return {{StringTable::localized("Clear past events"),
                 {},
                 {},
                 [self] { SettingsActions::clearPastEvents(self); }},
                {StringTable::localized("Clear all events"), {}, {}, [self] {
                     SettingsActions::clearAllEvents(self);
                 }}};
    case Priority: {
        QList<Row> list;
        for (const QString& key : priorityOrder(app() ? app()->nowPriorityDict() : QVariantMap()))
            list.append({priorityTitle(key), {}, {}, {}});
        return list;
    }
    case Widget:
        return {{QStringLiteral("Выбрать каналы"),
                 [] {
                     return Printf::format(QStringLiteral("%d шт."),
                                           {app() ? int(app()->widgetChannels().size()) : 0});
                 },
                 {},
                 [self] {
                     if (self->requireConnection())
                         self->openWidgetSelector();
                 }}};
    case Social:
        return {{QStringLiteral("Twitter"),
                 [] {
                     return ORVTwitterService::checkTwAcc()
                                ? Printf::format(QStringLiteral("@%@"),
                                                 {ORVTwitterService::sharedManager().twitterAccName()})
                                : QStringLiteral("не авторизован");
                 },
                 {},
                 [self] {
                     ORVTwitterService& service = ORVTwitterService::sharedManager();
                     if (ORVTwitterService::checkTwAcc()) {
                         service.twLogout();
                         return;
                     }
                     QWidget* row = self->m_content
                                        ? self->m_content->findChild<QWidget*>(QStringLiteral("twitterRow"))
                                        : nullptr;
                     service.showPopoverAccsSelectorFromRect(row ? row->rect() : QRect(),
                                                             row ? row : self->view(), self->view());
                 }}};
    default:
        return {};
    }
}

QStringList ORVSettingsController_iPad::rowTitles(int section) const
{
    QStringList titles;
    for (const Row& row : rows(section))
        titles << row.title;
    return titles;
}

QString ORVSettingsController_iPad::rowDetail(int section, int row) const
{
    const QList<Row> list = rows(section);
    return row >= 0 && row < list.size() && list[row].detail ? list[row].detail() : QString();
}

bool ORVSettingsController_iPad::rowChecked(int section, int row) const
{
    const QList<Row> list = rows(section);
    return row >= 0 && row < list.size() && list[row].checked && list[row].checked();
}

void ORVSettingsController_iPad::tapRow(int section, int row)
{
    const QList<Row> list = rows(section);
    if (row >= 0 && row < list.size() && list[row].action)
        list[row].action();
}

bool ORVSettingsController_iPad::requireConnection()
{
    if (app() && app()->isConnectionAvailable())
        return true;
    SettingsActions::alert(QStringLiteral("Нет подключения"),
                           QStringLiteral("Эта функция работает только при активном интернет соединении."));
    return false;
}

// Priorities -----------------------------------------------------------------------------------------

void ORVSettingsController_iPad::setReordering(bool on)
{
    if (m_priorityList)
        m_priorityList->setDragDropMode(on ? QAbstractItemView::InternalMove : QAbstractItemView::NoDragDrop);
    if (m_reorderSwitch && m_reorderSwitch->isChecked() != on) {
        const QSignalBlocker quiet(m_reorderSwitch);
        m_reorderSwitch->setChecked(on);
    }
    if (on) {
        m_isChangedPriority = false;
        return;
    }
    if (m_isChangedPriority) {
        m_isChangedPriority = false;
        NotificationCenter::defaultCenter().post(Notifications::PriorityChanged);
    }
}

bool ORVSettingsController_iPad::isReordering() const
{
    return m_priorityList && m_priorityList->dragDropMode() == QAbstractItemView::InternalMove;
}

void ORVSettingsController_iPad::movePriorityRow(int from, int to)
{
    if (!app() || from == to)
        return;
    // A drop beyond the rows lands at the first or the last one.
    to = std::clamp(to, 0, 2);
    movePriority(app()->nowPriorityDict(), from, to);
    m_isChangedPriority = true;
    fillPriorityList();
}

void ORVSettingsController_iPad::fillPriorityList()
{
    if (!m_priorityList)
        return;
    const QSignalBlocker quiet(m_priorityList->model());
    m_priorityList->clear();
    for (const QString& key : priorityOrder(app() ? app()->nowPriorityDict() : QVariantMap())) {
        auto* item = new QListWidgetItem(priorityTitle(key));
        item->setData(Qt::UserRole, key);
        item->setSizeHint(QSize(0, 44));
        m_priorityList->addItem(item);
    }
}

// Widget channels ---------------------------------------------------------------------------------

void ORVSettingsController_iPad::openWidgetSelector()
{
    if (m_widgetPopover)
        return;
    auto* selector = new PopoverChannSelector_iPad(this);
    m_widgetPopover = new Popover(selector);
    // Dismissed by a tap outside: as if cancelled.
    connect(m_widgetPopover, &Popover::dismissed, this, [this] {
        if (m_widgetPopover)
            closeWidgetSelector(false);
    });
    QWidget* anchor = m_content ? m_content->findChild<QWidget*>(QStringLiteral("widgetRow")) : nullptr;
    m_widgetPopover->presentPopoverFromRect(anchor ? anchor->rect() : QRect(), anchor ? anchor : view(),
                                            Popover::ArrowAny, true);
}

PopoverChannSelector_iPad* ORVSettingsController_iPad::widgetSelector() const
{
    return m_widgetPopover ? qobject_cast<PopoverChannSelector_iPad*>(m_widgetPopover->content()) : nullptr;
}

void ORVSettingsController_iPad::popoverChannSelectorDidFinish(PopoverChannSelector_iPad*, bool done)
{
    closeWidgetSelector(done);
}

void ORVSettingsController_iPad::closeWidgetSelector(bool done)
{
    if (app()) {
        if (done)
            app()->saveWidgetChannels();
        // A cancelled choice is dropped: the saved channels come back.
        app()->resetWidgetChannels();
    }
    QPointer<Popover> popover = m_widgetPopover;
    m_widgetPopover = nullptr;
    if (popover) {
        popover->dismissPopoverAnimated(false);
        popover->deleteLater();
    }
    rebuild();
}

// View ------------------------------------------------------------------------------------------------

void ORVSettingsController_iPad::loadView()
{
    auto* scroll = new QScrollArea;
    scroll->setObjectName(nibName());
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_content = new QWidget;
    m_content->setAutoFillBackground(true);
    QPalette palette = m_content->palette();
    palette.setColor(QPalette::Window, QColor(0xee, 0xf1, 0xf7));
    m_content->setPalette(palette);
    m_sections = new QVBoxLayout(m_content);
    m_sections->setContentsMargins(40, 20, 40, 20);
    m_sections->setSpacing(6);
    scroll->setWidget(m_content);
    setView(scroll);
}

void ORVSettingsController_iPad::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (const NotificationName& name :
         {Notifications::TwitterLogin, Notifications::TwitterLogout, Notifications::UpdateCityChanging})
        center.observeOnMain(this, name, [this](const Notification&) { rebuild(); });
    rebuild();
}

void ORVSettingsController_iPad::rebuild()
{
    if (!m_sections)
        return;
    while (QLayoutItem* item = m_sections->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (int section = 0; section < SectionCount; ++section) {
        auto* headerRow = new QWidget;
        auto* header = new QHBoxLayout(headerRow);
        header->setContentsMargins(6, 14, 6, 2);
        auto* title = new QLabel(headerText(section));
        title->setStyleSheet(QStringLiteral("color: #5a5e6c; font-size: 14px; font-weight: bold;"));
        header->addWidget(title, 1);
        if (section == Priority) {
            m_reorderSwitch = new QCheckBox(StringTable::localized("Edit"));
            m_reorderSwitch->setObjectName(QStringLiteral("reorderSwitch"));
            m_reorderSwitch->setChecked(isReordering());
            connect(m_reorderSwitch, &QCheckBox::toggled, this, &ORVSettingsController_iPad::setReordering);
            header->addWidget(m_reorderSwitch);
        }
        m_sections->addWidget(headerRow);
        if (section == Priority) {
            const bool reordering = isReordering();
            m_priorityList = new QListWidget;
            m_priorityList->setObjectName(QStringLiteral("priorityList"));
            m_priorityList->setFixedHeight(3 * 44 + 4);
            m_priorityList->setDragDropMode(reordering ? QAbstractItemView::InternalMove
                                                       : QAbstractItemView::NoDragDrop);
            fillPriorityList();
            connect(m_priorityList->model(), &QAbstractItemModel::rowsMoved, this,
                    [this](const QModelIndex&, int start, int, const QModelIndex&, int row) {
                        // Qt names the row before which it was dropped.
                        QTimer::singleShot(0, this, [this, start, row] {
                            movePriorityRow(start, row > start ? row - 1 : row);
                        });
                    });
            m_sections->addWidget(m_priorityList);
            continue;
        }
        const QList<Row> list = rows(section);
        for (int index = 0; index < list.size(); ++index) {
            auto* cell = new QWidget;
            cell->setObjectName(section == Widget   ? QStringLiteral("widgetRow")
                                : section == Social ? QStringLiteral("twitterRow")
                                                    : QStringLiteral("settingsRow"));
            cell->setAutoFillBackground(true);
            QPalette white = cell->palette();
            white.setColor(QPalette::Window, Qt::white);
            cell->setPalette(white);
            cell->setMinimumHeight(44);
            auto* line = new QHBoxLayout(cell);
            line->setContentsMargins(14, 0, 14, 0);
            if (section == Social) {
                auto* icon = new QLabel;
                icon->setPixmap(Images::named(QStringLiteral("tw_icon.png"))
                                    .scaled(30, 30, Qt::KeepAspectRatio, Qt::SmoothTransformation));
                line->addWidget(icon);
            }
            line->addWidget(new QLabel(list[index].title), 1);
            if (list[index].detail) {
                auto* detail = new QLabel(list[index].detail());
                detail->setStyleSheet(QStringLiteral("color: #5a5e6c; font-size: 16px;"));
                line->addWidget(detail);
            }
            if (list[index].checked && list[index].checked())
                line->addWidget(new QLabel(QStringLiteral("✓")));
            const int row = index;
            TapFilter::install(cell, [this, section, row] { tapRow(section, row); });
            m_sections->addWidget(cell);
        }
    }
    m_sections->addStretch(1);
}
