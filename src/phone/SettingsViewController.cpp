#include "SettingsViewController.h"

#include "core/AppDelegate.h"
#include "core/SettingsActions.h"
#include "fingerprint/SearchCalls.h"
#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/PreferenceKeys.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/ScreenSleep.h"
#include "platform/StringTable.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"
#include "ui/TapFilter.h"
#include "widgets/SHKTwitter.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <atomic>

namespace {

std::atomic<int> g_dontSleepEnabled{0};

AppDelegate* app()
{
    return AppDelegate::shared();
}

// A value-style row: picture, title on the left, detail or check mark on the right; a click
// anywhere on it is the row's tap.
QWidget* valueCell(std::function<void()> tap, QHBoxLayout** layout)
{
    auto* cell = new QWidget;
    cell->setAutoFillBackground(true);
    QPalette palette = cell->palette();
    palette.setColor(QPalette::Window, Qt::white);
    cell->setPalette(palette);
    *layout = new QHBoxLayout(cell);
    (*layout)->setContentsMargins(14, 0, 14, 0);
    TapFilter::install(cell, std::move(tap));
    return cell;
}

} // namespace

int SettingsViewController::dontSleepEnabled()
{
    return g_dontSleepEnabled.load();
}

bool SettingsViewController::asksBeforeKeepingAwake(Battery::State state, double level)
{
    return (state == Battery::State::Unplugged || state == Battery::State::Full) && level >= 0 &&
           level < LowBatteryLevel;
}

SettingsViewController::SettingsViewController(QObject* parent)
    : ViewController(QStringLiteral("SettingsViewController_iPhone"), parent), m_twitter(new SHKTwitter(this))
{
    m_twitter->setDelegate(this);
    setTitle(StringTable::localized("Settings"));
    tabBarItem().title = title();
    tabBarItem().imageName = QStringLiteral("settings_tab");
}

SettingsViewController::~SettingsViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void SettingsViewController::loadView()
{
    m_table = new TableView;
    m_table->setDataSource(this);
    QWidget* view = ScreenView::column(nibName(), {m_table}, QColor(0xee, 0xf0, 0xf5));
    m_table->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: #eef0f5; }"));
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void SettingsViewController::viewDidLoad()
{
    NotificationCenter::defaultCenter().observeOnMain(this, Notifications::UpdateCityChanging,
                                                      [this](const Notification&) { updateMeNotify(); });
    m_table->reloadData();
    if (isTwitterAuthorized())
        m_twitter->verifyCredentials();
}

bool SettingsViewController::isTwitterAuthorized() const
{
    return SHKTwitter::isAuthorized();
}

void SettingsViewController::updateFollowButton()
{
    if (m_buttonFollowUs)
        m_buttonFollowUs->setEnabled(isTwitterAuthorized());
}

void SettingsViewController::verifyCredentialsDidFinish(const QVariant& answer)
{
    const QVariantMap user = JsonValue::map(answer);
    if (!user.contains(QStringLiteral("id_str")))
        return;
    Preferences& preferences = Preferences::standard();
    preferences.setValue(
        PreferenceKeys::TwitterUserInfo,
        QVariantMap{{QStringLiteral("userId"), user.value(QStringLiteral("id_str"))},
                    {QStringLiteral("profileImageUrl"), user.value(QStringLiteral("profile_image_url"))},
                    {QStringLiteral("screenName"), user.value(QStringLiteral("screen_name"))},
                    {QStringLiteral("name"), user.value(QStringLiteral("name"))}});
    preferences.setValue(PreferenceKeys::TwitterUserId, user.value(QStringLiteral("id_str")));
    NotificationCenter::defaultCenter().post(Notifications::CredentialsVerified);
}

void SettingsViewController::verifyCredentialsDidFailWithError(const Error& error)
{
    qInfo().noquote() << "Twitter credentials not verified:" << error.localizedDescription(); // only logged
}

void SettingsViewController::viewDidAppear(bool)
{
    // The sign-in's progress matters only while the list is on screen.
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::OAuthStartAuthorizing, [this](const Notification&) {
        m_overlay->displayActivity(StringTable::localized("Connecting"));
    });
    // A completed step shows its word for a moment, as the sharing library's indicator does.
    const auto completed = [this](const char* key) {
        m_overlay->displayActivity(StringTable::localized(key));
        QTimer::singleShot(1500, m_overlay, [overlay = m_overlay] { overlay->hide(); });
    };
    center.observeOnMain(this, Notifications::OAuthAccessTokenSaved, [this, completed](const Notification&) {
        completed("Connected!");
        m_table->reloadData();
        updateFollowButton();
        m_twitter->verifyCredentials();
    });
    center.observeOnMain(this, Notifications::OAuthAccessTokenFailed, [this](const Notification&) {
        m_overlay->hide();
        m_table->reloadData();
        updateFollowButton();
    });
    center.observeOnMain(this, Notifications::OAuthAccessTokenDeleted,
                         [this, completed](const Notification&) {
                             completed("Disconnected!");
                             m_table->reloadData();
                             updateFollowButton();
                             Preferences::standard().remove(SHKTwitter::sharerId());
                         });
}

