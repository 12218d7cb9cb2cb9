#include "Database.h"

#include "JetSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// A private handle on a file, for work that must not disturb the shared connections.
struct PrivateHandle {
    sqlite3* db = nullptr;
    ~PrivateHandle() { sqlite3_close_v2(db); }
};

DbError sqliteError(sqlite3* db, int rc, const QString& what)
{
    const int primary = rc & 0xff;
    const QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    if (primary == SQLITE_FULL)
        return DbError(EngineError::DiskFull, QStringLiteral("The disk is full: %1.").arg(what));
    if (primary == SQLITE_READONLY || primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_PERM)
        return DbError(EngineError::FileLocked, QStringLiteral("%1: the file is read-only or in use (%2).").arg(what, msg));
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return DbError(EngineError::NotADatabase, QStringLiteral("%1: the file is damaged or not a database.").arg(what));
    if (primary == SQLITE_CANTOPEN)
        return DbError(EngineError::CannotOpen, QStringLiteral("%1: the file cannot be opened (%2).").arg(what, msg));
    return DbError(EngineError::General, QStringLiteral("%1: %2").arg(what, msg));
}

void openPrivate(PrivateHandle& h, const QString& path, int flags, const QString& what)
{
    if (!(flags & SQLITE_OPEN_CREATE) && !QFileInfo(path).isFile())
        throw DbError(EngineError::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &h.db, flags, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(h.db, rc, what);
    sqlite3_busy_timeout(h.db, 2000);
}

bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

Database Database::open(const QString& path)
{
    return Database(Connection::open(path));
}

QStringList Database::tableNames()
{
    return conn_->tableNames();
}

bool Database::hasTable(const QString& name)
{
    const QStringList names = tableNames();
    return std::any_of(names.begin(), names.end(), [&](const QString& t) { return t.compare(name, Qt::CaseInsensitive) == 0; });
}

void Database::execute(const QString& jetSql)
{
    conn_->execute(translateJetSql(jetSql));
}

void Database::close()
{
    conn_.reset();
}

void Database::compact(const QString& from, const QString& to)
{
    const QString what = QStringLiteral("Compacting '%1'").arg(QFileInfo(from).fileName());
    if (QFileInfo::exists(to))
        throw DbError(EngineError::General, QStringLiteral("%1: the file '%2' already exists.").arg(what, to));
    PrivateHandle h;
    openPrivate(h, from, SQLITE_OPEN_READONLY, what);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h.db, "VACUUM INTO ?", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray target = QFile::encodeName(to);
        sqlite3_bind_text(st, 1, target.constData(), int(target.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    const DbError failure = rc == SQLITE_OK ? DbError(0, {}) : sqliteError(h.db, rc, what);
    sqlite3_finalize(st);
    if (rc != SQLITE_OK || !syncFile(to)) {
        QFile::remove(to);
        throw rc != SQLITE_OK ? failure : DbError(EngineError::General, QStringLiteral("%1: the copy could not be written to disk.").arg(what));
    }
}

void Database::copy(const QString& from, const QString& to)
{
    const QString what = QStringLiteral("Saving a copy of '%1'").arg(QFileInfo(from).fileName());
    PrivateHandle src;
    openPrivate(src, from, SQLITE_OPEN_READONLY, what);

    // Into a temporary file beside the target, renamed over it once complete.
    const QFileInfo target(to);
    QTemporaryFile tmp(target.absolutePath() + QStringLiteral("/.copy-XXXXXX"));
    tmp.setAutoRemove(true);
    if (!tmp.open())
        throw DbError(EngineError::CannotOpen, QStringLiteral("%1: cannot write in '%2' (%3).").arg(what, target.absolutePath(), tmp.errorString()));
    const QString tmpPath = tmp.fileName();
    tmp.close();
    {
        PrivateHandle dst;
        openPrivate(dst, tmpPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, what);
        sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src.db, "main");
        if (!b)
            throw sqliteError(dst.db, sqlite3_errcode(dst.db), what);
        int rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            throw sqliteError(dst.db, rc, what);
    }
    if (!syncFile(tmpPath))
        throw DbError(EngineError::General, QStringLiteral("%1: the copy could not be written to disk.").arg(what));
    QFile::setPermissions(tmpPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (::rename(QFile::encodeName(tmpPath).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        throw DbError(EngineError::CannotOpen, QStringLiteral("%1: cannot replace '%2' (%3).").arg(what, to, QString::fromLocal8Bit(strerror(errno))));
    tmp.setAutoRemove(false);
}
