#pragma once

#include "ServerAddress.h"

// The two servers the application talks to. Their hosts are configuration (command line);
// the ports default to the fixed service ports unless the host text carries one.
class ServerConfig
{
public:
    static constexpr quint16 ContentPort = 22222;
    static constexpr quint16 IdentificationPort = 22223;

    static ServerAddress contentServer();
    static ServerAddress identificationServer();
    // Both return false and change nothing when the text is not a valid host.
    static bool setContentHost(const QString& hostText);
    static bool setIdentificationHost(const QString& hostText);
};
