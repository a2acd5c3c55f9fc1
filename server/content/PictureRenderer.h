#pragma once

#include "ResponseCache.h"
#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <QImage>
#include <QString>

class ScheduleStore;
struct StoreChannel;
struct StoreProgramme;

// The pictures the content server serves, drawn on demand (the server has no image files
// and no video): channel logos of any asked size under gfx/W/H/LOGO, show pictures under
// gfx/PATH (or the pictures stored with the data), and live frames (get_tv_image.php) naming the channel, the
// show on air at that moment and the time. PNG; sizes are limited to 1..1024 points.
class PictureRenderer
{
public:
    explicit PictureRenderer(ScheduleStore& store);

    std::optional<HttpResponse> answer(const QString& page, const HttpRequest& request);

    QImage logo(const StoreChannel& channel, int width, int height) const;
    QImage showPicture(const StoreProgramme& programme, const QString& channelName, int width,
                       int height) const;
    QImage liveFrame(const StoreChannel& channel, const StoreProgramme* programme, qint64 moment) const;

    static QByteArray png(const QImage& image);
    // The picture scaled into width x height, keeping its proportions, centred on clear.
    static QImage fitted(const QImage& picture, int width, int height);

private:
    HttpResponse graphics(const QString& path);
    HttpResponse tvImage(const HttpRequest& request);
    // Draws the viewer's captions into a live picture (fontName "impact": the caption face).
    static void captioned(QImage& image, const QString& top, const QString& bottom, const QString& fontName);

    ScheduleStore& m_store;
    // Drawn pictures by their path, so that asking again for the same one costs no drawing.
    ResponseCache m_drawn{1024, 32 * 1024 * 1024};
};
