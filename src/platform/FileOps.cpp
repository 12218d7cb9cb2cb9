#include "platform/FileOps.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Makes a rename in this folder survive a power cut.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

}  // namespace

bool copyFileAtomic(const QString& from, const QString& to, QString* error, bool* diskFull)
{
    if (diskFull)
        *diskFull = false;
    // A failed write: whether the disk is full is asked while the partial copy still takes its room.
    const auto writeFailed = [&](QSaveFile& target) {
        const int code = errno;
        const bool full = isDiskFull(to, code);
        if (diskFull)
            *diskFull = full;
        const QString reason = full ? QStringLiteral("the disk is full") : target.errorString();
        target.cancelWriting();
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(to, reason));
    };
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
    if (QFileInfo(to).isDir())
        return fail(error, QStringLiteral("Cannot write %1: it is a folder").arg(to));

    // QSaveFile writes to a temporary file beside the target, syncs it and renames it over the
    // target on commit; without a commit the temporary file is removed.
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return writeFailed(target);

    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0) {
            target.cancelWriting();
            return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
        }
        if (got == 0)
            break;
        if (target.write(buffer.constData(), got) != got)
            return writeFailed(target);
    }
    if (!target.flush())
        return writeFailed(target);
    if (!target.commit())
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(to, target.errorString()));
    syncFolder(QFileInfo(to).absolutePath());
    return true;
}

bool replaceFileAtomic(const QString& from, const QString& to, QString* error)
{
    if (!QFileInfo::exists(from))
        return fail(error, QStringLiteral("Cannot rename %1: it does not exist").arg(from));
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        syncFolder(QFileInfo(to).absolutePath());
        return true;
    }
    const int code = errno;
    if (code == EXDEV) {
        // Different file systems: copy safely, then drop the original.
        if (!copyFileAtomic(from, to, error))
            return false;
        return removeFile(from, error);
    }
    return fail(error, QStringLiteral("Cannot rename %1 to %2: %3").arg(from, to, systemError(code)));
}

bool removeFile(const QString& path, QString* error)
{
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return true;
    if (file.isDir())
        return fail(error, QStringLiteral("Cannot remove %1: it is a folder").arg(path));
    QFile victim(path);
    if (!victim.remove())
        return fail(error, QStringLiteral("Cannot remove %1: %2").arg(path, victim.errorString()));
    syncFolder(file.absolutePath());
    return true;
}

bool isDiskFull(const QString& path, int systemError)
{
    if (systemError == ENOSPC || systemError == EDQUOT)
        return true;
    // The nearest folder that exists on the way to path.
    QFileInfo place(path);
    while (!place.exists() && place.absolutePath() != place.absoluteFilePath())
        place = QFileInfo(place.absolutePath());
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(place.absoluteFilePath()).constData(), &fs) != 0)
        return false;
    constexpr quint64 NextToNothing = 64 * 1024;
    return quint64(fs.f_bavail) * quint64(fs.f_frsize) < NextToNothing;
}

QString computerDiskFullText(const QString& what)
{
    return QStringLiteral("The computer's disk is full: ") + what;
}
