#pragma once

#include "Connection.h"

class PendingFile;

// Direct access to a database file, without a data source: list its tables, run a
// statement, compact or copy it.
class Database
{
public:
    // Opens an existing file (never creates one). Throws DbError.
    static Database open(const QString& path);

    QStringList tableNames();
    bool hasTable(const QString& name);          // without regard to case
    void execute(const QString& jetSql);         // the legacy dialect, translated; throws DbError
    void close();
    std::shared_ptr<Connection> connection() const { return conn_; }

    // Writes a compacted copy of `from` to the new file `to` (which must not exist). The
    // counters' next values survive, so no record number is handed out twice. On failure
    // nothing is left at `to`. Throws DbError.
    static void compact(const QString& from, const QString& to);
    // Writes a consistent copy of `from` to `to`, replacing it only once the copy is complete.
    static void copy(const QString& from, const QString& to);
    // Writes a consistent copy of `from` into a pending file (see FileOps.h), opened and empty.
    static void copy(const QString& from, PendingFile& to);
    // Why the pending file is not a sound database holding these tables (names without regard
    // to case); empty when it is one.
    static QString problemWith(const PendingFile& file, const QStringList& tables);
    // The bytes of one field of one row (a picture), read through a read-only handle of its own
    // that is closed before it returns: any thread may call it, and nothing stays open between
    // reads. Empty when the row is no longer there or the field holds nothing. Throws DbError.
    static QByteArray readBlob(const QString& path, const QString& table, const QString& column, qint64 rowid);

private:
    explicit Database(std::shared_ptr<Connection> c) : conn_(std::move(c)) {}
    std::shared_ptr<Connection> conn_;
};
