#pragma once

#include "identification/ChannelSource.h"

#include <QString>

#include <QStringList>
#include <optional>

// The command line of orvane-server: a command and its options.
struct ServerOptions
{
    QString command; // "serve", "import-xmltv", "demo-data", "demo-audio"; empty with help or an error
    QString database;
    QString bind = QStringLiteral("127.0.0.1");
    int port = 22222;
    int idPort = 22223;
    int socialPort = 22224;
    QString file;                  // import-xmltv: the listing; demo-audio: the folder
    QList<ChannelSource> channels; // --channel and --config, in that order
    int historyMinutes = 10;
    double maxBer = 0.31;
    double minMargin = 0.06;
    int maxConnections = 1024;      // per server
    int maxConnectionsPerPeer = 64; // per client address and server
    int workers = 0;                // threads per server; 0: one per processor
    QStringList trustedProxies;     // --trusted-proxy, repeatable
    QString deviceState;            // empty: in the process; else redis://HOST:PORT
    QStringList servers{QStringLiteral("content"), QStringLiteral("identification"),
                        QStringLiteral("social")};
    int city = 1;
    QString cityName;
    // --city-location LAT,LON: where the import's city is, in degrees.
    std::optional<double> cityLatitude;
    std::optional<double> cityLongitude;
    bool help = false;
    QString error;

    // argv without the program name.
    static ServerOptions parse(const QStringList& arguments);
    static QString usage();
    // ~/.local/share/orvane-server/schedule.sqlite (XDG_DATA_HOME honoured).
    static QString defaultDatabase();
};
