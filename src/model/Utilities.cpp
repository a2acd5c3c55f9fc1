#include "Utilities.h"

#include "AppContext.h"
#include "PreferenceKeys.h"

#include "platform/AtomicFile.h"
#include "platform/Device.h"
#include "platform/JsonValue.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QUuid>

#include <mutex>

Q_DECLARE_LOGGING_CATEGORY(lcCache)

QString Utilities::getDeviceUniqueID()
{
    return deviceUniqueIdForVersion(Device::systemVersion());
}

QString Utilities::deviceUniqueIdForVersion(const QString& platformVersion)
{
    QString seed;
    if (Device::compareVersions(platformVersion, QStringLiteral("6.0")) < 0) {
        Preferences& defaults = Preferences::standard();
        seed = defaults.string(PreferenceKeys::RandomId);
        if (seed.isEmpty()) {
            for (int i = 0; i < 10; ++i)
                seed += QString::number(QRandomGenerator::global()->generate() % 15, 16).toUpper();
            defaults.setValue(PreferenceKeys::RandomId, seed);
        }
    } else {
        seed = installationIdentifier();
    }
    QString id =
        QString::fromLatin1(QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Md5).toHex());
    id[0] = u'i';
    const int major = platformVersion.isEmpty() ? 0 : platformVersion.at(0).digitValue();
    id.replace(1, 2, QString::asprintf("%02d", std::max(major, 0)));
    return id;
}

QString Utilities::installationIdentifier()
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    const QString path = Paths::config() + QStringLiteral("/installation-id");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QUuid stored = QUuid::fromString(QString::fromLatin1(file.readAll().trimmed()));
        if (!stored.isNull())
            return stored.toString(QUuid::WithoutBraces).toUpper();
    }
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (!AtomicFile::write(path, made.toLatin1() + '\n'))
        qCWarning(lcCache) << "the installation id could not be stored; it changes with the next start";
    return made;
}

QString Utilities::getDeviceName()
{
    return Device::machineName();
}

int Utilities::intLocalIdFromMap(int channelId)
{
    const QVariantMap map = AppContext::current()->mapListDict();
    const QString key = QString::number(channelId);
    if (map.isEmpty() || !map.contains(key))
        return channelId;
    return JsonValue::integer(map.value(key));
}

QString Utilities::stringLocalIdFromMap(const QString& channelId)
{
    const QVariantMap map = AppContext::current()->mapListDict();
    if (map.isEmpty())
        return channelId.isNull() ? QStringLiteral("0") : channelId;
    if (!map.contains(channelId))
        return channelId;
    return JsonValue::text(map.value(channelId));
}
