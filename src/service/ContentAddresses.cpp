#include "ContentAddresses.h"

#include "PercentEscaping.h"
#include "ServiceCalls.h"

#include "platform/Printf.h"

namespace {

QString nowBase()
{
    return ServiceCalls::baseUrl() + QStringLiteral("now.php");
}

} // namespace

QUrl ContentAddresses::toUrl(const QString& text)
{
    return QUrl::fromEncoded(PercentEscaping::addingPercentEscapes(text), QUrl::StrictMode);
}

QUrl ContentAddresses::nowPagePhone(int cityId, const QString& deviceId,
                                    const std::optional<CurrentChannel>& channel)
{
    const bool withCity = cityId >= 1;
    const QString city = QString::number(cityId);
    QString text;
    if (!channel) {
        text = withCity
                   ? Printf::format(QStringLiteral("%@?v=%i&d=%@&city=%@"), {nowBase(), 2, deviceId, city})
                   : Printf::format(QStringLiteral("%@?v=%i&d=%@"), {nowBase(), 2, deviceId});
    } else {
        const int manually = channel->manually ? 1 : 0;
        text = withCity ? Printf::format(QStringLiteral("%@?v=%i&m=%d&d=%@&i=%@&city=%@"),
                                         {nowBase(), 2, manually, deviceId, channel->channelId, city})
                        : Printf::format(QStringLiteral("%@?v=%i&m=%d&d=%@&i=%@"),
                                         {nowBase(), 2, manually, deviceId, channel->channelId});
    }
    return toUrl(text);
}

QUrl ContentAddresses::nowPageTablet(const QString& channelId)
{
    return toUrl(Printf::format(QStringLiteral("%@?v=%i&i=%@"), {nowBase(), 2, channelId}));
}

QUrl ContentAddresses::statisticsPage()
{
    return toUrl(ServiceCalls::baseUrl() + QStringLiteral("get_user_stats.php"));
}

bool ContentAddresses::isScreenshotPage(const QString& url)
{
    return url.contains(QStringLiteral("get_screenshot_urls.php"));
}

QUrl ContentAddresses::channelLogo(int width, int height, const QString& logoPath)
{
    return toUrl(
        Printf::format(QStringLiteral("%@gfx/%i/%i%@"), {ServiceCalls::baseUrl(), width, height, logoPath}));
}

QUrl ContentAddresses::channelLogo48(const QString& logoPath)
{
    return toUrl(Printf::format(QStringLiteral("%@gfx/48/48%@"), {ServiceCalls::baseUrl(), logoPath}));
}

QUrl ContentAddresses::picture(const QString& path)
{
    // A show's picture name is its address; a name without a scheme is one of the content
    // server's own pictures, under its gfx/ folder.
    const QUrl address(QUrl::fromPercentEncoding(path.toUtf8()));
    if (address.isValid() && (address.scheme() == u"http" || address.scheme() == u"https") &&
        !address.host().isEmpty())
        return address;
    return toUrl(Printf::format(QStringLiteral("%@gfx/%@"), {ServiceCalls::baseUrl(), path}));
}

QUrl ContentAddresses::showPicture(const QString& channelId, std::optional<int> d)
{
    const QString base = ServiceCalls::baseUrl() + QStringLiteral("get_tv_image.php");
    if (d)
        return toUrl(Printf::format(QStringLiteral("%@?i=%@&d=%d"), {base, channelId, *d}));
    return toUrl(Printf::format(QStringLiteral("%@?i=%@"), {base, channelId}));
}
