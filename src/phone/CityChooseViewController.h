#pragma once

#include "model/CityList.h"
#include "platform/Location.h"
#include "ui/TableView.h"
#include "ui/ViewController.h"

#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

struct Error;
class QLabel;
class QToolButton;

// The modal city chooser: the cities the content server knows, sorted by name, the last
// chosen one marked; Done reports the marked city to the application controller, Cancel
// reports none (-1). A new one is made for every presentation.
class CityChooseViewController : public ViewController, public TableView::DataSource
{
    Q_OBJECT

public:
    static constexpr int SpinnerTag = 1000;
    static constexpr int CitiesTimeZone = 100;

    using City = CityList::City;

    CityChooseViewController(int lastId, QObject* parent = nullptr);
    ~CityChooseViewController() override;

    const QList<City>& cities() const { return m_cities; }
    // Index of the marked city in cities(); -1 for none.
    int selectedIndex() const { return m_selected; }
    bool isLoading() const;

    void getCitiesList();
    void onGetCitiesDone(const QVariant& answer);
    void onGetCitiesFailed(const Error& error);
    void selectRow(int row);
    void clickDoneButton();
    void clickCancelButton();
    // Marks the city whose name matches an area name (the location lookup's answer).
    bool selectCityByAreaName(const QString& areaName);
    // The locate button: the device's position, then the city there.
    void getLocation();
    void checkGeocodeWithLocation(const Location::Coordinate& location);
    bool isLocatedCityShown() const { return m_locatedCity; }

    // TableView::DataSource
    int numberOfRowsInSection(int section) const override { return int(m_cities.size()); }
    QWidget* cellForRow(int section, int row) override;
    int heightForRow(int section, int row) const override { return 44; }

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void report(int cityId, const QString& name);
    void showConnectionAlert();
    void scrollToSelected();

    int m_lastSessionId;
    QList<City> m_cities;
    int m_selected = -1;
    QPointer<TableView> m_table;
    QPointer<QLabel> m_spinner;
    QPointer<QToolButton> m_locateBtn;
    std::optional<Location::Coordinate> m_lastLocation;
    bool m_locatedCity = false;
};
