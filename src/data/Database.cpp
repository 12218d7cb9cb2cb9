#include "Database.h"

#include "JetSql.h"
#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// A database read whole (to copy or compact it) is opened to be written where it can be: what a
// program ended midway left in its journal is then taken back, as at any opening, instead of
// keeping the database from being read at all. Nothing else is written to it; a file that cannot be
// written is read as it is.
constexpr int sourceFlags = SQLITE_OPEN_READWRITE;

// A database file known by its descriptor rather than a name: a pending file (see FileOps.h),
// which is in no folder while it is written. It is this program's alone, so nothing is locked;
// a journal, where SQLite asks for one, is kept in memory.
constexpr const char* DescriptorVfs = "inventory-descriptor";

struct DescriptorFile {
    sqlite3_file base;
    int fd;                        // -1 for a file in memory
    std::vector<char>* memory;
};

DescriptorFile* asFile(sqlite3_file* f)
{
    return reinterpret_cast<DescriptorFile*>(f);
}

int fileClose(sqlite3_file* f)
{
    delete asFile(f)->memory;
    asFile(f)->memory = nullptr;
    return SQLITE_OK;
}

int fileRead(sqlite3_file* f, void* out, int amount, sqlite3_int64 offset)
{
    DescriptorFile* file = asFile(f);
    char* to = static_cast<char*>(out);
    qint64 got = 0;
    if (file->memory) {
        const qint64 size = qint64(file->memory->size());
        got = qBound(qint64(0), qint64(size - offset), qint64(amount));
        if (got > 0)
            std::memcpy(to, file->memory->data() + offset, size_t(got));
    } else {
        while (got < amount) {
            const ssize_t n = ::pread(file->fd, to + got, size_t(amount - got), off_t(offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return SQLITE_IOERR_READ;
            if (n == 0)
                break;
            got += n;
        }
    }
    if (got < amount) {
        std::memset(to + got, 0, size_t(amount - got));
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int fileWrite(sqlite3_file* f, const void* in, int amount, sqlite3_int64 offset)
{
    DescriptorFile* file = asFile(f);
    const char* from = static_cast<const char*>(in);
    if (file->memory) {
        if (file->memory->size() < size_t(offset + amount))
            file->memory->resize(size_t(offset + amount));
        std::memcpy(file->memory->data() + offset, from, size_t(amount));
        return SQLITE_OK;
    }
    for (qint64 done = 0; done < amount;) {
        const ssize_t n = ::pwrite(file->fd, from + done, size_t(amount - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return (n == 0 || errno == ENOSPC || errno == EDQUOT) ? SQLITE_FULL : SQLITE_IOERR_WRITE;
        done += n;
    }
    return SQLITE_OK;
}

int fileTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    DescriptorFile* file = asFile(f);
    if (file->memory) {
        file->memory->resize(size_t(size));
        return SQLITE_OK;
    }
    return ::ftruncate(file->fd, off_t(size)) == 0 ? SQLITE_OK : SQLITE_IOERR_TRUNCATE;
}

// The file reaches the disk when it is put in place.
int fileSync(sqlite3_file*, int)
{
    return SQLITE_OK;
}

int fileSize(sqlite3_file* f, sqlite3_int64* size)
{
    DescriptorFile* file = asFile(f);
    if (file->memory) {
        *size = sqlite3_int64(file->memory->size());
        return SQLITE_OK;
    }
    struct stat st;
    if (::fstat(file->fd, &st) != 0)
        return SQLITE_IOERR_FSTAT;
    *size = sqlite3_int64(st.st_size);
    return SQLITE_OK;
}

int fileLock(sqlite3_file*, int)
{
    return SQLITE_OK;
}

int fileCheckReservedLock(sqlite3_file*, int* reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}

int fileControl(sqlite3_file*, int, void*)
{
    return SQLITE_NOTFOUND;
}

int fileSectorSize(sqlite3_file*)
{
    return 4096;
}

int fileCharacteristics(sqlite3_file*)
{
    return 0;
}

const sqlite3_io_methods descriptorMethods = {
    1, fileClose, fileRead, fileWrite, fileTruncate, fileSync, fileSize, fileLock, fileLock, fileCheckReservedLock,
    fileControl, fileSectorSize, fileCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

sqlite3_vfs* systemVfs()
{
    return sqlite3_vfs_find(nullptr);
}

// The main database is "descriptor:<n>"; every other file SQLite opens is kept in memory.
int vfsOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    DescriptorFile* file = asFile(f);
    file->base.pMethods = nullptr;
    file->fd = -1;
    file->memory = nullptr;
    if (flags & SQLITE_OPEN_MAIN_DB) {
        const QByteArray text(name ? name : "");
        bool ok = false;
        const int fd = text.startsWith("descriptor:") ? text.mid(11).toInt(&ok) : -1;
        if (!ok || fd < 0)
            return SQLITE_CANTOPEN;
        file->fd = fd;
    } else {
        file->memory = new std::vector<char>;
    }
    file->base.pMethods = &descriptorMethods;
    if (outFlags)
        *outFlags = flags;
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs*, const char*, int)
{
    return SQLITE_OK;
}

int vfsAccess(sqlite3_vfs*, const char*, int, int* result)
{
    *result = 0;
    return SQLITE_OK;
}

int vfsFullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    sqlite3_snprintf(size, out, "%s", name);
    return SQLITE_OK;
}

int vfsRandomness(sqlite3_vfs*, int n, char* out)
{
    return systemVfs()->xRandomness(systemVfs(), n, out);
}

int vfsSleep(sqlite3_vfs*, int microseconds)
{
    return systemVfs()->xSleep(systemVfs(), microseconds);
}

int vfsCurrentTime(sqlite3_vfs*, double* now)
{
    return systemVfs()->xCurrentTime(systemVfs(), now);
}

int vfsLastError(sqlite3_vfs*, int, char*)
{
    return 0;
}

const char* descriptorVfs()
{
    static sqlite3_vfs vfs = {
        1, int(sizeof(DescriptorFile)), 512, nullptr, DescriptorVfs, nullptr, vfsOpen, vfsDelete, vfsAccess, vfsFullPathname,
        nullptr, nullptr, nullptr, nullptr, vfsRandomness, vfsSleep, vfsCurrentTime, vfsLastError,
        nullptr, nullptr, nullptr, nullptr,
    };
    static std::once_flag registered;
    std::call_once(registered, [] { sqlite3_vfs_register(&vfs, 0); });
    return DescriptorVfs;
}

QByteArray descriptorName(const PendingFile& file)
{
    return "descriptor:" + QByteArray::number(file.handle());
}

void openPending(PrivateHandle& h, const PendingFile& file, int flags, const QString& what)
{
    const int rc = sqlite3_open_v2(descriptorName(file).constData(), &h.db, flags, descriptorVfs());
    if (rc != SQLITE_OK)
        throw sqliteError(h.db, rc, what);
    // It is this program's alone, which also lets a database in write-ahead mode be read without
    // shared memory.
    sqlite3_exec(h.db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
}

// A file that cannot be written where it should go: told as a full disk when it is one.
DbError unwritable(const QString& what, const PendingFile& file, const QString& why)
{
    if (file.diskFull())
        return DbError(EngineError::DiskFull, QStringLiteral("The disk is full: %1.").arg(what));
    return DbError(EngineError::CannotOpen, QStringLiteral("%1: %2.").arg(what, why));
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
    openPrivate(h, from, sourceFlags | SQLITE_OPEN_URI, what);
    // Written out of sight; `to` appears only once the compacted copy is complete.
    PendingFile out(to);
    QString why;
    if (!out.open(&why))
        throw unwritable(what, out, why);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h.db, "VACUUM INTO ?", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray target = "file:" + descriptorName(out) + "?vfs=" + descriptorVfs();
        sqlite3_bind_text(st, 1, target.constData(), int(target.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    const DbError failure = rc == SQLITE_OK ? DbError(0, {}) : sqliteError(h.db, rc, what);
    sqlite3_finalize(st);
    if (rc != SQLITE_OK)
        throw failure;
    if (!out.commit(&why))
        throw unwritable(what, out, why);
}

void Database::copy(const QString& from, const QString& to)
{
    const QString what = QStringLiteral("Saving a copy of '%1'").arg(QFileInfo(from).fileName());
    PendingFile out(to);
    QString why;
    if (!out.open(&why))
        throw unwritable(what, out, why);
    copy(from, out);
    if (!out.commit(&why))
        throw unwritable(what, out, why);
}

void Database::copy(const QString& from, PendingFile& to)
{
    const QString what = QStringLiteral("Saving a copy of '%1'").arg(QFileInfo(from).fileName());
    PrivateHandle src;
    openPrivate(src, from, sourceFlags, what);
    PrivateHandle dst;
    openPending(dst, to, SQLITE_OPEN_READWRITE, what);
    // A copy that fails is thrown away whole: it needs no journal.
    sqlite3_exec(dst.db, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src.db, "main");
    if (!b)
        throw sqliteError(dst.db, sqlite3_errcode(dst.db), what);
    int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw sqliteError(dst.db, rc, what);
    // The copy of a database in write-ahead mode (another program may have switched it) says so too,
    // and would then need a log beside it: it is made an ordinary database, whole in its one file.
    rc = sqlite3_exec(dst.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(dst.db, rc, what);
}

QString Database::problemWith(const PendingFile& file, const QStringList& tables)
{
    const QString what = QStringLiteral("Reading the database");
    try {
        PrivateHandle h;
        openPending(h, file, SQLITE_OPEN_READONLY, what);
        // The first row of a statement: SQLITE_ROW or SQLITE_DONE; any failure is thrown.
        const auto firstRow = [&](sqlite3_stmt*& st, const char* sql, const QByteArray& parameter) {
            int rc = sqlite3_prepare_v2(h.db, sql, -1, &st, nullptr);
            if (rc == SQLITE_OK && !parameter.isNull())
                sqlite3_bind_text(st, 1, parameter.constData(), int(parameter.size()), SQLITE_TRANSIENT);
            if (rc == SQLITE_OK)
                rc = sqlite3_step(st);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
                const DbError e = sqliteError(h.db, rc, what);
                sqlite3_finalize(st);
                throw e;
            }
            return rc;
        };
        sqlite3_stmt* st = nullptr;
        for (const QString& table : tables) {
            const int rc = firstRow(st, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE", table.toUtf8());
            sqlite3_finalize(st);
            if (rc == SQLITE_DONE)
                return QStringLiteral("it has no table %1").arg(table);
        }
        const bool ok = firstRow(st, "PRAGMA quick_check", QByteArray()) == SQLITE_ROW
            && qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0;
        sqlite3_finalize(st);
        return ok ? QString() : QStringLiteral("it is damaged");
    } catch (const DbError& e) {
        return e.text();
    }
}

QByteArray Database::readBlob(const QString& path, const QString& table, const QString& column, qint64 rowid)
{
    const QString what = QStringLiteral("Reading the database '%1'").arg(QFileInfo(path).fileName());
    PrivateHandle h;
    openPrivate(h, path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, what);
    // Straight into the bytes returned: a photo of tens of megabytes is copied no more than once.
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(h.db, "main", table.toUtf8().constData(), column.toUtf8().constData(), rowid, 0, &blob) == SQLITE_OK) {
        QByteArray bytes(sqlite3_blob_bytes(blob), Qt::Uninitialized);
        const int rc = sqlite3_blob_read(blob, bytes.data(), int(bytes.size()), 0);
        sqlite3_blob_close(blob);
        if (rc != SQLITE_OK)
            throw sqliteError(h.db, rc, what);
        return bytes;
    }
    sqlite3_blob_close(blob);
    // No blob to open: the row is gone, the field holds nothing, or an older file keeps a value
    // of another kind there (read as the bytes of its text).
    auto quoted = [](const QString& name) { return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(quoted(column), quoted(table)).toUtf8();
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h.db, sql.constData(), int(sql.size()), &st, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_int64(st, 1, rowid);
        rc = sqlite3_step(st);
    }
    QByteArray bytes;
    if (rc == SQLITE_ROW) {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, 0));
        bytes = QByteArray(p, sqlite3_column_bytes(st, 0));
    } else if (rc != SQLITE_DONE) {
        const DbError e = sqliteError(h.db, rc, what);
        sqlite3_finalize(st);
        throw e;
    }
    sqlite3_finalize(st);
    return bytes;
}
