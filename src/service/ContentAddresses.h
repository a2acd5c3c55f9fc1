#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// The addresses of pages and pictures that screens load from the content server directly,
// each built in one place. Texts are escaped into URLs as the request frame does.
class ContentAddresses
{
public:
    struct CurrentChannel
    {
        QString channelId;
        bool manually = false;
    };

    // The phone's now page: general, or the current channel's; "city" only for ids of 1 and up.
    static QUrl nowPagePhone(int cityId, const QString& deviceId,
                             const std::optional<CurrentChannel>& channel);
    static QUrl nowPageTablet(const QString& channelId);
    static QUrl statisticsPage();
    // A link inside a page that leads to live screenshots of a channel.
    static bool isScreenshotPage(const QString& url);
    static QUrl channelLogo(int width, int height, const QString& logoPath);
    static QUrl channelLogo48(const QString& logoPath);
    static QUrl picture(const QString& path);
    // A live picture of a channel; with d, the picture of that moment.
    static QUrl showPicture(const QString& channelId, std::optional<int> d = std::nullopt);

    static QUrl toUrl(const QString& text);
};
