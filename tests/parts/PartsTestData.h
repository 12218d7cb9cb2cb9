#pragma once

// A program folder whose Inventory.mdb (copied from the shipped template) holds a small catalogue
// the part tests know by heart, and direct access to the file beside the program's own connection.

#include "support/DirectSql.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QStringList>
#include <QVariant>
#include <QtTest>

#include <sqlite3.h>

class PartsTestData {
public:
    // Stored order (and Record Number) 1..5; vendor-1 order (inv1): B-200, C-300, D-400, M-500, X-900.
    //   1 M-500: complete for vendor 1
    //   2 B-200 / 2B-2 / 3B-2: complete for all three vendors, Default 2 set
    //   3 D-400 / ABC-7: vendors 1 and 2 with minimum, package and price all 0
    //   4 C-300: complete, vendor 3 number ZZ-1
    //   5 X-900: complete, in stock 7, back ordered 2 from vendor 1
    explicit PartsTestData(bool withParts = true)
    {
        QVERIFY(folder.installDatabase());
        QVERIFY(exec(QStringLiteral("DELETE FROM Parts; DELETE FROM Pictures; DELETE FROM sqlite_sequence WHERE name='Parts';"
                                    "UPDATE Information SET [Vendor 1]='AMF', [Vendor 2]='DISTRIBUTOR', [Vendor 3]='OTHER';")));
        if (!withParts)
            return;
        QVERIFY(exec(QStringLiteral(
            "INSERT INTO Parts([Record Number],[Part Number 1],[Part Number 2],[Part Number 3],Description,[Area of Machine],"
            "[In Stock],[Minimum Stock],Location,[Date Ordered],"
            "[Price 1],[Package 1],[Minimum Buy 1],[Book 1],[Page 1],[Default 1],"
            "[Price 2],[Package 2],[Minimum Buy 2],[Default 2],[Price 3],[Package 3],[Minimum Buy 3],[Back Ordered 1]) VALUES"
            "(1,'M-500',NULL,NULL,'SWITCH','DECK',3,1,'A1','2004-01-15', 9.5,1,1,'PB','12',0, 0,0,0,0, 0,0,0,0),"
            "(2,'B-200','2B-2','3B-2','BELT','DRIVE',5,2,'A2',NULL, 12.5,1,1,'PB','3',0, 11,2,2,1, 10,3,3,0),"
            "(3,'D-400','ABC-7',NULL,'SPRING','PIN WHEEL',0,0,'B1',NULL, 0,0,0,'BK','7',0, 0,0,0,0, 0,0,0,0),"
            "(4,'C-300',NULL,'ZZ-1','BEARING','TURRET',10,4,'B2',NULL, 3.1,10,1,NULL,NULL,1, 0,0,0,0, 4,1,1,0),"
            "(5,'X-900',NULL,NULL,'CUSHION','PIT',7,2,'C3',NULL, 1,1,1,NULL,NULL,0, 0,0,0,0, 0,0,0,2)")));
    }

    QString database() const { return folder.file(QStringLiteral("Inventory.mdb")); }

    bool exec(const QString& sql) const { return directExec(database(), sql); }

    // One value straight from the file; an invalid QVariant for NULL or no row.
    QVariant scalar(const QString& sql) const { return directScalar(database(), sql); }

    QVariant part(int recordNumber, const QString& field) const
    {
        return scalar(QStringLiteral("SELECT [%1] FROM Parts WHERE [Record Number] = %2").arg(field).arg(recordNumber));
    }

    int count(const QString& table) const { return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }

    TestProgramFolder folder;
};
