#include "platform/FileOps.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

bool copyFileAtomic(const QString& from, const QString& to, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
    if (QFileInfo(to).isDir())
        return fail(error, QStringLiteral("Cannot write %1: it is a folder").arg(to));

    // QSaveFile writes to a temporary file beside the target, syncs it and renames it over the
    // target on commit; without a commit the temporary file is removed.
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(to, target.errorString()));

    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0) {
            target.cancelWriting();
            return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
        }
        if (got == 0)
            break;
        if (target.write(buffer.constData(), got) != got) {
            const QString reason = target.errorString();
            target.cancelWriting();
            return fail(error, QStringLiteral("Cannot write %1: %2").arg(to, reason));
        }
    }
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
