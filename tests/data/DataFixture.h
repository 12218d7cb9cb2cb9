#pragma once

// A program folder with an Inventory.mdb made from the real schema and a handful of parts
// that the data engine tests know by heart.

#include "data/Connection.h"
#include "platform/AppFolder.h"
#include "support/DirectSql.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

struct DataFixture {
    QTemporaryDir dir;
    QString previousFolder = AppFolder::path();

    DataFixture() { AppFolder::setPath(dir.path()); }
    ~DataFixture() { AppFolder::setPath(previousFolder); }

    QString file(const QString& name) const { return dir.filePath(name); }

    // Creates a database from the schema, then runs the given statements (plain SQLite).
    QString makeDatabase(const QString& name = QStringLiteral("Inventory.mdb"), const QStringList& statements = {}) const
    {
        return makeSchemaDatabase(file(name), statements);
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
        return directScalar(file(name), sql);
    }
};
