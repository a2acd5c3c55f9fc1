#pragma once

#include "ORVTwitterDelegate.h"

#include "platform/Error.h"

#include "ui/ViewController.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVariantMap>

// The tablet's composer for new tweets, replies and direct messages, sent through the Twitter
// account service. Tweets keep to 140 characters: an initial text is shown with a space after it
// (cut to 139 characters when longer than 140), and typing that would pass 140 is refused.
class ORVTweetController : public ViewController
{
    Q_OBJECT

public:
    static constexpr int MaxLength = 140;

    explicit ORVTweetController(QObject* parent = nullptr);
    // The send button goes with it, wherever the navigation bar has put it.
    ~ORVTweetController() override;

    // The delegate must be a QObject too; a destroyed one hears nothing.
    template <typename T> void setDelegate(T* delegate)
    {
        m_delegate = delegate;
        m_delegateObject = delegate;
    }
    void setTweetString(const QString& text);
    const QString& tweetString() const { return m_tweetString; }
    void setReplyId(const QString& replyId) { m_replyId = replyId; }
    const QString& replyId() const { return m_replyId; }
    void setRecieverId(const QString& userId) { m_recieverId = userId; }
    void setIsDirectMessage(bool direct) { m_isDirectMessage = direct; }
    bool isDirectMessage() const { return m_isDirectMessage; }

    QPlainTextEdit* tweetView() const { return m_tweetView; }
    QLabel* symbolsLabel() const { return m_symbolsLabel; }
    QPushButton* sendButton() const { return m_sendButton; }
    QPushButton* locationBtn() const { return m_locationBtn; }
    bool isSending() const;
    // As the send button does.
    void send();

protected:
    void loadView() override;
    void viewDidAppear(bool animated) override;

private:
    void showTweetString();
    void textChanged();
    void setIndicator(bool running);
    void directMessageAnswered(const QVariant& answer);
    void tweetFailed(const Error& error);
    void tweetRefused(const QVariant& answer);
    void tellFinished();

    QString m_tweetString;
    QString m_replyId;
    QString m_recieverId;
    bool m_isDirectMessage = false;
    QString m_shown; // the text as it stands after the last accepted change
    QPointer<QPlainTextEdit> m_tweetView;
    QPointer<QLabel> m_symbolsLabel;
    QPointer<QPushButton> m_sendButton;
    QPointer<QPushButton> m_locationBtn;
    QPointer<QProgressBar> m_indicator;
    ORVTwitterDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
};
