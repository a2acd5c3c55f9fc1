#pragma once

#include <QDateTime>

#include <memory>

class Channel;
class ORVManagedObjectContext;
class Show;

// The records of the local database. They belong to their context: changing a field marks
// the record changed there; nothing reaches the store before the context saves.

// A channel the user keeps ("Channels"): the channel, archived, and whether it is a favourite.
class Channels
{
public:
    const std::shared_ptr<Channel>& channel_object() const { return m_channel; }
    bool is_favorite() const { return m_isFavorite; }
    void setIs_favorite(bool favorite);

private:
    friend class ORVManagedObjectContext;
    ORVManagedObjectContext* m_context = nullptr;
    qint64 m_row = 0;
    std::shared_ptr<Channel> m_channel;
    bool m_isFavorite = false;
};

// A show that was watched ("History"): when, on which channel.
class History
{
public:
    const QDateTime& detected_time() const { return m_detectedTime; }
    const std::shared_ptr<Channel>& channel_object() const { return m_channel; }
    const std::shared_ptr<Show>& show_object() const { return m_show; }

private:
    friend class ORVManagedObjectContext;
    ORVManagedObjectContext* m_context = nullptr;
    qint64 m_row = 0;
    QDateTime m_detectedTime;
    std::shared_ptr<Channel> m_channel;
    std::shared_ptr<Show> m_show;
};

// How often a channel was confirmed ("Rating").
class Rating
{
public:
    int channId() const { return m_channId; }
    float rating() const { return m_rating; }
    void setRating(float rating);

private:
    friend class ORVManagedObjectContext;
    ORVManagedObjectContext* m_context = nullptr;
    qint64 m_row = 0;
    int m_channId = 0;
    float m_rating = 0;
};
