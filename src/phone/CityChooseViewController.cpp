#include "CityChooseViewController.h"

#include "core/AppDelegate.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"
#include "ui/TapFilter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace {

// A city row: its name centred; a click marks it.
QLabel* cityCell(const QString& name, bool selected, std::function<void()> tap)
{
    auto* cell = new QLabel(name);
    cell->setAlignment(Qt::AlignCenter);
    cell->setStyleSheet(selected
                            ? QStringLiteral("background: rgb(153, 178, 140); color: black; font-size: 16px;")
                            : QStringLiteral("background: rgb(232, 232, 232); color: rgb(51, 51, 51);"
                                             " font-size: 16px; border-bottom: 1px solid #d0d0d0;"));
    TapFilter::install(cell, std::move(tap));
    return cell;
}

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
    auto* locateBar = new QWidget;
    auto* locateLayout = new QHBoxLayout(locateBar);
    locateLayout->setContentsMargins(10, 6, 10, 6);
    m_locateBtn = new QToolButton(locateBar);
    m_locateBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_locateBtn->setIcon(Images::named(QStringLiteral("location_icon.png")));
    m_locateBtn->setIconSize(QSize(22, 22));
    m_locateBtn->setText(StringTable::localized("Find my city"));
    m_locateBtn->setAutoRaise(true);
    locateLayout->addWidget(m_locateBtn);
    locateLayout->addStretch(1);
    QWidget* view = ScreenView::column(nibName(), {locateBar, m_table}, QColor(232, 232, 232));
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
    connect(m_locateBtn, &QToolButton::clicked, this, &CityChooseViewController::getLocation);
    getCitiesList();
}

void CityChooseViewController::getLocation()
{
    Location& location = Location::shared();
    switch (location.availability()) {
    case Location::Availability::ServicesOff:
        (new AlertView(QStringLiteral("Внимание"),
                       QStringLiteral("Службы геолокации не активны. Активировать службы можно в настройках "
                                      "вашего устройства."),
                       nullptr, {}, QStringLiteral("OK")))
            ->show();
        return;
    case Location::Availability::Denied:
        (new AlertView(
             QStringLiteral("Нет доступа"),
             QStringLiteral("Службы геолокации не доступны. Разрешить доступ к службам можно в настройках "
                            "вашего устройства."),
             nullptr, {}, QStringLiteral("OK")))
            ->show();
        return;
    case Location::Availability::Available:
        break;
    }
    const std::optional<Location::Coordinate> known = location.lastKnown();
    if (known && known->latitude != 0 && known->longitude != 0) {
        if (m_lastLocation && *m_lastLocation == *known)
            return; // the very place looked up last time
        m_lastLocation = known;
        checkGeocodeWithLocation(*known);
        return;
    }
    location.requestLocation(
        this,
        [this](const Location::Coordinate& found) {
            m_lastLocation = found;
            checkGeocodeWithLocation(found);
        },
        [](const QString& why) { qInfo("location: %s", qPrintable(why)); });
}

void CityChooseViewController::checkGeocodeWithLocation(const Location::Coordinate& location)
{
    // The place's area is the content server's nearest city, when one is close enough.
    const QString area = CityList::nearestCityName(m_cities, location.latitude, location.longitude);
    if (area.isEmpty()) {
        qInfo("location: no city of the list near %f, %f", location.latitude, location.longitude);
        return;
    }
    if (selectCityByAreaName(area)) {
        m_locatedCity = true;
        m_locateBtn->setIcon(Images::named(QStringLiteral("location_icon_selected.png")));
    }
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
    return cityCell(m_cities.value(row).name(), row == m_selected, [this, row] { selectRow(row); });
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
