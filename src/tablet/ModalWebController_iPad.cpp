#include "ModalWebController_iPad.h"

#include "core/AppDelegate.h"
#include "platform/StringTable.h"
#include "ui/Window.h"
#include "widgets/StackedPanesController.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

ModalWebController_iPad::ModalWebController_iPad(const QString& urlString, QObject* parent)
    : ViewController(QStringLiteral("ModalWebController_iPad"), parent), m_destinUrl(urlString)
{}

ModalWebController_iPad* ModalWebController_iPad::showModalWebWithUrlString(const QString& urlString)
{
    AppDelegate* app = AppDelegate::shared();
    ViewController* over =
        app && app->stackController() ? app->stackController()->rootViewController() : nullptr;
    if (!over && Window::keyWindow())
        over = Window::keyWindow()->rootViewController();
    if (!over)
        return nullptr;
    auto* screen = new ModalWebController_iPad(urlString);
    over->presentModalViewController(screen, true);
    return screen;
}

void ModalWebController_iPad::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 8, 8, 8);
    auto* close = new QToolButton;
    close->setObjectName(QStringLiteral("closeButton"));
    close->setText(StringTable::localized("Close"));
    m_segment = new SegmentedControl({QStringLiteral("◀"), QStringLiteral("▶")});
    m_adressField = new QLineEdit;
    m_adressField->setObjectName(QStringLiteral("adressField"));
    m_adressField->setReadOnly(true);
    bar->addWidget(close);
    bar->addWidget(m_segment);
    bar->addWidget(m_adressField, 1);
    column->addLayout(bar);
    m_webView = new WebView;
    column->addWidget(m_webView, 1);
    connect(close, &QToolButton::clicked, this, &ModalWebController_iPad::closeTouch);
    connect(m_segment, &SegmentedControl::valueChanged, this, &ModalWebController_iPad::segmentChanged);
    setView(view);
}

void ModalWebController_iPad::viewDidLoad()
{
    m_webView->setDelegate(this);
    updateNavigation(true);
    m_adressField->setText(m_destinUrl);
    m_webView->loadRequest(QNetworkRequest(QUrl(m_destinUrl)));
}

void ModalWebController_iPad::segmentChanged(int segment)
{
    segment == 0 ? m_webView->goBack() : m_webView->goForward();
}

void ModalWebController_iPad::closeTouch()
{
    if (presentingViewController())
        presentingViewController()->dismissModalViewControllerAnimated(true);
    else
        dismissModalViewControllerAnimated(true);
}

void ModalWebController_iPad::updateNavigation(bool loading)
{
    m_loading = loading;
    if (m_segment && m_webView) {
        m_segment->setSegmentEnabled(0, m_webView->canGoBack());
        m_segment->setSegmentEnabled(1, m_webView->canGoForward());
    }
}

bool ModalWebController_iPad::webViewShouldStartLoadWithRequest(WebView*, const QNetworkRequest& request,
                                                                WebView::NavigationType)
{
    if (m_adressField)
        m_adressField->setText(request.url().toString());
    return true;
}

void ModalWebController_iPad::webViewDidStartLoad(WebView*)
{
    updateNavigation(true);
}

void ModalWebController_iPad::webViewDidFinishLoad(WebView* view)
{
    if (m_adressField)
        m_adressField->setText(view->request().url().toString());
    updateNavigation(false);
}

void ModalWebController_iPad::webViewDidFailLoadWithError(WebView*, const Error&)
{
    updateNavigation(false);
}
