#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh, empty ORVANE_HOME for the lifetime of the object: documents, preferences and
// caches of the code under test go there. The shared preferences are re-read.
class TestHome
{
public:
    TestHome();
    ~TestHome();

    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};
