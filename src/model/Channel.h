#pragma once

#include <QImage>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class Show;

// A TV or radio channel. Its server data is the six-element array the channel list sends
// per channel: [name, logo path, is TV, category index, auto detection, slogan]; the
// read-only properties read from it and give empty values for a shorter array.
class Channel
{
public:
    Channel() = default;

    // A channel from its server array (copied).
    static std::shared_ptr<Channel> initWithArray(const QVariantList& array);
    // The channel of a show-details answer: channel fields at the top level, show under "0".
    static std::shared_ptr<Channel> initWithDictionary(const QVariantMap& answer);
    // The channel of a dynamic channel-info answer. The caller sets channelId afterwards.
    static std::shared_ptr<Channel> initWithDictionary2(const QVariantMap& answer);

    // The archived form: the server array, the id, the logo and the hand-choice flag.
    QByteArray encodeWithCoder() const;
    // None, with a reason, for a damaged archive or one of another record or version.
    static std::shared_ptr<Channel> initWithCoder(const QByteArray& archive, QString* error = nullptr);

    const QVariantList& arrayPresentation() const { return m_arrayPresentation; }
    QString name() const;
    QString pictureName() const;
    bool isTV() const;
    int categoryId() const;
    bool isAutoDetection() const;
    QString slogan() const;

    const QString& channelId() const { return m_channelId; }
    void setChannelId(const QString& channelId) { m_channelId = channelId; }
    bool isSelectedManually() const { return m_isSelectedManually; }
    void setIsSelectedManually(bool manually) { m_isSelectedManually = manually; }
    bool isFavorite() const { return m_isFavorite; }
    void setIsFavorite(bool favorite) { m_isFavorite = favorite; }
    bool isWidgetChann() const { return m_isWidgetChann; }
    void setIsWidgetChann(bool widget) { m_isWidgetChann = widget; }
    const QImage& thumbnail() const { return m_thumbnail; }
    void setThumbnail(const QImage& thumbnail) { m_thumbnail = thumbnail; }
    const std::shared_ptr<Show>& currentShow() const { return m_currentShow; }
    void setCurrentShow(std::shared_ptr<Show> show) { m_currentShow = std::move(show); }
    const QString& channLabelString() const { return m_channLabelString; }
    void setChannLabelString(const QString& label) { m_channLabelString = label; }

private:
    QVariant element(int index) const;

    QVariantList m_arrayPresentation;
    QString m_channelId;
    bool m_isSelectedManually = false;
    bool m_isFavorite = false;
    bool m_isWidgetChann = false;
    QImage m_thumbnail;
    std::shared_ptr<Show> m_currentShow;
    QString m_channLabelString;
};
