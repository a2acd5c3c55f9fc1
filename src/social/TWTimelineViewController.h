#pragma once

#include "TWListViewController.h"

#include "widgets/TwitterDelegate.h"

class SHKTwitter;

// A list from the signed-in user's Twitter account, paged by max_id: 30 on a refresh, then 31
// before the last id (the repeated tweet is dropped). Nothing is asked while signed out.
class TWTimelineViewController : public TWListViewController, public TwitterDelegate
{
    Q_OBJECT

public:
    const QString& maxId() const { return m_maxId; }

    void loadTweetsDidFinish(const QVariantList& statuses) override;
    void loadTweetsDidFailWithError(const Error& error) override;

protected:
    TWTimelineViewController(const QString& nibName, QObject* parent);
    bool load(bool more) override;
    virtual void request(SHKTwitter* sharer, const QString& maxId, int count) = 0;

private:
    SHKTwitter* m_sharer;
    QString m_maxId;
    bool m_loadingMore = false;
};

// Mentions of the signed-in user.
class TWUserMentionsViewController : public TWTimelineViewController
{
    Q_OBJECT

public:
    explicit TWUserMentionsViewController(QObject* parent = nullptr)
        : TWTimelineViewController(QStringLiteral("TWUserMentionsViewController_iPhone"), parent)
    {}

protected:
    void request(SHKTwitter* sharer, const QString& maxId, int count) override;
};

// The signed-in user's home timeline; reloaded from the start after a deletion ("tweetDeleted").
class TWUserTweetsViewController : public TWTimelineViewController
{
    Q_OBJECT

public:
    explicit TWUserTweetsViewController(QObject* parent = nullptr)
        : TWTimelineViewController(QStringLiteral("TWUserTweetsViewController_iPhone"), parent)
    {}

protected:
    void viewDidLoad() override;
    void request(SHKTwitter* sharer, const QString& maxId, int count) override;
};