void SettingsViewController::viewDidDisappear(bool)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (NotificationName name :
         {Notifications::OAuthStartAuthorizing, Notifications::OAuthAccessTokenSaved,
          Notifications::OAuthAccessTokenFailed, Notifications::OAuthAccessTokenDeleted})
        center.removeObserver(this, name);
}

void SettingsViewController::updateMeNotify()
{
    if (m_table)
        m_table->reloadData();
}

int SettingsViewController::numberOfRowsInSection(int section) const
{
    switch (section) {
    case General:
        return 4;
    case Location:
        return 1;
    case Calendar:
        return 2;
    case Social:
        return 1;
    }
    return 0;
}

QString SettingsViewController::sectionTitle(int section) const
{
    static const char* const titles[] = {"General", "Location", "Calendar", "Social Networking"};
    return section >= 0 && section < 4 ? StringTable::localized(titles[section]) : QString();
}

QString SettingsViewController::rowTitle(int section, int row) const
{
    switch (section * 10 + row) {
    case 0:
        return StringTable::localized("Clear History");
    case 1:
        return StringTable::localized("Autoupdate");
    case 2:
        return StringTable::localized("Dont Sleep mode");
    case 3:
        return StringTable::localized("About");
    case 10:
        return StringTable::localized("My city");
    case 20:
        return StringTable::localized("Clear past events");
    case 21:
        return StringTable::localized("Clear all events");
    case 30:
        return QStringLiteral("Twitter");
    }
    return {};
}

QString SettingsViewController::rowDetail(int section, int row) const
{
    if (section == Location && row == 0)
        return app() ? app()->userCityName() : QString();
    if (section == Social && row == 0)
        return StringTable::localized(isTwitterAuthorized() ? "Connected" : "Disconnected");
    return {};
}

bool SettingsViewController::rowChecked(int section, int row) const
{
    if (section != General)
        return false;
    if (row == 1)
        return SearchCalls::autoUpdateEnabled.load() == 1;
    if (row == 2)
        return g_dontSleepEnabled.load() == 1;
    return false;
}

QWidget* SettingsViewController::viewForHeaderInSection(int section)
{
    auto* label = new QLabel(sectionTitle(section).toUpper());
    label->setContentsMargins(16, 12, 16, 4);
    label->setStyleSheet(QStringLiteral("color: #6b7085; font-size: 12px;"));
    return label;
}

QWidget* SettingsViewController::viewForFooterInSection(int section)
{
    if (section != Social)
        return nullptr;
    auto* viewFollowUs = new QWidget;
    auto* layout = new QHBoxLayout(viewFollowUs);
    layout->setContentsMargins(16, 10, 16, 10);
    auto* button = new QToolButton;
    button->setText(StringTable::localized("Follow us"));
    button->setEnabled(isTwitterAuthorized());
    m_buttonFollowUs = button;
    layout->addWidget(button);
    layout->addStretch(1);
    return viewFollowUs;
}

bool SettingsViewController::isFollowUsEnabled() const
{
    return m_buttonFollowUs && m_buttonFollowUs->isEnabled();
}

