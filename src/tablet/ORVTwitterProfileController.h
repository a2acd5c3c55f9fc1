#pragma once

#include "social/ORVTwitterDelegate.h"
#include "social/Tweet.h"

#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVariantMap>

class PaintedImages;

// A Twitter user's profile: picture, name, "@name", description, location and link, the
// counts, follow or unfollow, a direct message, and the user's 20 latest tweets (a tap opens
// their details).
class ORVTwitterProfileController : public ViewController,
                                    public ListTableSource,
                                    public ListTable::Delegate,
                                    public ORVTwitterDelegate
{
    Q_OBJECT

public:
    static inline const QString HeadReuseIdentifier = QStringLiteral("tw_head_profile_cell");
    static inline const QString ReuseIdentifier = QStringLiteral("tw-profile-cell");

    // profileData: Twitter's user object.
    explicit ORVTwitterProfileController(const QVariantMap& profileData, QObject* parent = nullptr);

    const QVariantMap& profileData() const { return m_profileData; }
    const QList<Tweet>& tweeets() const { return m_tweeets; }
    QPushButton* readBtn() const { return m_readBtn; }
    QPushButton* messageBtn() const { return m_messageBtn; }
    QLabel* friendsLabel() const { return m_friends; }
    QLabel* followersLabel() const { return m_followers; }
    QLabel* statusesLabel() const { return m_statuses; }
    ListTable* table() const { return m_table; }
    bool isLoading() const { return m_loading; }

    void followTouched();
    void directMessageTouched();

    int numberOfRowsInSection(int) const override { return int(m_tweeets.size()); }
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    void didSelectRowAtIndexPath(const IndexPath& path) override;

    // A details panel or the composer pushed from here is done: back to this screen.
    void twitterDidFinish() override;
    void twitterDidFinishWithOp(int op) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    QString userId() const;
    void showProfile();
    void loadTimeline();

    QVariantMap m_profileData;
    QList<Tweet> m_tweeets;
    QString m_openedTweetId;
    bool m_loading = false;
    QPointer<QPushButton> m_readBtn;
    QPointer<QPushButton> m_messageBtn;
    QPointer<QLabel> m_photo;
    QPointer<QLabel> m_name;
    QPointer<QLabel> m_screenName;
    QPointer<QLabel> m_description;
    QPointer<QLabel> m_location;
    QPointer<QLabel> m_url;
    QPointer<QLabel> m_friends;
    QPointer<QLabel> m_followers;
    QPointer<QLabel> m_statuses;
    QPointer<QProgressBar> m_indicator;
    QPointer<QProgressBar> m_readIndicator;
    QPointer<ListTable> m_table;
    PaintedImages* m_pictures;
};
