#include "Error.h"

Error::Error(QString domain, int code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{}

Error Error::withDescription(QString domain, int code, const QString& description)
{
    return Error(std::move(domain), code, {{LocalizedDescriptionKey, description}});
}

bool Error::hasLocalizedDescription() const
{
    return m_userInfo.contains(LocalizedDescriptionKey);
}

QString Error::localizedDescription() const
{
    if (hasLocalizedDescription())
        return m_userInfo.value(LocalizedDescriptionKey).toString();
    return QStringLiteral("The operation couldn't be completed. (%1 error %2.)").arg(m_domain).arg(m_code);
}
