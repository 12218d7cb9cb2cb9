#include "platform/DriveA.h"

#include "platform/AppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

DriveA* installedDrive = nullptr;

QString& configured()
{
    static QString folder;
    return folder;
}

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

// The first removable medium the desktop has mounted, in name order; empty when there is none.
QString mountedMedium()
{
    const QString user = userName();
    QStringList places;
    if (!user.isEmpty()) {
        places << QStringLiteral("/media/%1/").arg(user) << QStringLiteral("/run/media/%1/").arg(user);
    }
    places << QStringLiteral("/media/");
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    }
    roots.sort();
    for (const QString& place : std::as_const(places)) {
        for (const QString& root : std::as_const(roots)) {
            if (root.startsWith(place) && root.size() > place.size())
                return root;
        }
    }
    return QString();
}

class MountedDrive : public DriveA {
public:
    QString folder() override
    {
        if (!configured().isEmpty())
            return configured();
        const QString medium = mountedMedium();
        return medium.isEmpty() ? QStringLiteral("/media/floppy") : medium;
    }

    State state(bool forWriting) override
    {
        const QString root = folder();
        const QFileInfo info(root);
        if (root.isEmpty() || !info.isDir() || !QDir(root).isReadable())
            return State::NoDisk;
        if (!forWriting)
            return State::Ready;
        const QByteArray native = QFile::encodeName(root);
        struct statvfs fs;
        if (::statvfs(native.constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
            return State::WriteProtected;
        if (::access(native.constData(), W_OK) != 0)
            return State::WriteProtected;
        return State::Ready;
    }
};

}  // namespace

QString DriveA::path(const QString& legacyName)
{
    QString name = legacyName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        name.remove(0, 2);
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    QString root = folder();
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return resolveNoCase(root + name);
}

DriveA& DriveA::get()
{
    static MountedDrive real;
    return installedDrive ? *installedDrive : real;
}

void DriveA::install(DriveA* d)
{
    installedDrive = d;
}

void DriveA::setFolder(const QString& folder)
{
    configured() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

QString DriveA::configuredFolder()
{
    return configured();
}
