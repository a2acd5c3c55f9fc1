#pragma once

#include "ui/SegmentedControl.h"
#include "ui/WebView.h"

#include <QLabel>
#include <QNetworkRequest>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

// A small browser for a popover: the page, back and forward (enabled as the page's history
// allows) and a close button for the opener to bind. Every navigation is allowed; a failure
// only stops the activity mark.
class PopoverWebController_iPad : public QWidget, public WebView::Delegate
{
    Q_OBJECT

public:
    static constexpr int ContentTag = 88;
    static constexpr int CloseButtonTag = 222;

    explicit PopoverWebController_iPad(const QNetworkRequest& request, QWidget* parent = nullptr);

    WebView* webView() const { return m_webView; }
    SegmentedControl* navigationSegment() const { return m_segment; }
    QToolButton* closeBarButton() const { return m_close; }
    bool isIndicatorRunning() const { return m_indicator && !m_indicator->isHidden(); }
    bool isBackEnabled() const { return m_backEnabled; }
    bool isForwardEnabled() const { return m_forwardEnabled; }
    void navigateAction(int segment);

    // WebView::Delegate
    void webViewDidStartLoad(WebView* view) override;
    void webViewDidFinishLoad(WebView* view) override;
    void webViewDidFailLoadWithError(WebView* view, const Error& error) override;

private:
    void updateNavigation(bool loading);

    QPointer<WebView> m_webView;
    QPointer<SegmentedControl> m_segment;
    QPointer<QToolButton> m_close;
    QPointer<QLabel> m_indicator;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};
