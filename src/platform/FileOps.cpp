#include "platform/FileOps.h"

#include "platform/AppFolder.h"
#include "platform/FolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
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

// 64 random bits, always in 13 letters and digits.
QString randomText()
{
    return QString::number(QRandomGenerator::system()->generate64(), 36).rightJustified(13, QLatin1Char('0'));
}

// The hidden name a pending file of target has in folder while it is written.
QString hiddenName(const QString& folder, const QString& target)
{
    return folder + QStringLiteral("/.") + QFileInfo(target).fileName() + QLatin1Char('.') + randomText();
}

// Whether a file name is of that form: a dot, a name, a dot and the random part.
bool isHiddenName(const QByteArray& name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (!name.startsWith('.') || dot < 2 || name.size() - dot - 1 < 1 || name.size() - dot - 1 > 13)
        return false;
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        const char c = name.at(i);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// Whether a hidden name has the random part this program draws in full (13 letters and digits):
// what no file another program made is named by chance.
bool isDrawnName(const QByteArray& name)
{
    return isHiddenName(name) && name.size() - name.lastIndexOf('.') - 1 == 13;
}

bool lastingInodeNumbers = true;

// Whether the file system that holds the folder open at dir keeps a file's inode number from one
// mount to the next. FAT and exFAT (sticks, memory cards) keep none on the disk: the system numbers
// their files anew whenever it reads them again (after the medium is plugged in again, after a
// restart), and so do many file systems run outside the kernel.
bool keepsInodeNumbers(int dir)
{
    if (!lastingInodeNumbers)
        return false;
    struct statfs fs;
    if (::fstatfs(dir, &fs) != 0)
        return true;
    switch (quint32(fs.f_type)) {
    case 0x4d44u:       // FAT
    case 0x2011bab0u:   // exFAT
    case 0x65735546u:   // FUSE
        return false;
    default:
        return true;
    }
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

// What an entry of the list says after the file's path: the device and inode of the file made.
QByteArray identityOf(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return {};
    return '\0' + QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
}

// Adds the identity of the file open at fd to its entry in the list: only a file so recorded is
// ever removed by the list.
void recordIdentity(const QString& entry, int fd)
{
    if (entry.isEmpty())
        return;
    const QByteArray identity = identityOf(fd);
    const int out = ::open(native(entry).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (out < 0)
        return;
    if (!identity.isEmpty() && writeAllTo(out, identity.constData(), identity.size()))
        ::fsync(out);
    ::close(out);
}

// Enters a file about to be made in the list of unfinished files (with the identity of the file
// open at fd, when it is already made); the entry, or nothing when the list cannot be written (the
// file is then made all the same).
QString enterUnfinished(const QString& file, int fd = -1)
{
    const QString list = unfinishedList();
    const QByteArray me = processIdentity(::getpid());
    if (me.isEmpty() || !QDir().mkpath(list))
        return {};
    const QString entry = list + QLatin1Char('/') + QString::fromLatin1(me) + QLatin1Char('-') + randomText();
    const int out = ::open(native(entry).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return {};
    const QByteArray content = native(file) + (fd >= 0 ? identityOf(fd) : QByteArray());
    const bool written = writeAllTo(out, content.constData(), content.size()) && ::fsync(out) == 0;
    ::close(out);
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

// What became of a file an entry of the list names.
enum class Leftover {
    Removed,        // it was the program's own and is gone
    Absent,         // nothing of the kind stands there
    NotProven,      // something stands there that the program cannot prove it made: left alone
    MediumMissing,  // its folder is not there now (a medium taken out): asked again later
};

// Removes what an entry of the list names when, and only when, the program can prove it made it:
// the entry's text is read as input from outside.
Leftover removeLeftover(const QByteArray& content)
{
    const qsizetype nul = content.indexOf('\0');
    const QByteArray path = nul < 0 ? content : content.left(nul);
    const QList<QByteArray> identity = nul < 0 ? QList<QByteArray>() : content.mid(nul + 1).split(' ');
    const QString file = QFile::decodeName(path);
    if (path.isEmpty() || path.contains('\0') || !QDir::isAbsolutePath(file) || QDir::cleanPath(file) != file)
        return Leftover::NotProven;
    const qsizetype cut = path.lastIndexOf('/');
    const QByteArray folder = cut == 0 ? QByteArray("/") : path.left(cut);
    const QByteArray name = path.mid(cut + 1);
    struct stat st;
    if (::lstat(folder.constData(), &st) != 0)
        return errno == ENOENT ? Leftover::MediumMissing : Leftover::NotProven;
    // Its own hidden name, in a folder reached without links (none can have been put on the way).
    if (!isHiddenName(name) || QFileInfo(QFile::decodeName(folder)).canonicalFilePath() != QFile::decodeName(folder))
        return Leftover::NotProven;
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return Leftover::NotProven;
    Leftover result = Leftover::NotProven;
    if (::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result = errno == ENOENT ? Leftover::Absent : Leftover::NotProven;
    } else {
        // The very file the program made: the inode number recorded when it was made, a plain
        // file of this account that has no other name. The device number is not compared: a medium
        // (a stick, a network folder, a subvolume) may be given another one each time it is mounted.
        // Where the file system numbers its files anew at each mount, the random part of the name,
        // drawn in full, is what shows the program made it.
        bool isInode = false;
        const bool recorded = identity.size() == 2 && identity.at(1).toULongLong(&isInode) == quint64(st.st_ino) && isInode;
        const bool proven = keepsInodeNumbers(dir) ? recorded : isDrawnName(name);
        if (proven && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 && ::unlinkat(dir, name.constData(), 0) == 0)
            result = Leftover::Removed;
    }
    ::close(dir);
    return result;
}

}  // namespace

QString linkTarget(const QString& path)
{
    // As the system follows them, up to its own limit: a link's text is read from the folder the
    // link stands in once that folder's own links are followed, so that ".." in it goes up from
    // there (never back along the link, as tidying the text would take it).
    QByteArray file = native(path);
    if (!file.startsWith('/'))
        file = native(QDir::currentPath()) + '/' + file;
    for (int depth = 0;; ++depth) {
        const qsizetype cut = file.lastIndexOf('/');
        const QByteArray name = file.mid(cut + 1);
        char real[PATH_MAX];
        if (name.isEmpty() || name == "." || name == "..")   // a folder
            return ::realpath(file.constData(), real) ? QFile::decodeName(real) : QDir::cleanPath(QFile::decodeName(file));
        if (!::realpath(cut == 0 ? "/" : file.left(cut).constData(), real))
            return QDir::cleanPath(QFile::decodeName(file));
        const QByteArray folder(real);
        file = (folder == "/" ? folder : folder + '/') + name;
        char text[PATH_MAX];
        const ssize_t n = depth < 40 ? ::readlink(file.constData(), text, sizeof text) : -1;
        if (n <= 0)
            return QFile::decodeName(file);
        const QByteArray target(text, qsizetype(n));
        file = target.startsWith('/') ? target : folder + '/' + target;
    }
}

void takeAttributesOf(int fd, const QString& replaced)
{
    struct stat existing;
    if (::stat(native(replaced).constData(), &existing) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    // The group first (any group this account belongs to), then the owner (only where permitted);
    // the mode last, as a change of owner clears the set-id bits.
    struct stat mine;
    if (::fstat(fd, &mine) == 0) {
        if (mine.st_gid != existing.st_gid)
            (void)::fchown(fd, uid_t(-1), existing.st_gid);
        if (mine.st_uid != existing.st_uid)
            (void)::fchown(fd, existing.st_uid, gid_t(-1));
    }
    ::fchmod(fd, existing.st_mode & 07777);
}

namespace {

// A file in the program's folder that the program or its database engine keeps for itself.
bool isKeptBeside(const QString& name)
{
    if (name.compare(ProgramFolderLock::fileName, Qt::CaseInsensitive) == 0)
        return true;
    for (const char* journal : {"-journal", "-wal", "-shm"}) {
        if (name.endsWith(QLatin1String(journal), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

}  // namespace

bool isSameFile(const QString& a, const QString& b)
{
    struct stat x;
    struct stat y;
    const bool hasA = ::stat(native(a).constData(), &x) == 0;
    const bool hasB = ::stat(native(b).constData(), &y) == 0;
    if (hasA && hasB)
        return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
    if (hasA || hasB)
        return false;
    const QFileInfo p(linkTarget(a));
    const QFileInfo q(linkTarget(b));
    return p.absolutePath() == q.absolutePath() && p.fileName().compare(q.fileName(), Qt::CaseInsensitive) == 0;
}

bool isProgramBookkeeping(const QString& path)
{
    struct stat program;
    if (::stat(native(AppFolder::path()).constData(), &program) != 0)
        return false;
    const auto same = [](const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; };
    struct stat st;
    struct stat list;
    const bool listExists = ::stat(native(unfinishedList()).constData(), &list) == 0;
    const QString lockFile = AppFolder::join(ProgramFolderLock::fileName);
    struct stat lock;
    const bool lockExists = ::stat(native(lockFile).constData(), &lock) == 0;
    // The file itself: the list, or the lock file under another name.
    if (::stat(native(path).constData(), &st) == 0 && ((listExists && same(st, list)) || (lockExists && same(st, lock))))
        return true;
    // Each folder on the way up: the list, or the program's folder with the list or the lock file
    // as the next step down, in any letter case.
    QStringList below;
    QString at = linkTarget(path);
    for (;;) {
        const QFileInfo info(at);
        const QString parent = info.absolutePath();
        below.prepend(info.fileName());
        if (::stat(native(parent).constData(), &st) == 0) {
            if (listExists && same(st, list))
                return true;
            if (same(st, program) && (below.first().compare(QStringLiteral(".unfinished"), Qt::CaseInsensitive) == 0 || (below.size() == 1 && isKeptBeside(below.first()))))
                return true;
        }
        if (parent == at || parent.isEmpty())
            return false;
        at = parent;
    }
}

PendingFile::PendingFile(QString target)
    : m_target(linkTarget(target))
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

void PendingFile::setLastingInodeNumbers(bool lasting)
{
    lastingInodeNumbers = lasting;
}

void PendingFile::removeLeftovers()
{
    // The list is this program's, but what it holds is read as input from outside: a list that is
    // a link, entries of other accounts, entries that are not plain files are not read.
    const int list = ::open(native(unfinishedList()).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (list < 0)
        return;
    QList<QByteArray> names;
    if (DIR* d = ::fdopendir(::dup(list))) {
        while (const dirent* e = ::readdir(d))
            names << QByteArray(e->d_name);
        ::closedir(d);
    }
    for (const QByteArray& name : std::as_const(names)) {
        // <boot>-<process>-<start>-<random>: anything else in the list is not one of its entries.
        const QList<QByteArray> parts = name.split('-');
        bool isNumber = false;
        if (parts.size() != 4 || parts.at(1).toLongLong(&isNumber) <= 0 || !isNumber)
            continue;
        const QByteArray maker = parts.mid(0, 3).join('-');
        if (processIdentity(parts.at(1).toLongLong()) == maker)
            continue;   // still running: the file is its own
        const int entry = ::openat(list, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (entry < 0)
            continue;
        struct stat st;
        QByteArray content;
        constexpr qint64 Longest = 8192;   // a path and an identity
        const bool mine = ::fstat(entry, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
        if (mine && st.st_size <= Longest) {
            content.resize(qsizetype(st.st_size));
            const ssize_t n = ::read(entry, content.data(), size_t(content.size()));
            content.resize(n < 0 ? 0 : qsizetype(n));
        }
        ::close(entry);
        if (!mine)
            continue;   // another account's, or not an entry at all
        if (removeLeftover(content) == Leftover::MediumMissing)
            continue;   // on a medium not there now: removed when it is
        ::unlinkat(list, name.constData(), 0);
    }
    ::close(list);
    ::rmdir(native(unfinishedList()).constData());   // only when nothing else is listed
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
    if (isProgramBookkeeping(m_target)) {
        errno = EPERM;
        return fail(error, m_target);
    }
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
        const QString named = hiddenName(folder, m_target);
        m_listEntry = enterUnfinished(named);
        m_fd = ::open(native(named).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_named = named;
            recordIdentity(m_listEntry, m_fd);
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
    takeAttributesOf(m_fd, m_target);
    if (::fsync(m_fd) != 0)
        return fail(error, m_target);

    const QString folder = QFileInfo(m_target).absolutePath();
    QString linkedEntry;
    if (m_named.isEmpty()) {
        // A link is made only where no file stands: a new name first, then renamed over the target.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(m_target).constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno != EEXIST)
                return fail(error, m_target);
            const QString linked = hiddenName(folder, m_target);
            // Listed while it has a name, as the named kind is: a program ended before the rename
            // leaves a whole copy that the next pending file removes.
            linkedEntry = enterUnfinished(linked, m_fd);
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

bool replaceFileAtomic(const QString& from, const QString& linkOrFile, QString* error)
{
    const QString to = linkTarget(linkOrFile);
    if (!QFileInfo::exists(from))
        return fail(error, QStringLiteral("Cannot rename %1: it does not exist").arg(from));
    if (isProgramBookkeeping(to))
        return fail(error, QStringLiteral("Cannot rename %1 to %2: %3").arg(from, to, systemErrorText(EPERM)));
    const int fd = ::open(native(from).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        takeAttributesOf(fd, to);
        ::close(fd);
    }
    if (::rename(native(from).constData(), native(to).constData()) == 0) {
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
