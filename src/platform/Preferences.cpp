#include "Preferences.h"

#include "Paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcPreferences, "orvane.preferences")

namespace {

std::unique_ptr<Preferences>& sharedInstance()
{
    static std::unique_ptr<Preferences> instance;
    return instance;
}

std::mutex& sharedLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

Preferences& Preferences::standard()
{
    std::lock_guard guard(sharedLock());
    auto& instance = sharedInstance();
    if (!instance)
        instance = std::make_unique<Preferences>(Paths::config() + QStringLiteral("/orvane.conf"));
    return *instance;
}

void Preferences::resetStandard()
{
    std::lock_guard guard(sharedLock());
    sharedInstance().reset();
}

Preferences::Preferences(const QString& filePath) : m_filePath(filePath)
{
    open();
}

Preferences::~Preferences() = default;

void Preferences::open()
{
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    const QFileInfo info(m_filePath);
    const bool unreadable = info.exists() && (!info.isFile() || !info.isReadable());
    if (m_settings->status() == QSettings::NoError && !unreadable)
        return;

    const QString aside = m_filePath + QStringLiteral(".broken-") +
                          QDateTime::currentDateTimeUtc().toString(u"yyyyMMddTHHmmss");
    qCWarning(lcPreferences) << "preferences file" << m_filePath << "cannot be read; moved to" << aside;
    m_settings.reset();
    QFile::rename(m_filePath, aside);
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    m_settings->clear();
}

bool Preferences::contains(const QString& key) const
{
    std::lock_guard guard(m_lock);
    return m_settings->contains(key);
}

QVariant Preferences::object(const QString& key) const
{
    std::lock_guard guard(m_lock);
    return m_settings->value(key);
}

int Preferences::integer(const QString& key) const
{
    return object(key).toInt();
}

QString Preferences::string(const QString& key) const
{
    const QVariant value = object(key);
    return value.canConvert<QString>() ? value.toString() : QString();
}

QVariantMap Preferences::dictionary(const QString& key) const
{
    const QVariant value = object(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QVariantList Preferences::array(const QString& key) const
{
    const QVariant value = object(key);
    switch (value.typeId()) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return value.toList();
    case QMetaType::QString:
        // The INI format writes a one-element list as a plain value.
        return value.toString().isEmpty() ? QVariantList() : QVariantList{value};
    default:
        return {};
    }
}

void Preferences::setValue(const QString& key, const QVariant& value)
{
    std::lock_guard guard(m_lock);
    m_settings->setValue(key, value);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qCWarning(lcPreferences) << "could not write" << m_filePath;
}

void Preferences::remove(const QString& key)
{
    std::lock_guard guard(m_lock);
    m_settings->remove(key);
    m_settings->sync();
}
