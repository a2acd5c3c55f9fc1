#pragma once

#include "http/HttpResponse.h"
#include "store/StoreRecords.h"

#include <QVariantMap>

class SocialStore;

// The microblog service's answers in the shapes of the public microblog API: users, statuses
// (with "user", "entities"."media", "in_reply_to_*", "source") and errors
// {"errors":[{"code":…,"message":…}]}.
class SocialJson
{
public:
    // base: "http://host:port/" of the request, for picture addresses.
    SocialJson(SocialStore& store, QString base, qint64 viewer)
        : m_store(store), m_base(std::move(base)), m_viewer(viewer)
    {}

    QVariantMap user(const StoreUser& user);
    QVariantMap status(const StoreMessage& status, int depth = 0);
    QVariantList statuses(const QList<StoreMessage>& list);
    QString pictureOf(qint64 userId) const;

    static HttpResponse error(int status, int code, const QString& message);
    // "EEE MMM dd HH:mm:ss +0000 yyyy" in English, GMT.
    static QString time(qint64 secondsSince1970);

private:
    SocialStore& m_store;
    QString m_base;
    qint64 m_viewer;
};
