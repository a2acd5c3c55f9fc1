#include "CityChooseViewController.h"

#include "core/AppDelegate.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "ui/AlertView.h"
#include "ui/ScreenView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// A city row: its name centred; a click marks it.
class CityCell : public QLabel
{
public:
    CityCell(const QString& name, bool selected, std::function<void()> tap)
        : QLabel(name), m_tap(std::move(tap))
    {
        setAlignment(Qt::AlignCenter);
        setStyleSheet(selected
                          ? QStringLiteral("background: rgb(153, 178, 140); color: black; font-size: 16px;")
                          : QStringLiteral("background: rgb(232, 232, 232); color: rgb(51, 51, 51);"
                                           " font-size: 16px; border-bottom: 1px solid #d0d0d0;"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (rect().contains(event->position().toPoint()) && m_tap)
            m_tap();
    }

private:
    std::function<void()> m_tap;
};

} // namespace

CityChooseViewController::CityChooseViewController(int lastId, QObject* parent)
    : ViewController(QStringLiteral("CityChooseViewController"), parent), m_lastSessionId(lastId)
{
    setTitle(StringTable::localized("City"));
}

CityChooseViewController::~CityChooseViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void CityChooseViewController::loadView()
{
    m_table = new TableView;
    m_table->setDataSource(this);
    QWidget* view = ScreenView::column(nibName(), {m_table}, QColor(232, 232, 232));
    m_spinner = new QLabel(StringTable::localized("Loading"), view);
    m_spinner->setObjectName(QStringLiteral("spinner"));
    m_spinner->setAlignment(Qt::AlignCenter);
    m_spinner->setStyleSheet(QStringLiteral("color: #6b7085; font-size: 15px;"));
    m_spinner->setGeometry(0, 20, 390, 40);
    m_spinner->hide();
    setView(view);
}

void CityChooseViewController::viewDidLoad()
{
    navigationItem()->setLeftBarButtonItem(
        BarButtonItem::withTitle(StringTable::localized("Cancel"), [this] { clickCancelButton(); }));
    navigationItem()->setRightBarButtonItem(
        BarButtonItem::withTitle(StringTable::localized("Done"), [this] { clickDoneButton(); }));
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::InternetConnectionAvailable, [this](const Notification& notification) {
            if (JsonValue::boolean(notification.userInfo.value(NotificationKeys::IsAvailable)))
                getCitiesList();
            else
                showConnectionAlert();
        });
    getCitiesList();
}

bool CityChooseViewController::isLoading() const
{
    return m_spinner && !m_spinner->isHidden();
}

void CityChooseViewController::getCitiesList()
{
    view();
    m_spinner->show();
    m_spinner->raise();
    ServiceCalls::sharedManager().getCitiesForTimeZone(CitiesTimeZone,
                                                       Reply(this, &CityChooseViewController::onGetCitiesDone,
                                                             &CityChooseViewController::onGetCitiesFailed));
}

void CityChooseViewController::onGetCitiesDone(const QVariant& answer)
{
    m_spinner->hide();
    const std::optional<QList<City>> cities = CityList::citiesFromAnswer(answer);
    if (!cities)
        return;
    m_cities = *cities;
    m_selected = -1;
    for (int i = 0; i < m_cities.size(); ++i) {
        if (m_cities[i].cityId.toInt() == m_lastSessionId)
            m_selected = i;
    }
    m_table->reloadData();
    scrollToSelected();
}

void CityChooseViewController::onGetCitiesFailed(const Error& error)
{
    qInfo("cities: %s", qPrintable(error.localizedDescription()));
    m_spinner->hide();
    showConnectionAlert();
}

void CityChooseViewController::showConnectionAlert()
{
    (new AlertView(StringTable::localized("Connection Error"),
                   StringTable::localized("Cannot connect to Orvane services. Check the connection."),
                   nullptr, {}, StringTable::localized("OK")))
        ->show();
}

void CityChooseViewController::scrollToSelected()
{
    if (m_selected < 0 || !m_table)
        return;
    if (QWidget* cell = m_table->cellForRowAt(0, m_selected))
        m_table->ensureWidgetVisible(cell, 0, m_table->viewport()->height() / 2);
}

QWidget* CityChooseViewController::cellForRow(int, int row)
{
    return new CityCell(m_cities.value(row).name(), row == m_selected, [this, row] { selectRow(row); });
}

void CityChooseViewController::selectRow(int row)
{
    if (row < 0 || row >= m_cities.size() || row == m_selected)
        return;
    m_selected = row;
    m_table->reloadData();
}

bool CityChooseViewController::selectCityByAreaName(const QString& areaName)
{
    const int index = CityList::searchCityByName(m_cities, areaName);
    if (index < 0)
        return false;
    m_selected = index;
    m_table->reloadData();
    scrollToSelected();
    return true;
}

void CityChooseViewController::clickDoneButton()
{
    if (m_selected >= 0 && m_selected < m_cities.size())
        report(m_cities[m_selected].cityId.toInt(), m_cities[m_selected].name());
    else
        report(-1, StringTable::localized("Not select"));
}

void CityChooseViewController::clickCancelButton()
{
    report(-1, StringTable::localized("Not select"));
}

void CityChooseViewController::report(int cityId, const QString& name)
{
    if (AppDelegate* app = AppDelegate::shared())
        app->cityHasChoosed(cityId, name);
}
