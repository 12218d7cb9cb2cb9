#include "platform/FileOps.h"

#include "platform/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

QString systemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool unnamedAllowed = true;

QByteArray firstLine(const char* path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray();
}

// A process as the list of unfinished files names it: this boot of the system, its number and
// the moment it started (a later process given the same number started later).
QByteArray processIdentity(qint64 pid)
{
    static const QByteArray boot = firstLine("/proc/sys/kernel/random/boot_id").left(8);
    const QByteArray stat = firstLine(QByteArray("/proc/" + QByteArray::number(pid) + "/stat").constData());
    // The fields after the program's name, which may hold blanks and brackets of its own.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 1).simplified().split(' ');
    if (boot.isEmpty() || fields.size() < 20)
        return {};
    return boot + '-' + QByteArray::number(pid) + '-' + fields.at(19);
}

QString unfinishedList()
{
    return AppFolder::join(QStringLiteral(".unfinished"));
}

QString randomText()
{
    return QString::number(QRandomGenerator::system()->generate64(), 36);
}

bool writeAllTo(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(qMin<qint64>(size, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Enters a file about to be made in the list of unfinished files; the entry, or nothing when the
// list cannot be written (the file is then made all the same).
QString enterUnfinished(const QString& file)
{
    const QString list = unfinishedList();
    const QByteArray me = processIdentity(::getpid());
    if (me.isEmpty() || !QDir().mkpath(list))
        return {};
    const QString entry = list + QLatin1Char('/') + QString::fromLatin1(me) + QLatin1Char('-') + randomText();
    const int fd = ::open(native(entry).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return {};
    const QByteArray path = native(file);
    const bool written = writeAllTo(fd, path.constData(), path.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(native(entry).constData());
        return {};
    }
    syncFolder(list);
    return entry;
}

void leaveUnfinished(const QString& entry)
{
    if (entry.isEmpty())
        return;
    ::unlink(native(entry).constData());
    ::rmdir(native(unfinishedList()).constData());   // only when nothing else is listed
}

}  // namespace

PendingFile::PendingFile(QString target)
    : m_target(QFileInfo(target).absoluteFilePath())
{
}

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::setUnnamedAllowed(bool allowed)
{
    unnamedAllowed = allowed;
}

void PendingFile::removeLeftovers()
{
    const QDir list(unfinishedList());
    for (const QString& name : list.entryList(QDir::Files | QDir::Hidden)) {
        // <boot>-<process>-<start>-<random>: anything else in the list is not one of its entries.
        const QStringList parts = name.split(QLatin1Char('-'));
        bool isNumber = false;
        if (parts.size() != 4 || parts.at(1).toLongLong(&isNumber) <= 0 || !isNumber)
            continue;
        const QString maker = parts.mid(0, 3).join(QLatin1Char('-'));
        if (QString::fromLatin1(processIdentity(parts.at(1).toLongLong())) == maker)
            continue;   // still running: the file is its own
        QFile entry(list.filePath(name));
        const QByteArray file = entry.open(QIODevice::ReadOnly) ? entry.readAll() : QByteArray();
        entry.close();
        struct stat st;
        if (!file.isEmpty() && ::lstat(file.constData(), &st) == 0) {
            if (S_ISREG(st.st_mode))
                ::unlink(file.constData());
        } else if (!file.isEmpty() && !QFileInfo(QFile::decodeName(file)).absoluteDir().exists()) {
            continue;   // on a medium not there now: removed when it is
        }
        leaveUnfinished(list.filePath(name));
    }
}

bool PendingFile::fail(QString* error, const QString& what)
{
    m_systemError = errno;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2").arg(what, systemErrorText(m_systemError));
    return false;
}

bool PendingFile::open(QString* error)
{
    discard();
    m_systemError = 0;
    removeLeftovers();
    const QString folder = QFileInfo(m_target).absolutePath();
    if (unnamedAllowed) {
        m_fd = ::open(native(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        // Giving it a name later goes through /proc.
        if (m_fd >= 0 && ::access("/proc/self/fd", X_OK) == 0)
            return true;
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return fail(error, m_target);
        }
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString named = folder + QStringLiteral("/.") + QFileInfo(m_target).fileName() + QLatin1Char('.') + randomText();
        m_listEntry = enterUnfinished(named);
        m_fd = ::open(native(named).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_named = named;
            return true;
        }
        const int code = errno;
        leaveUnfinished(m_listEntry);
        m_listEntry.clear();
        errno = code;
        if (code != EEXIST)
            break;
    }
    return fail(error, m_target);
}

QString PendingFile::path() const
{
    if (m_fd < 0)
        return {};
    return m_named.isEmpty() ? QStringLiteral("/proc/self/fd/%1").arg(m_fd) : m_named;
}

bool PendingFile::write(const char* data, qint64 size)
{
    if (m_fd < 0) {
        m_systemError = EBADF;
        return false;
    }
    if (!writeAllTo(m_fd, data, size)) {
        m_systemError = errno;
        return false;
    }
    return true;
}

bool PendingFile::commit(QString* error)
{
    if (m_fd < 0) {
        errno = EBADF;
        return fail(error, m_target);
    }
    if (::fsync(m_fd) != 0)
        return fail(error, m_target);
    // The permissions of the file replaced, else those the user gives new files.
    struct stat existing;
    mode_t mode;
    if (::stat(native(m_target).constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(m_fd, mode);

    const QString folder = QFileInfo(m_target).absolutePath();
    QString linkedEntry;
    if (m_named.isEmpty()) {
        // A link is made only where no file stands: a new name first, then renamed over the target.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(m_target).constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno != EEXIST)
                return fail(error, m_target);
            const QString linked = folder + QStringLiteral("/.") + QFileInfo(m_target).fileName() + QLatin1Char('.') + randomText();
            // Listed while it has a name, as the named kind is: a program ended before the rename
            // leaves a whole copy that the next pending file removes.
            linkedEntry = enterUnfinished(linked);
            const bool isLinked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(linked).constData(), AT_SYMLINK_FOLLOW) == 0;
            if (!isLinked || ::rename(native(linked).constData(), native(m_target).constData()) != 0) {
                const int code = errno;
                if (isLinked)
                    ::unlink(native(linked).constData());
                leaveUnfinished(linkedEntry);
                errno = code;
                return fail(error, m_target);
            }
        }
    } else if (::rename(native(m_named).constData(), native(m_target).constData()) != 0) {
        return fail(error, m_target);
    } else {
        m_named.clear();
    }
    syncFolder(folder);
    ::close(m_fd);
    m_fd = -1;
    leaveUnfinished(linkedEntry);
    leaveUnfinished(m_listEntry);
    m_listEntry.clear();
    return true;
}

bool PendingFile::diskFull() const
{
    // The file is written in the target's folder, whatever the target's name may link to.
    return isDiskFull(QFileInfo(m_target).absolutePath(), m_systemError);
}

void PendingFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_named.isEmpty())
        ::unlink(native(m_named).constData());
    m_named.clear();
    leaveUnfinished(m_listEntry);
    m_listEntry.clear();
}

bool copyFileAtomic(const QString& from, const QString& to, QString* error, bool* diskFull)
{
    if (diskFull)
        *diskFull = false;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
    if (QFileInfo(to).isDir())
        return fail(error, QStringLiteral("Cannot write %1: it is a folder").arg(to));

    PendingFile target(to);
    // A failed write: whether the disk is full is asked while the partial copy still takes its room.
    const auto writeFailed = [&] {
        const bool full = target.diskFull();
        if (diskFull)
            *diskFull = full;
        const QString reason = full ? QStringLiteral("the disk is full") : systemErrorText(target.systemError());
        target.discard();
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(to, reason));
    };
    if (!target.open())
        return writeFailed();
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0)
            return fail(error, QStringLiteral("Cannot read %1: %2").arg(from, source.errorString()));
        if (got == 0)
            break;
        if (!target.write(buffer.constData(), got))
            return writeFailed();
    }
    if (!target.commit())
        return writeFailed();
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
    return fail(error, QStringLiteral("Cannot rename %1 to %2: %3").arg(from, to, systemErrorText(code)));
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
