#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

// The archived form of a record: a class name and its keyed values, as a versioned JSON
// document. Values may be texts, numbers, booleans, lists and dictionaries of those, images
// (stored as PNG) and moments (stored as seconds since 1970). Invalid values are left out.
//
// Format (version 1):
//   {"$archive": "orvane", "$version": 1, "$class": "Show", "$values": {"name": "...", ...}}
// with an image as {"$image": "<base64 PNG>"}, a moment as {"$date": seconds}, and a
// dictionary that has keys starting with "$" wrapped as {"$dict": {...}}.
// A reader refuses documents of another version; a later version adds its own reader.
class KeyedArchive
{
public:
    static constexpr int Version = 1;

    struct Contents
    {
        QString className;
        QVariantMap values;
    };

    static QByteArray archive(const QString& className, const QVariantMap& values);
    // None (with a reason) for damaged data, another archive kind or an unknown version.
    static std::optional<Contents> unarchive(const QByteArray& data, QString* error = nullptr);
};
