#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

// A failure as a value: a domain, a code within it, and optional user information.
// The user-facing text lives under LocalizedDescriptionKey; an error without it still
// describes itself for logs through localizedDescription().
class Error
{
public:
    static inline const QString LocalizedDescriptionKey = QStringLiteral("localizedDescription");

    Error() = default;
    Error(QString domain, int code, QVariantMap userInfo = {});
    static Error withDescription(QString domain, int code, const QString& description);

    const QString& domain() const { return m_domain; }
    int code() const { return m_code; }
    const QVariantMap& userInfo() const { return m_userInfo; }
    bool isNull() const { return m_domain.isEmpty(); }

    // True when the user information carries a description of its own.
    bool hasLocalizedDescription() const;
    // The carried description, or a generic sentence naming the domain and code.
    QString localizedDescription() const;

    bool operator==(const Error& other) const = default;

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
};

Q_DECLARE_METATYPE(Error)
