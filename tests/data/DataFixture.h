#pragma once

// A program folder with an Inventory.mdb made from the real schema and a handful of parts
// that the data engine tests know by heart.

#include "data/Connection.h"
#include "platform/AppFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

struct DataFixture {
    QTemporaryDir dir;
    QString previousFolder = AppFolder::path();

    DataFixture() { AppFolder::setPath(dir.path()); }
    ~DataFixture() { AppFolder::setPath(previousFolder); }

    QString file(const QString& name) const { return dir.filePath(name); }

    // Creates a database from the schema, then runs the given statements (plain SQLite).
    QString makeDatabase(const QString& name = QStringLiteral("Inventory.mdb"), const QStringList& statements = {}) const
    {
        QFile schema(QStringLiteral(INVENTORY_SCHEMA_SQL));
        if (!schema.open(QIODevice::ReadOnly))
            qFatal("schema not found");
        const QString path = file(name);
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        QByteArray sql = schema.readAll();
        for (const QString& s : statements)
            sql += "\n" + s.toUtf8() + ";";
        char* err = nullptr;
        if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK)
            qFatal("fixture SQL failed: %s", err);
        sqlite3_close(db);
        return path;
    }

    // Five parts whose vendor-1 numbers sort differently with and without regard to case.
    QString makeInventory() const
    {
        return makeDatabase(QStringLiteral("Inventory.mdb"), {
            QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],Description,Location,[In Stock],[Minimum Stock],[Price 1],[Default 1],[Date Ordered]) VALUES "
                           "('ABC','z9','Belt','A1',5,2,12.5,1,'1993-12-01'),"
                           "('abd','Y1','Spring','b2',0,3,0.75,0,'2004-01-15'),"
                           "('00123',NULL,'Bearing','A1',10,0,3.1,0,NULL),"
                           "('X-5','a2','Pin ''deck''','C3',1,1,1,1,'2004-02-20'),"
                           "('M7','','Switch*','A10',0,0,99.99,0,NULL)"),
        });
    }

    std::shared_ptr<Connection> open(const QString& name = QStringLiteral("Inventory.mdb")) const
    {
        return Connection::open(file(name));
    }

    // A scalar straight from the file, bypassing the engine under test.
    QVariant scalar(const QString& sql, const QString& name = QStringLiteral("Inventory.mdb")) const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(file(name)).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        QVariant v;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
            case SQLITE_INTEGER: v = qlonglong(sqlite3_column_int64(st, 0)); break;
            case SQLITE_FLOAT: v = sqlite3_column_double(st, 0); break;
            case SQLITE_TEXT: v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))); break;
            case SQLITE_BLOB: v = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)), sqlite3_column_bytes(st, 0)); break;
            default: break;
            }
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return v;
    }
};
