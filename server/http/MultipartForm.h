#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A multipart/form-data body: its parts with their names, file names, types and bytes. The
// closing delimiter may be followed by anything (clients end it with "\r \n" as well as
// "\r\n"); a body with no closing delimiter, more than MaxParts parts or a part without a
// name is refused.
struct MultipartForm
{
    struct Part
    {
        QByteArray name;
        QByteArray filename;
        QByteArray contentType;
        QByteArray data;
        bool isFile() const { return !filename.isEmpty(); }
    };

    static constexpr int MaxParts = 16;

    QList<Part> parts;

    const Part* part(const QByteArray& name) const;
    QByteArray field(const QByteArray& name) const;

    // contentType: the request's Content-Type header; nullopt with *error for a body that
    // is not such a form.
    static std::optional<MultipartForm> parse(const QByteArray& contentType, const QByteArray& body, QString* error);
};
