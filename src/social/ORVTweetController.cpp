#include "ORVTweetController.h"

#include "ORVTwitterService.h"
#include "TwitterRefusal.h"

#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/NavigationItem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcComposer, "orvane.twitter.composer")

ORVTweetController::ORVTweetController(QObject* parent)
    : ViewController(QStringLiteral("ORVTweetController"), parent)
{}

ORVTweetController::~ORVTweetController()
{
    delete m_sendButton;
}

void ORVTweetController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    view->setStyleSheet(QStringLiteral("#ORVTweetController { background: #f4f6f8; }"));
    m_tweetView = new QPlainTextEdit(view);
    m_tweetView->setObjectName(QStringLiteral("tweetView"));
    QFont font = m_tweetView->font();
    font.setPixelSize(18);
    m_tweetView->setFont(font);
    m_symbolsLabel = new QLabel(view);
    m_symbolsLabel->setObjectName(QStringLiteral("symbolsLabel"));
    m_locationBtn = new QPushButton(QStringLiteral("⌖"), view);
    m_locationBtn->setCheckable(true);
    m_locationBtn->setFixedSize(36, 32);
    // Only its own state: no location is ever sent.
    connect(m_locationBtn, &QPushButton::clicked, m_locationBtn,
            [this](bool) { m_locationBtn->setChecked(m_locationBtn->isChecked()); });
    m_indicator = new QProgressBar(view);
    m_indicator->setRange(0, 0);
    m_indicator->setMaximumWidth(80);
    m_indicator->hide();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_locationBtn);
    bottom->addWidget(m_indicator);
    bottom->addStretch();
    bottom->addWidget(m_symbolsLabel);
    auto* layout = new QVBoxLayout(view);
    layout->addWidget(m_tweetView, 1);
    layout->addLayout(bottom);
    connect(m_tweetView, &QPlainTextEdit::textChanged, this, &ORVTweetController::textChanged);

    m_sendButton = new QPushButton(QStringLiteral("Отправить"));
    m_sendButton->setObjectName(QStringLiteral("sendButton"));
    connect(m_sendButton, &QPushButton::clicked, this, &ORVTweetController::send);
    navigationItem()->setRightBarButtonItem(BarButtonItem::withCustomView(m_sendButton));
    setView(view);
    showTweetString();
}

void ORVTweetController::viewDidAppear(bool)
{
    if (m_tweetView)
        m_tweetView->setFocus();
}

void ORVTweetController::setTweetString(const QString& text)
{
    m_tweetString = text;
    showTweetString();
}

void ORVTweetController::showTweetString()
{
    if (!m_tweetView)
        return;
    const QString shown = m_tweetString.size() <= MaxLength
                              ? Printf::format(QStringLiteral("%@ "), {m_tweetString})
                              : m_tweetString.left(MaxLength - 1);
    m_shown = shown;
    {
        const QSignalBlocker blocker(m_tweetView);
        m_tweetView->setPlainText(shown);
        m_tweetView->moveCursor(QTextCursor::End);
    }
    m_symbolsLabel->setText(Printf::format(QStringLiteral("%d"), {MaxLength - int(shown.size())}));
}

void ORVTweetController::textChanged()
{
    const QString text = m_tweetView->toPlainText();
    if (text.size() > MaxLength && text.size() > m_shown.size()) {
        // Refused: the text goes back to what it was, the cursor where the change was.
        const int cursor =
            std::max(0, m_tweetView->textCursor().position() - int(text.size() - m_shown.size()));
        const QSignalBlocker blocker(m_tweetView);
        m_tweetView->setPlainText(m_shown);
        QTextCursor at = m_tweetView->textCursor();
        at.setPosition(std::min(cursor, int(m_shown.size())));
        m_tweetView->setTextCursor(at);
        return;
    }
    m_shown = text;
    m_symbolsLabel->setText(Printf::format(QStringLiteral("%d"), {MaxLength - int(text.size())}));
}

bool ORVTweetController::isSending() const
{
    return m_indicator && m_indicator->isVisible();
}

void ORVTweetController::setIndicator(bool running)
{
    if (m_indicator)
        m_indicator->setVisible(running);
}

void ORVTweetController::send()
{
    view();
    setIndicator(true);
    m_sendButton->setEnabled(false);
    const QString text = m_tweetView->toPlainText();
    ORVTwitterService& service = ORVTwitterService::sharedManager();
    if (m_isDirectMessage) {
        service.sendDirectTweetToUserId(
            m_recieverId, text, this, [this](const QVariant& answer) { directMessageAnswered(answer); },
            [this](const Error& error) {
                qCInfo(lcComposer).noquote() << "DIRECT MESSAGE ERROR =" << error.localizedDescription();
                setIndicator(false);
                if (m_sendButton)
                    m_sendButton->setEnabled(true);
            });
        return;
    }
    service.tweetReplyTo(
        m_replyId, text, this,
        [this](const QVariant& answer) {
            // An answer holding "errors" was not posted: the user sees why and may send again.
            if (TwitterRefusal::isRefusal(answer)) {
                tweetRefused(answer);
                return;
            }
            qCInfo(lcComposer) << "TWEED REPLY SUCCESS";
            tellFinished();
            setIndicator(false);
        },
        [this](const Error& error) { tweetFailed(error); });
}

void ORVTweetController::tweetRefused(const QVariant& answer)
{
    qCInfo(lcComposer).noquote() << "TWEET REPLY ERROR =" << TwitterRefusal::message(answer);
    AlertView::showError(TwitterRefusal::error(answer, QStringLiteral("The tweet was refused.")));
    if (m_sendButton)
        m_sendButton->setEnabled(true);
    setIndicator(false);
}

void ORVTweetController::directMessageAnswered(const QVariant& answer)
{
    qCInfo(lcComposer).noquote() << "DIRECT MESSAGE SUCCESS ="
                                 << JsonValue::text(JsonValue::map(answer).value(QStringLiteral("id_str")));
    setIndicator(false);
    if (!TwitterRefusal::isRefusal(answer)) {
        // Sent: the composer closes, as after a tweet.
        tellFinished();
        return;
    }
    qCInfo(lcComposer).noquote() << "ERROR SEND DIRECT MESSAGE =" << TwitterRefusal::message(answer);
    if (TwitterRefusal::code(answer) == 150) {
        (new AlertView(
             QStringLiteral("Ошибка"),
             QStringLiteral("Отправить личное сообщение можно только пользователю читающему вас"), this,
             [this](AlertView*, int) { tellFinished(); }, QStringLiteral("OK")))
            ->show();
        return;
    }
    // Any other refusal: the message may be sent again.
    AlertView::showError(TwitterRefusal::error(answer, QStringLiteral("The message was refused.")));
    if (m_sendButton)
        m_sendButton->setEnabled(true);
}

void ORVTweetController::tweetFailed(const Error& error)
{
    qCInfo(lcComposer).noquote() << "TWEET REPLY ERROR =" << error.localizedDescription();
    if (m_delegateObject && !error.isNull())
        tellFinished();
    else if (m_sendButton)
        m_sendButton->setEnabled(true);
    setIndicator(false);
}

void ORVTweetController::tellFinished()
{
    if (m_delegateObject && m_delegate)
        m_delegate->twitterDidFinish();
}
