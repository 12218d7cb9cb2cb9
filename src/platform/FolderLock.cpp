#include "platform/FolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
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

QByteArray lockPath(const QString& folder)
{
    return QFile::encodeName(QDir(folder).filePath(ProgramFolderLock::fileName));
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

}  // namespace

ProgramFolderLock::ProgramFolderLock(const QString& folder)
    : m_folder(canonical(folder))
{
    if (heldHere().contains(m_folder)) {
        m_state = State::HeldElsewhere;   // one holder per folder, also within this process
        return;
    }
    m_fd = ::open(lockPath(m_folder).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return;
    if (tryLock(m_fd) != 0) {
        ::close(m_fd);
        m_fd = -1;
        m_state = State::HeldElsewhere;
        return;
    }
    m_state = State::Held;
    heldHere().insert(m_folder);
}

ProgramFolderLock::~ProgramFolderLock()
{
    if (m_state == State::Held) {
        heldHere().remove(m_folder);
        ::close(m_fd);   // closing the file lets go of the lock; the file stays for the next copy
    }
}

bool ProgramFolderLock::heldByAnotherCopy(const QString& folder)
{
    const QString c = canonical(folder);
    if (heldHere().contains(c))
        return false;
    const int fd = ::open(lockPath(c).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;   // no copy has ever run there, or it cannot be read: nothing holds it
    const bool held = tryLock(fd) == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool ProgramFolderLock::isDatabaseOfAnotherCopy(const QString& path)
{
    const QFileInfo file(path);
    return file.fileName().compare(QStringLiteral("Inventory.mdb"), Qt::CaseInsensitive) == 0
        && heldByAnotherCopy(file.absolutePath());
}
