#pragma once

#include "core/SettingsActions.h"

#include "platform/Battery.h"
#include "ui/ActivityOverlay.h"
#include "ui/TableView.h"
#include "ui/ViewController.h"
#include "widgets/TwitterDelegate.h"

#include <QPointer>

class AlertView;
class QLabel;

// The fifth tab: clearing the viewing history, automatic identification, keep-awake, about,
// the user's city, the calendar clean-ups and the Twitter connection, as a grouped list.
class SHKTwitter;

class SettingsViewController : public ViewController, public TableView::DataSource, public TwitterDelegate
{
    Q_OBJECT

public:
    enum Section
    {
        General,
        Location,
        Calendar,
        Social
    };
    static constexpr int LowBatteryAlertTag = -20;
    static constexpr int PastEventsClearedTag = SettingsActions::PastEventsClearedTag;
    static constexpr int ClearAllQuestionTag = SettingsActions::ClearAllQuestionTag;
    static constexpr int PastEventsRefusedTag = SettingsActions::PastEventsRefusedTag;
    static constexpr int AllEventsRefusedTag = SettingsActions::AllEventsRefusedTag;
    static constexpr double LowBatteryLevel = 0.2;

    // Whether turning keep-awake on asks first: on the battery (or full) with less than 20 %.
    static bool asksBeforeKeepingAwake(Battery::State state, double level);

    // Process-wide and not stored: keep the screen awake.
    static int dontSleepEnabled();

    explicit SettingsViewController(QObject* parent = nullptr);
    ~SettingsViewController() override;

    // What a row shows: its title, its detail text, and whether it carries a check mark.
    QString rowTitle(int section, int row) const;
    QString rowDetail(int section, int row) const;
    bool rowChecked(int section, int row) const;
    QString sectionTitle(int section) const;
    bool isTwitterAuthorized() const;
    SHKTwitter* twitter() const { return m_twitter; }
    ActivityOverlay* overlay() const { return m_overlay; }

    void didSelectRow(int section, int row);
    void clearHistory();
    void switchAutoUpdate();
    void switchDontSleep();
    void setDontSleep(bool on);
    void showAbout();
    void clearPastEvents();
    void clearAllEvents();
    void twitterRow();
    void updateMeNotify();
    void updateFollowButton();

    // TwitterDelegate: the signed-in user's details are kept for the profile screen.
    void verifyCredentialsDidFinish(const QVariant& user) override;
    void verifyCredentialsDidFailWithError(const Error& error) override;

    // TableView::DataSource
    int numberOfSections() const override { return 4; }
    int numberOfRowsInSection(int section) const override;
    QWidget* cellForRow(int section, int row) override;
    int heightForRow(int section, int row) const override { return 44; }
    QWidget* viewForHeaderInSection(int section) override;
    QWidget* viewForFooterInSection(int section) override;
    // The follow button under the social section: usable only while Twitter is connected.
    bool isFollowUsEnabled() const;
    int heightForHeaderInSection(int section) const override { return 36; }

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    QPointer<TableView> m_table;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<QWidget> m_buttonFollowUs;
    SHKTwitter* m_twitter;
};
