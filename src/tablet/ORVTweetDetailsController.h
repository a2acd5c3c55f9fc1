#pragma once

#include "social/ORVTwitterDelegate.h"
#include "social/Tweet.h"

#include "ui/ViewController.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

// The tweet details panel: the author, the text, where it was sent from, the time and its
// picture, with reply, retweet, favourite, delete, the author's profile and the conversation.
// Every action needs a chosen Twitter account. Tells its delegate when it is done
// (twitterDidFinish) or when the tweet was deleted (twitterDidFinishWithOp 1).
class ORVTweetDetailsController : public ViewController, public ORVTwitterDelegate
{
    Q_OBJECT

public:
    explicit ORVTweetDetailsController(QObject* parent = nullptr);

    template <typename T> void setDelegate(T* delegate)
    {
        m_delegate = delegate;
        m_delegateObject = delegate;
    }
    void setCurrentTweet(const Tweet& tweet);
    const Tweet& currentTweet() const { return m_currentTweet; }
    void setIsDisableConversation(bool disable);
    // The author's picture as shown (handed to the conversation).
    QImage photo() const;

    QPushButton* replyBtn() const { return m_replyBtn; }
    QPushButton* retweetBtn() const { return m_retweetBtn; }
    QPushButton* favoriteBtn() const { return m_favoriteBtn; }
    QPushButton* trashBtn() const { return m_trashBtn; }
    QPushButton* profileInfoBtn() const { return m_profileInfoBtn; }
    QPushButton* conversationBtn() const { return m_conversationBtn; }
    QLabel* senderName() const { return m_senderName; }
    QLabel* senderNickName() const { return m_senderNickName; }
    QLabel* textView() const { return m_textView; }
    QLabel* sourceLabel() const { return m_source; }

    void reply();
    void retweet();
    void favorite();
    void destroy();
    void showProfile();
    void showConversation();

    // A reply's composer or a pushed screen reporting back: the panel's own delegate hears it.
    void twitterDidFinish() override;
    void twitterDidFinishWithOp(int op) override;

protected:
    void loadView() override;

private:
    void showTweet();
    void updateButtons();
    void tintFavorite();
    void tellDelegate(int op);
    void setBusy(bool busy);

    Tweet m_currentTweet;
    bool m_isDisableConversation = false;
    ORVTwitterDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    QPointer<QPushButton> m_replyBtn;
    QPointer<QPushButton> m_retweetBtn;
    QPointer<QPushButton> m_favoriteBtn;
    QPointer<QPushButton> m_trashBtn;
    QPointer<QPushButton> m_profileInfoBtn;
    QPointer<QPushButton> m_conversationBtn;
    QPointer<QLabel> m_senderName;
    QPointer<QLabel> m_senderNickName;
    QPointer<QLabel> m_textView;
    QPointer<QLabel> m_photo;
    QPointer<QLabel> m_mediaImage;
    QPointer<QLabel> m_source;
    QPointer<QLabel> m_time;
    QPointer<QProgressBar> m_indicator;
    QImage m_photoImage;
};
