#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QTimeZone>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// One message of the channel talk, from the content server's talk feed or from a Twitter
// status. Ids are decimal strings (they exceed 2^53). A text field that the JSON lacks is a
// null QString ("none"); replyId and replyName are a QVariant: invalid when missing, the
// null marker for JSON null, or the string.
class Tweet
{
public:
    // An element of the content server's talk answer; serverOffset: device clock minus server
    // clock in seconds (the application controller's roundedServerTimeDifference). The feed's
    // time is read in the device's zone (given, so that a list reads it once).
    static Tweet initWithDictionaryFromService(const QVariantMap& dictionary, double serverOffset,
                                               const QTimeZone& deviceZone = QTimeZone::systemTimeZone());
    // A Twitter status object; its time is GMT.
    static Tweet initWithDictionaryFromTwitter(const QVariantMap& dictionary);

    const QString& tweetId() const { return m_tweetId; }
    const QString& text() const { return m_text; }
    const QString& senderId() const { return m_senderId; }
    const QString& senderName() const { return m_senderName; }
    const QString& senderUsername() const { return m_senderUsername; }
    const QString& profileImageUrl() const { return m_profileImageUrl; }
    const QVariant& replyId() const { return m_replyId; }
    const QVariant& replyName() const { return m_replyName; }
    const QString& mediaImgUrl() const { return m_mediaImgUrl; }
    const QString& sourceName() const { return m_sourceName; }
    const QString& sourceUrl() const { return m_sourceUrl; }
    // The moment (in UTC; shown in the device's zone).
    const QDateTime& tweetTime() const { return m_tweetTime; }
    // The relative time text of lists, made when first asked for (only shown rows pay for it).
    const QString& tweetTimeDisplay() const;
    const QImage& thumbnail() const { return m_thumbnail; }
    bool isOwn() const { return m_isOwn; }
    bool isFavorited() const { return m_isFavorited; }
    bool isDeleted() const { return m_isDeleted; }
    bool isOrvane() const { return m_isOrvane; }

    void setThumbnail(const QImage& image) { m_thumbnail = image; }
    void setIsOwn(bool own) { m_isOwn = own; }
    void setIsFavorited(bool favorited) { m_isFavorited = favorited; }
    void setIsDeleted(bool deleted) { m_isDeleted = deleted; }
    void setIsOrvane(bool orvane) { m_isOrvane = orvane; }

    // The link address and link text of an HTML source ("<a href=…>name</a>"); empty when the
    // source has none.
    static QString linkAddress(const QString& source);
    static QString linkText(const QString& source);

private:
    void readCommon(const QVariantMap& message, const QVariantMap& sender, const QVariantMap& status,
                    const QVariant& source);

    QString m_tweetId;
    QString m_text;
    QString m_senderId;
    QString m_senderName;
    QString m_senderUsername;
    QString m_profileImageUrl;
    QVariant m_replyId;
    QVariant m_replyName;
    QString m_mediaImgUrl;
    QString m_sourceName;
    QString m_sourceUrl;
    QDateTime m_tweetTime;
    mutable std::optional<QString> m_tweetTimeDisplay;
    QImage m_thumbnail;
    bool m_isOwn = false;
    bool m_isFavorited = false;
    bool m_isDeleted = false;
    bool m_isOrvane = false;
};
