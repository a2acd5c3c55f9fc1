#include "ServerConfig.h"

#include <mutex>

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

ServerAddress& content()
{
    static ServerAddress address(QStringLiteral("localhost"), ServerConfig::ContentPort);
    return address;
}

ServerAddress& identification()
{
    static ServerAddress address(QStringLiteral("localhost"), ServerConfig::IdentificationPort);
    return address;
}

bool assign(ServerAddress& target, const QString& text, quint16 defaultPort)
{
    const ServerAddress parsed = ServerAddress::parse(text, defaultPort);
    if (!parsed.isValid())
        return false;
    std::lock_guard guard(lock());
    target = parsed;
    return true;
}

} // namespace

ServerAddress ServerConfig::contentServer()
{
    std::lock_guard guard(lock());
    return content();
}

ServerAddress ServerConfig::identificationServer()
{
    std::lock_guard guard(lock());
    return identification();
}

bool ServerConfig::setContentHost(const QString& hostText)
{
    return assign(content(), hostText, ContentPort);
}

bool ServerConfig::setIdentificationHost(const QString& hostText)
{
    return assign(identification(), hostText, IdentificationPort);
}
