#include "Device.h"

#include <QStringList>
#include <QtGlobal>

#include <atomic>
#include <sys/utsname.h>

namespace {

std::atomic<Device::Idiom>& currentIdiom()
{
    static std::atomic<Device::Idiom> idiom{Device::Idiom::Phone};
    return idiom;
}

} // namespace

Device::Idiom Device::idiom()
{
    return currentIdiom().load();
}

void Device::setIdiom(Idiom idiom)
{
    currentIdiom().store(idiom);
}

QSize Device::screenSize()
{
    return isTablet() ? QSize(1024, 768) : QSize(390, 844);
}

QString Device::systemVersion()
{
    return QString::fromLatin1(qVersion());
}

int Device::compareVersions(const QString& a, const QString& b)
{
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int l = i < left.size() ? left[i].toInt() : 0;
        const int r = i < right.size() ? right[i].toInt() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

QString Device::machineName()
{
    static const QString name = [] {
        utsname info{};
        return uname(&info) == 0 ? QString::fromUtf8(info.machine) : QString();
    }();
    return name;
}
