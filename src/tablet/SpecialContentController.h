#pragma once

#include "ui/WebView.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

// Told once when the special-content overlay has gone.
class SpecialContentDelegate
{
public:
    virtual ~SpecialContentDelegate() = default;
    virtual void contentControllerDidFinish() = 0;
};

// Extra web content of a show over the whole tablet interface: a dark backdrop with a waiting
// box ("Подождите...", "Отмена") while the page loads, then the page in a frame (650 x 850 in
// portrait, 850 x 650 in landscape) with a close button. A page that fails closes the overlay
// without a message. Closing fades it out, removes it and tells the delegate once.
class SpecialContentController : public QWidget, public WebView::Delegate
{
    Q_OBJECT

public:
    enum class State
    {
        Loading,
        Shown,
        Closing,
        Gone
    };
    static constexpr int WebViewTag = -111;
    static constexpr int SpinnerTag = -222;
    static constexpr int WaitLabelTag = -333;
    static constexpr int CancelTag = -444;
    static constexpr int FadeMs = 300;
    static constexpr int GrowMs = 400;

    SpecialContentController(int contentCode, const QString& contentUrl, QWidget* parent = nullptr);

    void setFinishDelegate(SpecialContentDelegate* delegate) { m_finishDelegate = delegate; }
    // Covers the panes (only the screen matters, not the point) and starts loading.
    void showFromPoint(const QPoint& point);
    void closeTouch();
    void cancelLoading();

    State state() const { return m_state; }
    bool contentIsShowed() const { return m_contentIsShowed; }
    int contentAnimations() const { return m_contentAnimations; }
    WebView* webView() const { return m_webView; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* closeButton() const { return m_close; }
    // The frame of the page for a screen of that size.
    static QRect contentFrame(const QSize& screen);

    // WebView::Delegate
    void webViewDidFinishLoad(WebView* view) override;
    void webViewDidFailLoadWithError(WebView* view, const Error& error) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showContentWithAnimation();
    void finish();

    int m_contentCode;
    QString m_contentUrl;
    State m_state = State::Loading;
    bool m_isAnimate = false;
    bool m_contentIsShowed = false;
    int m_contentAnimations = 0;
    double m_backdrop = 0; // 0..0.8
    SpecialContentDelegate* m_finishDelegate = nullptr;
    QPointer<QWidget> m_waitingView;
    QPointer<QLabel> m_waitLabel;
    QPointer<QPushButton> m_cancel;
    QPointer<QWidget> m_contentView;
    QPointer<WebView> m_webView;
    QPointer<QPushButton> m_close;
};
