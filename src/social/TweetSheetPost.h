#pragma once

#include "platform/AccountStore.h"
#include "platform/Error.h"

#include <QImage>
#include <QObject>
#include <QPointer>

class TweetComposer;

// What the tweet sheet's Send does: with a picture, first uploads it (media/upload.json, as a
// JPEG of at most 2048 points a side in base64), then posts the status with the picture's id
// (statuses/update.json), signed with the given account. Success closes the sheet; a refusal or
// a failure shows why and lets the user send again. Lives as long as its sheet.
class TweetSheetPost : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxPictureSide = 2048;

    TweetSheetPost(TweetComposer* sheet, const AccountStore::Account& account, const QImage& picture);

    // The picture as it is uploaded (JPEG bytes); empty for a null picture.
    static QByteArray uploadBytes(const QImage& picture);

private:
    void send(const QString& text);
    void post(const QString& text, const QString& mediaId);
    // A failed step: the first of Twitter's "errors", else the transport error, else the status.
    void failed(int status, const QByteArray& body, const Error& transport);

    QPointer<TweetComposer> m_sheet;
    AccountStore::Account m_account;
    QImage m_picture;
};