QWidget* SettingsViewController::cellForRow(int section, int row)
{
    QHBoxLayout* layout = nullptr;
    QWidget* cell = valueCell([this, section, row] { didSelectRow(section, row); }, &layout);
    if (section == Social) {
        auto* icon = new QLabel;
        icon->setPixmap(Images::named(QStringLiteral("tw_icon.png")));
        layout->addWidget(icon);
    }
    auto* title = new QLabel(rowTitle(section, row));
    title->setStyleSheet(QStringLiteral("font-size: 16px; color: #20222e;"));
    layout->addWidget(title, 1);
    if (section == General && row == 3) {
        auto* about = new QToolButton;
        about->setAutoRaise(true);
        about->setIcon(Images::named(QStringLiteral("quest")));
        about->setIconSize(QSize(25, 25));
        connect(about, &QToolButton::clicked, this, [this] { showAbout(); });
        layout->addWidget(about);
    } else if (rowChecked(section, row)) {
        auto* check = new QLabel(QStringLiteral("✓"));
        check->setStyleSheet(QStringLiteral("font-size: 18px; color: #5b66ab;"));
        layout->addWidget(check);
    } else if (!rowDetail(section, row).isEmpty()) {
        auto* detail = new QLabel(rowDetail(section, row));
        detail->setStyleSheet(QStringLiteral("font-size: 15px; color: #6b7085;"));
        layout->addWidget(detail);
    }
    return cell;
}

void SettingsViewController::didSelectRow(int section, int row)
{
    switch (section * 10 + row) {
    case 0:
        clearHistory();
        break;
    case 1:
        switchAutoUpdate();
        break;
    case 2:
        switchDontSleep();
        break;
    case 3:
        showAbout();
        break;
    case 10:
        if (app())
            app()->showCitySelector();
        break;
    case 20:
        clearPastEvents();
        break;
    case 21:
        clearAllEvents();
        break;
    case 30:
        twitterRow();
        break;
    }
}

void SettingsViewController::clearHistory()
{
    SettingsActions::clearHistory(this);
}

void SettingsViewController::switchAutoUpdate()
{
    SearchCalls::autoUpdateEnabled = SearchCalls::autoUpdateEnabled.load() == 1 ? 0 : 1;
    m_table->reloadData();
}

void SettingsViewController::switchDontSleep()
{
    if (g_dontSleepEnabled.load() == 1) {
        ScreenSleep::shared().setIdleTimerDisabled(true);
        setDontSleep(false);
        return;
    }
    const Battery::Reading battery = Battery::read();
    if (!asksBeforeKeepingAwake(battery.state, battery.level)) {
        setDontSleep(true);
        return;
    }
    auto* question = new AlertView(StringTable::localized("Warning"),
                                   StringTable::localized("Low battery. Turn on non sleep mode?"), this,
                                   [this](AlertView*, int index) {
                                       if (index == 1)
                                           setDontSleep(true);
                                   },
                                   StringTable::localized("Cancel"), {StringTable::localized("Yes")});
    question->setTag(LowBatteryAlertTag);
    question->show();
}

void SettingsViewController::setDontSleep(bool on)
{
    g_dontSleepEnabled = on ? 1 : 0;
    ScreenSleep::shared().setIdleTimerDisabled(on);
    if (m_table)
        m_table->reloadData();
}

void SettingsViewController::showAbout()
{
    SettingsActions::showAbout();
}

void SettingsViewController::clearPastEvents()
{
    SettingsActions::clearPastEvents(this);
}

void SettingsViewController::clearAllEvents()
{
    SettingsActions::clearAllEvents(this);
}

void SettingsViewController::twitterRow()
{
    if (!isTwitterAuthorized()) {
        SHKTwitter::authorize(); // progress arrives as the OAuth notifications
        return;
    }
    SHKTwitter::logout();
    Preferences::standard().remove(PreferenceKeys::TwitterUserInfo);
    Preferences::standard().remove(PreferenceKeys::TwitterUserId);
    NotificationCenter::defaultCenter().post(Notifications::CredentialsVerified);
}
