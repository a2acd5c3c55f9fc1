#include "PopoverWebController_iPad.h"

#include "platform/StringTable.h"
#include "ui/ViewTag.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

PopoverWebController_iPad::PopoverWebController_iPad(const QNetworkRequest& request, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PopoverWebController_iPad"));
    ViewTag::set(this, ContentTag);
    resize(540, 600);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 6);
    m_segment = new SegmentedControl({QStringLiteral("◀"), QStringLiteral("▶")});
    m_indicator = new QLabel(StringTable::localized("Loading"));
    m_indicator->hide();
    m_close = new QToolButton;
    m_close->setText(StringTable::localized("Close"));
    ViewTag::set(m_close, CloseButtonTag);
    bar->addWidget(m_segment);
    bar->addWidget(m_indicator, 1);
    bar->addWidget(m_close);
    column->addLayout(bar);
    m_webView = new WebView;
    m_webView->setDelegate(this);
    column->addWidget(m_webView, 1);
    connect(m_segment, &SegmentedControl::valueChanged, this, &PopoverWebController_iPad::navigateAction);
    updateNavigation(false);
    m_webView->loadRequest(request);
}

void PopoverWebController_iPad::navigateAction(int segment)
{
    segment == 0 ? m_webView->goBack() : m_webView->goForward();
}

void PopoverWebController_iPad::updateNavigation(bool loading)
{
    m_backEnabled = m_webView && m_webView->canGoBack();
    m_forwardEnabled = m_webView && m_webView->canGoForward();
    if (m_segment) {
        m_segment->setSegmentEnabled(0, m_backEnabled);
        m_segment->setSegmentEnabled(1, m_forwardEnabled);
    }
    if (m_indicator)
        m_indicator->setVisible(loading);
}

void PopoverWebController_iPad::webViewDidStartLoad(WebView*)
{
    updateNavigation(true);
}

void PopoverWebController_iPad::webViewDidFinishLoad(WebView*)
{
    updateNavigation(false);
}

void PopoverWebController_iPad::webViewDidFailLoadWithError(WebView*, const Error&)
{
    updateNavigation(false);
}
