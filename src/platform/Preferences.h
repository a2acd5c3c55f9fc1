#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <mutex>

class QSettings;

// The per-user preferences store (user defaults) over an INI file in Paths::config().
//
// Values are written through at once. A file that cannot be read or parsed is moved aside
// (kept with a ".broken-<time>" suffix) and the store starts empty, so the defaults apply
// and the next change writes a fresh file. Safe to use from any thread.
class Preferences
{
public:
    static Preferences& standard();
    // Forgets the shared instance so that the next standard() re-reads the file (tests).
    static void resetStandard();

    explicit Preferences(const QString& filePath);
    ~Preferences();

    QString filePath() const { return m_filePath; }

    bool contains(const QString& key) const;
    QVariant object(const QString& key) const;
    // Typed reads with the conventional empty results for a missing key.
    int integer(const QString& key) const;
    QString string(const QString& key) const;
    QVariantMap dictionary(const QString& key) const;
    QVariantList array(const QString& key) const;

    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

private:
    void open();

    QString m_filePath;
    mutable std::mutex m_lock;
    std::unique_ptr<QSettings> m_settings;
};
