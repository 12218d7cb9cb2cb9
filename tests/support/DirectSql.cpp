#include "support/DirectSql.h"

#include <QDebug>
#include <QFile>
#include <sqlite3.h>

namespace {

struct Handle {
    sqlite3* db = nullptr;
    Handle(const QString& file, int flags)
    {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
        sqlite3_busy_timeout(db, 500);
    }
    ~Handle() { sqlite3_close(db); }
};

} // namespace

bool directExec(const QString& file, const QString& sql)
{
    Handle h(file, SQLITE_OPEN_READWRITE);
    char* err = nullptr;
    const int rc = sqlite3_exec(h.db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err) {
        qWarning() << err;
        sqlite3_free(err);
    }
    return rc == SQLITE_OK;
}

QVariant directScalar(const QString& file, const QString& sql)
{
    Handle h(file, SQLITE_OPEN_READONLY);
    sqlite3_stmt* st = nullptr;
    QVariant v;
    if (sqlite3_prepare_v2(h.db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        switch (sqlite3_column_type(st, 0)) {
        case SQLITE_INTEGER: v = qlonglong(sqlite3_column_int64(st, 0)); break;
        case SQLITE_FLOAT: v = sqlite3_column_double(st, 0); break;
        case SQLITE_TEXT: v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))); break;
        case SQLITE_BLOB: v = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)), sqlite3_column_bytes(st, 0)); break;
        default: break;
        }
    }
    sqlite3_finalize(st);
    return v;
}

QStringList directColumn(const QString& file, const QString& sql)
{
    Handle h(file, SQLITE_OPEN_READONLY);
    sqlite3_stmt* st = nullptr;
    QStringList out;
    if (sqlite3_prepare_v2(h.db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

QString makeSchemaDatabase(const QString& file, const QStringList& statements)
{
    QFile schema(QStringLiteral(INVENTORY_SCHEMA_SQL));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("schema not found");
    QFile::remove(file);
    Handle h(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    QByteArray sql = schema.readAll();
    for (const QString& s : statements)
        sql += "\n" + s.toUtf8() + ";";
    char* err = nullptr;
    if (sqlite3_exec(h.db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK)
        qFatal("fixture SQL failed: %s", err);
    return file;
}
