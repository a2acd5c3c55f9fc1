#include "DemoAudioFiles.h"

#include "importer/DemoCatalogue.h"
#include "platform/AtomicFile.h"

#include <QDir>

bool DemoAudioFiles::write(const QString& folder, QString* error,
                           const std::function<void(int, int)>& progress)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    QByteArray config = "# Live audio of the demo channels: ID=SOURCE (see orvane-server --help)\n";
    for (const DemoCatalogue::Channel& channel : DemoCatalogue::channels()) {
        if (channel.autoDetection)
            config += QByteArray::number(channel.id) + "=demo:" + QByteArray::number(channel.id) + "\n";
    }
    if (!AtomicFile::write(QDir(folder).filePath(QStringLiteral("channels.conf")), config, error))
        return false;
    if (progress)
        progress(1, 1);
    return true;
}
