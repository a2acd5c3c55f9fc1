#include "ProfileViewController.h"

#include "ProfileHistoryViewController.h"

#include "model/PreferenceKeys.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"
#include "widgets/AsyncImageView.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

// The user's picture is kept with the user's details as PNG data.
QByteArray pngOf(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    image.save(&buffer, "PNG");
    return data;
}

} // namespace

ProfileViewController::ProfileViewController(QObject* parent)
    : ViewController(QStringLiteral("ProfileViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Profile"));
    tabBarItem().title = title();
    tabBarItem().imageName = QStringLiteral("profile_tab");
}

ProfileViewController::~ProfileViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

ProfileHistoryViewController* ProfileViewController::profileHistoryViewController() const
{
    return qobject_cast<ProfileHistoryViewController*>(m_profileHistoryViewController.data());
}

void ProfileViewController::loadView()
{
    auto* header = new QWidget;
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(14, 12, 14, 8);
    m_imageViewPhoto = new QLabel;
    m_imageViewPhoto->setFixedSize(64, 64);
    m_imageViewPhoto->setScaledContents(true);
    headerLayout->addWidget(m_imageViewPhoto);
    auto* names = new QVBoxLayout;
    m_labelUsername = new QLabel;
    m_labelUsername->setStyleSheet(QStringLiteral("font-size: 18px; font-weight: bold; color: #20222e;"));
    m_labelUserId = new QLabel;
    m_labelUserId->setStyleSheet(QStringLiteral("font-size: 14px; color: #6b7085;"));
    names->addWidget(m_labelUsername);
    names->addWidget(m_labelUserId);
    headerLayout->addLayout(names, 1);

    auto* segmentBox = new QWidget;
    auto* segmentLayout = new QVBoxLayout(segmentBox);
    segmentLayout->setContentsMargins(10, 4, 10, 8);
    m_segment = new SegmentedControl({StringTable::localized("History"), StringTable::localized("Rating")});
    m_segment->setSelectedSegmentIndex(0);
    segmentLayout->addWidget(m_segment);

    m_viewContent = new QWidget;
    new QStackedLayout(m_viewContent);
    setView(ScreenView::column(nibName(), {header, segmentBox, m_viewContent}));
}

void ProfileViewController::viewDidLoad()
{
    connect(m_segment, &SegmentedControl::valueChanged, this, &ProfileViewController::segmentsValueChange);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::CredentialsVerified,
                         [this](const Notification&) { updateTwitterUserInfo(); });
    center.observeOnMain(this, Notifications::InternetConnectionAvailable,
                         [this](const Notification&) { reloadWebView(); });
    updateTwitterUserInfo();
    segmentsValueChange(m_segment->selectedSegmentIndex());
}

int ProfileViewController::supportedInterfaceOrientations() const
{
    return Portrait | LandscapeLeft | LandscapeRight;
}

void ProfileViewController::segmentsValueChange(int index)
{
    auto* pages = static_cast<QStackedLayout*>(m_viewContent->layout());
    if (index == 1) {
        if (!m_webViewStatistics) {
            m_webViewStatistics = new WebView;
            m_webViewStatistics->setObjectName(QStringLiteral("ProfileStatViewController_iPhone"));
            pages->addWidget(m_webViewStatistics);
            reloadWebView();
        }
        pages->setCurrentWidget(m_webViewStatistics);
        return;
    }
    if (!m_profileHistoryViewController) {
        auto* history = new ProfileHistoryViewController(this);
        history->setDelegate(this);
        m_profileHistoryViewController = history;
        pages->addWidget(history->view());
    }
    pages->setCurrentWidget(m_profileHistoryViewController->view());
}

QString ProfileViewController::labelUsername() const
{
    return m_labelUsername ? m_labelUsername->text() : QString();
}

QString ProfileViewController::labelUserId() const
{
    return m_labelUserId ? m_labelUserId->text() : QString();
}

void ProfileViewController::updateTwitterUserInfo()
{
    if (!m_imageViewPhoto)
        return;
    const QVariantMap user = Preferences::standard().dictionary(PreferenceKeys::TwitterUserInfo);
    const QString screenName = JsonValue::text(user.value(QStringLiteral("screenName")));
    const QString name = JsonValue::text(user.value(QStringLiteral("name")));
    m_labelUserId->setText(screenName.isEmpty() ? StringTable::localized("@Unknown") : u'@' + screenName);
    m_labelUsername->setText(name.isEmpty() ? StringTable::localized("Unknown") : name);

    QImage stored;
    stored.loadFromData(user.value(QStringLiteral("thumbnail")).toByteArray());
    const QString address = JsonValue::text(user.value(QStringLiteral("profileImageUrl")));
    if (!stored.isNull()) {
        m_imageViewPhoto->setPixmap(QPixmap::fromImage(stored));
        return;
    }
    m_imageViewPhoto->setPixmap(Images::named(QStringLiteral("no_photo.png")));
    if (address.isEmpty())
        return;
    AsyncImageView::loadImage(QUrl(QUrl::fromPercentEncoding(address.toUtf8())), {{QStringLiteral("tag"), 1}},
                              this, [this](const QImage& image, const QVariantMap&) {
                                  m_imageViewPhoto->setPixmap(QPixmap::fromImage(image));
                                  // Kept with the details, so that later displays need no download.
                                  QVariantMap details =
                                      Preferences::standard().dictionary(PreferenceKeys::TwitterUserInfo);
                                  details.insert(QStringLiteral("thumbnail"), pngOf(image));
                                  Preferences::standard().setValue(PreferenceKeys::TwitterUserInfo, details);
                              });
}

void ProfileViewController::reloadWebView()
{
    if (!m_webViewStatistics)
        return;
    QNetworkRequest request(ContentAddresses::statisticsPage());
    request.setTransferTimeout(PageTimeoutMs);
    m_webViewStatistics->loadRequest(request);
}
