#pragma once

#include "TWListViewController.h"

// A talk list from the content server's talk feed: the last 7 days, 30 tweets, or the shown
// number plus 30 to load more (the whole longer list comes again).
class TWTalkViewController : public TWListViewController
{
    Q_OBJECT

protected:
    using TWListViewController::TWListViewController;
    // The feed's channel argument; empty when there is nothing to ask for.
    virtual QString channelArgument() const = 0;
    bool load(bool more) override;
};

// Talk about all channels (the feed's channel "1").
class TWCommonViewController : public TWTalkViewController
{
    Q_OBJECT

public:
    explicit TWCommonViewController(QObject* parent = nullptr)
        : TWTalkViewController(QStringLiteral("TWCommonViewController_iPhone"), parent)
    {}

protected:
    QString channelArgument() const override { return QStringLiteral("1"); }
};

// Talk about the current channel (its id through the city's channel map); reloaded when the
// current channel changes.
class TWChannelViewController : public TWTalkViewController
{
    Q_OBJECT

public:
    explicit TWChannelViewController(QObject* parent = nullptr)
        : TWTalkViewController(QStringLiteral("TWChannelViewController_iPhone"), parent)
    {}

protected:
    void viewDidLoad() override;
    QString channelArgument() const override;
};
