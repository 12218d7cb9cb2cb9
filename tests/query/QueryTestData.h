#pragma once

// A program folder whose Inventory.mdb (the shipped template, its parts replaced) holds seven
// parts chosen for the filter: blanks and NULLs, mixed letter case, quotes, brackets and
// wildcard characters in the text, dates in two centuries, both yes/no values.

#include "support/DirectSql.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QtTest>

#include <sqlite3.h>

class QueryTestData {
public:
    //  #  Part Number 1   Description     Location  In Stock  Min  Price 1  Default 1  Date Ordered  Part Memo
    //  1  ABC-1           BELT            A1          5       2    12.5     yes        1993-12-01    NULL
    //  2  abd-2           Belt guard      b2          0       3    .75      no         2004-01-15    see page 3
    //  3  O'BRIEN (2)     O'BRIEN (2)     NULL       10       0    3.1      no         NULL          ''
    //  4  X-5             PIN 2" X 4"     A10         1       1    1        yes        2004-02-20    NULL
    //  5  M7              NULL            xa1y        0       0    99.99    no         1999-07-04    NULL
    //  6  *STAR           ''              [A]1       -5       0    .5       no         2004-01-14    A*B
    //  7  Z9              SWITCH*         C3          7       2    0        yes        1993-12-01    NULL
    explicit QueryTestData(bool withParts = true)
    {
        QVERIFY(folder.installDatabase());
        QVERIFY(exec(QStringLiteral("DELETE FROM Parts; DELETE FROM Pictures; DELETE FROM sqlite_sequence WHERE name='Parts';")));
        if (withParts)
            QVERIFY(exec(QStringLiteral(
                "INSERT INTO Parts([Record Number],[Part Number 1],[Part Number 2],Description,Location,[In Stock],[Minimum Stock],"
                "[Price 1],[Default 1],[Date Ordered],[Part Memo],[Package 1],[Minimum Buy 1]) VALUES"
                "(1,'ABC-1','V2-7','BELT','A1',5,2,12.5,1,'1993-12-01',NULL,1,1),"
                "(2,'abd-2','V2-1','Belt guard','b2',0,3,0.75,0,'2004-01-15','see page 3',1,1),"
                "(3,'O''BRIEN (2)','V2-5','O''BRIEN (2)',NULL,10,0,3.1,0,NULL,'',1,1),"
                "(4,'X-5','V2-3','PIN 2\" X 4\"','A10',1,1,1,1,'2004-02-20',NULL,1,1),"
                "(5,'M7','V2-6',NULL,'xa1y',0,0,99.99,0,'1999-07-04',NULL,1,1),"
                "(6,'*STAR','V2-2','','[A]1',-5,0,0.5,0,'2004-01-14','A*B',1,1),"
                "(7,'Z9','V2-4','SWITCH*','C3',7,2,0,1,'1993-12-01',NULL,1,1)")));
    }

    QString database() const { return folder.file(QStringLiteral("Inventory.mdb")); }

    bool exec(const QString& sql) const { return directExec(database(), sql); }

    // The first column of every row of a query, as text.
    QStringList column(const QString& sql) const { return directColumn(database(), sql); }

    int partCount() const { return column(QStringLiteral("SELECT count(*) FROM Parts")).value(0).toInt(); }

    TestProgramFolder folder;
};
