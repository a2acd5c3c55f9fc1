#include "TweetSheetPost.h"

#include "TwitterRefusal.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "ui/AlertView.h"
#include "widgets/TweetComposer.h"
#include "widgets/TwitterSession.h"

#include <QBuffer>

TweetSheetPost::TweetSheetPost(TweetComposer* sheet, const AccountStore::Account& account,
                               const QImage& picture)
    : QObject(sheet), m_sheet(sheet), m_account(account), m_picture(picture)
{
    connect(sheet, &TweetComposer::sendRequested, this, &TweetSheetPost::send);
}

QByteArray TweetSheetPost::uploadBytes(const QImage& picture)
{
    if (picture.isNull())
        return {};
    QImage scaled = picture;
    if (picture.width() > MaxPictureSide || picture.height() > MaxPictureSide)
        scaled =
            picture.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    scaled.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 85);
    return bytes;
}

void TweetSheetPost::send(const QString& text)
{
    m_sheet->setSending(true);
    if (m_picture.isNull()) {
        post(text, {});
        return;
    }
    TwitterSession::shared().perform(
        this, m_account, "POST", QStringLiteral("1.1/media/upload.json"),
        {{QStringLiteral("media_data"), QString::fromLatin1(uploadBytes(m_picture).toBase64())}},
        [this, text](int status, const QByteArray& body, const Error& transport) {
            const QString mediaId =
                JsonValue::text(JsonValue::map(Json::objectWithString(QString::fromUtf8(body)))
                                    .value(QStringLiteral("media_id_string")));
            if (status < 200 || status >= 300 || mediaId.isEmpty()) {
                failed(status, body, transport);
                return;
            }
            post(text, mediaId);
        });
}

void TweetSheetPost::post(const QString& text, const QString& mediaId)
{
    QMultiMap<QString, QString> parameters{{QStringLiteral("status"), text}};
    if (!mediaId.isEmpty())
        parameters.insert(QStringLiteral("media_ids"), mediaId);
    TwitterSession::shared().perform(this, m_account, "POST", QStringLiteral("1.1/statuses/update.json"),
                                     parameters,
                                     [this](int status, const QByteArray& body, const Error& transport) {
                                         if (status >= 200 && status < 300) {
                                             m_sheet->close();
                                             return;
                                         }
                                         failed(status, body, transport);
                                     });
}

void TweetSheetPost::failed(int status, const QByteArray& body, const Error& transport)
{
    m_sheet->setSending(false);
    if (!transport.isNull()) {
        AlertView::showError(transport);
        return;
    }
    AlertView::showError(TwitterRefusal::error(Json::objectWithString(QString::fromUtf8(body)),
                                               QStringLiteral("HTTP %1").arg(status)));
}
