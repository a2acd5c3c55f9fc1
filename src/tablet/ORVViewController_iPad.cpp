#include "ORVViewController_iPad.h"

#include "ORVRootController.h"

#include "ui/BarButtonItem.h"

#include <QLabel>

ORVViewController_iPad::ORVViewController_iPad(const QString& nibName, QObject* parent)
    : ViewController(nibName, parent), m_navBarTitle(new QLabel)
{
    m_navBarTitle->setObjectName(QStringLiteral("navBarTitle"));
    m_navBarTitle->setAlignment(Qt::AlignCenter);
    m_navBarTitle->setStyleSheet(
        QStringLiteral("font: 25px 'HelveticaNeue-Light'; color: rgb(230,230,230);"));
    navigationItem()->setTitleView(m_navBarTitle);
}

ORVViewController_iPad::~ORVViewController_iPad()
{
    delete m_navBarTitle;
    for (const QPointer<QWidget>& widget : std::as_const(m_barWidgets))
        delete widget;
}

void ORVViewController_iPad::setRootDelegate(ORVRootController* root)
{
    m_rootDelegate = root;
}

ORVRootController* ORVViewController_iPad::rootDelegate() const
{
    return qobject_cast<ORVRootController*>(m_rootDelegate.data());
}

void ORVViewController_iPad::setTitleString(const QString& title)
{
    if (m_navBarTitle)
        m_navBarTitle->setText(title);
    setTitle(title);
}

QString ORVViewController_iPad::titleString() const
{
    return m_navBarTitle ? m_navBarTitle->text() : QString();
}

void ORVViewController_iPad::viewDidLoad()
{
    navigationItem()->setLeftBarButtonItem(
        BarButtonItem::withImage(QStringLiteral("menu_open_btn.png"), [this] {
            if (ORVRootController* root = rootDelegate())
                root->openMenu();
        }));
}
