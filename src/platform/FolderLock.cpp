#include "platform/FolderLock.h"

#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

const QString ProgramFolderLock::fileName = QStringLiteral("Inventory.lock");

namespace {

// The folders this process holds, by canonical path: a second lock taken by this same process
// on one of them would conflict with its own.
QSet<QString>& heldHere()
{
    static QSet<QString> folders;
    return folders;
}

QString canonical(const QString& folder)
{
    const QString c = QFileInfo(folder).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : c;
}

// An exclusive lock on an open file, without waiting: 0 taken, else the errno of the refusal.
int tryLock(int fd)
{
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

// Network file systems lock only files opened for writing, and so never a directory.
bool cannotLockDirectories(int error)
{
    return error == EBADF || error == EINVAL || error == ENOLCK || error == EOPNOTSUPP;
}

// Takes the lock every copy takes on folder: on the folder itself, which anybody who may read the
// folder can open, whatever account made the files in it; only where the file system cannot lock
// a directory, on the lock file beside the database (made when create is true, with the access
// the user's umask gives, so that other accounts can open it too). Returns 0 with *fd holding the
// lock, EWOULDBLOCK when another holder has it, else why no lock can be had there.
int lockFolder(const QString& folder, bool create, int* fd)
{
    *fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (*fd < 0)
        return errno;
    int error = tryLock(*fd);
    if (error != 0 && cannotLockDirectories(error)) {
        ::close(*fd);
        const QByteArray file = QFile::encodeName(QDir(folder).filePath(ProgramFolderLock::fileName));
        *fd = ::open(file.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
        if (*fd < 0)
            return errno;
        error = tryLock(*fd);
    }
    if (error != 0) {
        ::close(*fd);
        *fd = -1;
    }
    return error;
}

}  // namespace

ProgramFolderLock::ProgramFolderLock(const QString& folder)
    : m_folder(canonical(folder))
{
    if (heldHere().contains(m_folder)) {
        m_state = State::HeldElsewhere;   // one holder per folder, also within this process
        return;
    }
    const int error = lockFolder(m_folder, true, &m_fd);
    if (error == EWOULDBLOCK) {
        m_state = State::HeldElsewhere;
    } else if (error != 0) {
        m_reason = QString::fromLocal8Bit(std::strerror(error));
    } else {
        m_state = State::Held;
        heldHere().insert(m_folder);
    }
}

ProgramFolderLock::~ProgramFolderLock()
{
    if (m_state == State::Held) {
        heldHere().remove(m_folder);
        ::close(m_fd);   // closing lets go of the lock
    }
}

bool ProgramFolderLock::heldByAnotherCopy(const QString& folder)
{
    const QString c = canonical(folder);
    if (heldHere().contains(c))
        return false;
    int fd = -1;
    const int error = lockFolder(c, false, &fd);
    if (fd >= 0)
        ::close(fd);
    return error == EWOULDBLOCK;   // a folder nobody can lock has nobody working in it
}

bool ProgramFolderLock::isDatabaseOfAnotherCopy(const QString& path)
{
    // The file written is the one a link names.
    const QFileInfo file(linkTarget(path));
    return file.fileName().compare(QStringLiteral("Inventory.mdb"), Qt::CaseInsensitive) == 0
        && heldByAnotherCopy(file.absolutePath());
}
