#pragma once

#include "Tweet.h"

#include "ui/ActivityOverlay.h"
#include "ui/ViewController.h"
#include "widgets/TwitterDelegate.h"

#include <QPointer>
#include <QToolButton>

class QLabel;
class SHKTwitter;

// One tweet: the author's picture, name and screen name, the text (plain text, at most 106
// points high) and the time, with Reply, Retweet and Delete (tags 1, 2, 3) in a toolbar.
// Reply and Retweet need a connection and the sign-in; Delete also needs the tweet to be the
// user's own. Without the sign-in the screen offers to go to the settings to sign in.
class TWDetailsViewController : public ViewController, public TwitterDelegate
{
    Q_OBJECT

public:
    static constexpr int MaxTextHeight = 106;
    static constexpr int SettingsTabIndex = 4;

    explicit TWDetailsViewController(QObject* parent = nullptr);
    ~TWDetailsViewController() override;

    void setTweet(const Tweet& tweet);
    const Tweet& tweet() const { return m_tweet; }
    QToolButton* barButtonReply() const { return m_barButtonReply; }
    QToolButton* barButtonRetwit() const { return m_barButtonRetwit; }
    QToolButton* barButtonDelete() const { return m_barButtonDelete; }
    QString labelText() const;
    QString labelUsername() const;

    void reply();
    void retweet();
    void deleteTweet();
    void updateButtons();

    void removeTweetDidFinish(const QVariant& status) override;
    void removeTweetDidFailWithError(const Error& error) override;

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void showTweet();

    Tweet m_tweet;
    SHKTwitter* m_sharer;
    QPointer<QLabel> m_imageViewPhoto;
    QPointer<QLabel> m_labelName;
    QPointer<QLabel> m_labelUsername;
    QPointer<QLabel> m_labelText;
    QPointer<QLabel> m_labelTimeAgo;
    QPointer<QToolButton> m_barButtonReply;
    QPointer<QToolButton> m_barButtonRetwit;
    QPointer<QToolButton> m_barButtonDelete;
    QPointer<ActivityOverlay> m_overlay;
};
