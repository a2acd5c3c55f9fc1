#include "SpecialContentController.h"

#include "ui/ViewTag.h"

#include <QPainter>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

SpecialContentController::SpecialContentController(int contentCode, const QString& contentUrl,
                                                   QWidget* parent)
    : QWidget(parent), m_contentCode(contentCode), m_contentUrl(contentUrl)
{
    setObjectName(QStringLiteral("SpecialContentController"));
    m_close = new QPushButton(QStringLiteral("✕"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setFixedSize(64, 64);
    m_close->setStyleSheet(QStringLiteral("font-size: 28px; color: white; background: rgba(0,0,0,160); "
                                          "border-radius: 32px;"));
    m_close->hide();
    connect(m_close, &QPushButton::clicked, this, &SpecialContentController::closeTouch);
    if (m_contentUrl.isEmpty())
        return;

    // The waiting box: spinner text, "Подождите...", "Отмена".
    m_waitingView = new QWidget(this);
    m_waitingView->setObjectName(QStringLiteral("waitingView"));
    m_waitingView->setStyleSheet(
        QStringLiteral("#waitingView { background: rgba(0,0,0,200); border: 3px solid white; "
                       "border-radius: 25px; }"));
    auto* box = new QVBoxLayout(m_waitingView);
    auto* spinner = new QLabel(QStringLiteral("…"), m_waitingView);
    ViewTag::set(spinner, SpinnerTag);
    spinner->setAlignment(Qt::AlignCenter);
    spinner->setStyleSheet(QStringLiteral("color: white; font-size: 22px;"));
    m_waitLabel = new QLabel(QStringLiteral("Подождите..."), m_waitingView);
    ViewTag::set(m_waitLabel, WaitLabelTag);
    m_waitLabel->setStyleSheet(
        QStringLiteral("color: rgb(230,230,230); font-weight: bold; font-size: 19px;"));
    m_waitLabel->hide();
    m_cancel = new QPushButton(QStringLiteral("Отмена"), m_waitingView);
    ViewTag::set(m_cancel, CancelTag);
    m_cancel->setFixedSize(100, 40);
    m_cancel->setStyleSheet(QStringLiteral("background: rgba(77,77,77,1); color: rgb(230,230,230);"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &SpecialContentController::cancelLoading);
    box->addWidget(spinner);
    box->addWidget(m_waitLabel, 0, Qt::AlignHCenter);
    box->addWidget(m_cancel, 0, Qt::AlignHCenter);

    // Only content code 0 has a page.
    if (m_contentCode != 0)
        return;
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    m_contentView->setStyleSheet(
        QStringLiteral("#contentView { border: 3px solid rgb(230,230,230); border-radius: 5px; "
                       "background: white; }"));
    auto* frame = new QVBoxLayout(m_contentView);
    frame->setContentsMargins(3, 3, 3, 3);
    m_webView = new WebView(m_contentView);
    ViewTag::set(m_webView, WebViewTag);
    m_webView->setDelegate(this);
    frame->addWidget(m_webView);
    m_contentView->hide();
}

QRect SpecialContentController::contentFrame(const QSize& screen)
{
    const QSize size = screen.height() > screen.width() ? QSize(650, 850) : QSize(850, 650);
    const QSize fitted = size.boundedTo(screen);
    return {QPoint((screen.width() - fitted.width()) / 2, (screen.height() - fitted.height()) / 2), fitted};
}

void SpecialContentController::showFromPoint(const QPoint&)
{
    if (QWidget* over = parentWidget())
        setGeometry(over->rect());
    show();
    raise();
    // Fade in: the backdrop darkens and the waiting box shows its words.
    auto* fade = new QVariantAnimation(this);
    fade->setDuration(FadeMs);
    fade->setStartValue(0.0);
    fade->setEndValue(0.8);
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_backdrop = value.toDouble();
        update();
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
    if (m_waitingView) {
        m_waitingView->setGeometry(QRect(rect().center() - QPoint(80, 60), QSize(160, 120)));
        m_waitingView->show();
        m_waitLabel->show();
        m_cancel->show();
    }
    if (m_webView && !m_webView->hasRequest())
        m_webView->loadRequest(QNetworkRequest(QUrl(m_contentUrl)));
}

void SpecialContentController::webViewDidFinishLoad(WebView*)
{
    if (m_contentIsShowed || m_state != State::Loading)
        return;
    m_contentIsShowed = true;
    showContentWithAnimation();
}

void SpecialContentController::webViewDidFailLoadWithError(WebView*, const Error&)
{
    closeTouch();
}

void SpecialContentController::showContentWithAnimation()
{
    if (m_isAnimate)
        return;
    m_isAnimate = true;
    ++m_contentAnimations;
    m_state = State::Shown;
    if (m_cancel)
        m_cancel->setEnabled(false);
    const QRect frame = contentFrame(size());
    // The waiting box grows into the page's frame, then the page takes its place.
    auto* grow = new QPropertyAnimation(m_waitingView, "geometry", this);
    grow->setDuration(GrowMs);
    grow->setEndValue(frame);
    connect(grow, &QPropertyAnimation::finished, this, [this, frame] {
        if (m_state != State::Shown)
            return;
        if (m_waitingView)
            m_waitingView->hide();
        if (m_contentView) {
            m_contentView->setGeometry(frame);
            m_contentView->show();
        }
        m_close->move(frame.topRight() - QPoint(40, 24));
        m_close->show();
        m_close->raise();
    });
    grow->start(QAbstractAnimation::DeleteWhenStopped);
}

void SpecialContentController::cancelLoading()
{
    closeTouch();
}

void SpecialContentController::closeTouch()
{
    if (m_state == State::Closing || m_state == State::Gone)
        return;
    m_state = State::Closing;
    if (m_webView)
        m_webView->stopLoading();
    m_close->hide();
    if (m_contentView)
        m_contentView->hide();
    if (m_waitingView)
        m_waitingView->hide();
    auto* fade = new QVariantAnimation(this);
    fade->setDuration(2 * FadeMs);
    fade->setStartValue(m_backdrop);
    fade->setEndValue(0.0);
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_backdrop = value.toDouble();
        update();
    });
    connect(fade, &QVariantAnimation::finished, this, &SpecialContentController::finish);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void SpecialContentController::finish()
{
    if (m_state == State::Gone)
        return;
    m_state = State::Gone;
    hide();
    if (m_finishDelegate)
        m_finishDelegate->contentControllerDidFinish();
}

void SpecialContentController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, int(255 * m_backdrop)));
}

void SpecialContentController::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Turning the screen moves the page to the frame of the new orientation.
    if (m_state == State::Shown && m_contentView && m_contentView->isVisible()) {
        const QRect frame = contentFrame(size());
        m_contentView->setGeometry(frame);
        m_close->move(frame.topRight() - QPoint(40, 24));
    }
}
