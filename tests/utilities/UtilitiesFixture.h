#pragma once

// Test data for the import, the price update and the backup: dBASE III tables written with
// shapelib, pricing databases, a drive A in a temporary folder, and direct reads of the parts.

#include "data/DataFixture.h"
#include "platform/DriveA.h"
#include "platform/OldDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <shapefil.h>
#include <sqlite3.h>

// One row of the older program's table, as raw bytes per field (bytes above 0x7F are DOS
// characters). Fields not given are blank.
struct OldRow {
    QMap<QByteArray, QByteArray> values;
    bool deleted = false;

    OldRow& set(const char* field, const QByteArray& value)
    {
        values.insert(QByteArray(field), value);
        return *this;
    }
};

// An INVNTORY row with the usual fields filled from a part number and a few figures.
inline OldRow oldPart(const QByteArray& number1, const QByteArray& number2 = QByteArray(), const QByteArray& stock = "2")
{
    OldRow r;
    r.set("NUMBER1", number1).set("NUMBER2", number2).set("STOCK", stock);
    return r;
}

struct DbfField {
    const char* name;
    char type;
    int width;
    int decimals;
};

// The layout of INVNTORY as the older program kept it.
inline QList<DbfField> oldTableLayout(bool memoFields = false)
{
    return {
        {"NUMBER1", 'C', 15, 0}, {"NUMBER2", 'C', 15, 0}, {"NUMBER3", 'C', 15, 0}, {"STOCK", 'N', 5, 0},
        {"INSTOCK", 'N', 5, 0}, {"LOCATION", 'C', 10, 0}, {"QTYB", 'N', 5, 0}, {"QTYQ", 'N', 5, 0},
        {"QTYOTHER", 'N', 5, 0}, {"BRUNSBO", 'N', 5, 0}, {"QUALITYBO", 'N', 5, 0}, {"OTHERBO", 'N', 5, 0},
        {"MEMO1", memoFields ? 'M' : 'C', memoFields ? 10 : 40, 0}, {"MEMO2", memoFields ? 'M' : 'C', memoFields ? 10 : 40, 0},
        {"AREA", 'C', 20, 0}, {"DESCRIPT", 'C', 40, 0}, {"PAGE1", 'C', 5, 0}, {"PAGE2", 'C', 5, 0}, {"PAGE3", 'C', 5, 0},
        {"PKGB", 'N', 5, 0}, {"PKGQ", 'N', 5, 0}, {"PKGOTHER", 'N', 5, 0}, {"PRICEB", 'N', 10, 2}, {"PRICEQ", 'N', 10, 2},
        {"OTHERPR", 'N', 10, 2},
    };
}

// Writes a dBASE III table. Character values are left-justified, numbers right-justified, as
// dBASE writes them; a value is written as given, so "12X" can stand in a number field.
// The language byte is 0, as the DOS programs left it (DOS code page); shapelib names the file
// "<name>.dbf", so it is renamed to the spelling asked for.
inline void writeOldTable(const QString& path, const QList<OldRow>& rows, const QList<DbfField>& layout = oldTableLayout(),
                          const char* languageDriver = "LDID/0")
{
    const QFileInfo asked(path);
    const QString created = asked.dir().filePath(asked.completeBaseName() + QStringLiteral(".dbf"));
    QFile::remove(path);
    QFile::remove(created);
    DBFHandle h = DBFCreateEx(QFile::encodeName(path).constData(), languageDriver);
    QVERIFY2(h, "DBFCreate failed");
    for (const DbfField& f : layout)
        QVERIFY(DBFAddNativeFieldType(h, f.name, f.type, f.width, f.decimals) >= 0);
    for (int r = 0; r < rows.size(); ++r) {
        for (int i = 0; i < layout.size(); ++i) {
            const DbfField& f = layout.at(i);
            QByteArray v = rows.at(r).values.value(QByteArray(f.name));
            if (f.type == 'N')
                v = v.rightJustified(f.width, ' ', true);
            QVERIFY(DBFWriteAttributeDirectly(h, r, i, v.data()));
        }
        if (rows.at(r).deleted)
            DBFMarkRecordDeleted(h, r, 1);
    }
    DBFClose(h);
    if (created != path)
        QVERIFY(QFile::rename(created, path));
}

// A dBASE III memo file: block 0 is the header, each text in its own 512-byte blocks, ended by
// two end-of-file marks. Returns the block number of each text.
inline QList<int> writeMemoFile(const QString& path, const QList<QByteArray>& texts)
{
    QByteArray file(512, '\0');
    QList<int> blocks;
    for (const QByteArray& text : texts) {
        blocks << int(file.size() / 512);
        QByteArray block = text + "\x1A\x1A";
        block.append(QByteArray((512 - block.size() % 512) % 512, '\0'));
        file += block;
    }
    const quint32 next = quint32(file.size() / 512);
    file[0] = char(next & 0xFF);
    file[1] = char((next >> 8) & 0xFF);
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(file);
    return blocks;
}

// A drive A whose state a test chooses; its folder is a temporary one. Installed for its lifetime.
class TestDriveA : public DriveA {
public:
    explicit TestDriveA(const QString& folder)
        : m_folder(folder)
        , m_previous(DriveA::install(this))
    {
    }
    ~TestDriveA() override { DriveA::install(m_previous); }
    TestDriveA(const TestDriveA&) = delete;
    TestDriveA& operator=(const TestDriveA&) = delete;

    QString folder() override { return m_state == State::NoDisk ? QString() : m_folder; }
    State state(bool forWriting) override
    {
        if (m_state == State::WriteProtected && !forWriting)
            return State::Ready;
        return m_state;
    }
    void setState(State s) { m_state = s; }

private:
    QString m_folder;
    DriveA* m_previous;
    State m_state = State::Ready;
};

// A program folder with Inventory.mdb from the real schema and the parts given, a folder for the
// older program's data, and a drive A, all temporary: no test reaches a real medium.
struct UtilitiesFixture : DataFixture {
    QTemporaryDir oldData;
    QTemporaryDir driveA;
    TestDriveA drive {driveA.path()};
    QString previousOldData = OldDataFolder::path();

    explicit UtilitiesFixture(const QStringList& statements = {})
    {
        makeDatabase(QStringLiteral("Inventory.mdb"), statements);
        OldDataFolder::setPath(oldData.path());
    }
    ~UtilitiesFixture()
    {
        Connection::closeAll();
        OldDataFolder::setPath(previousOldData);
    }

    QString oldTable() const { return QDir(oldData.path()).filePath(QStringLiteral("INVNTORY.DBF")); }
    QString inventory() const { return file(QStringLiteral("Inventory.mdb")); }

    // One field of the part with that vendor-n number (first by record number).
    QVariant part(const QString& field, const QString& number, int vendor = 1) const
    {
        return scalar(QStringLiteral("SELECT [%1] FROM Parts WHERE [Part Number %2] = '%3' COLLATE BINARY ORDER BY [Record Number]")
                          .arg(field).arg(vendor).arg(number));
    }
    int partCount() const { return scalar(QStringLiteral("SELECT COUNT(*) FROM Parts")).toInt(); }
};

// A pricing database: table Pricing with the fields the update reads (vendor 1's minimum buy
// spelled with a lower-case b), rows in the order given.
struct PricingRowData {
    QVariant number1, price1, book1, page1, minimum1, package1;
    QVariant number2, price2, book2, page2, minimum2, package2;
};

inline void makePricingFile(const QString& path, const QList<PricingRowData>& rows, const QString& table = QStringLiteral("Pricing"))
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const QByteArray create = QStringLiteral(
        "CREATE TABLE [%1] ([Part Number 1] TEXT, [Price 1] CURRENCY, [Book 1] TEXT, [Page 1] TEXT, [Minimum buy 1] TEXT, [Package 1] TEXT,"
        " [Part Number 2] TEXT, [Price 2] CURRENCY, [Book 2] TEXT, [Page 2] TEXT, [Minimum Buy 2] TEXT, [Package 2] TEXT)").arg(table).toUtf8();
    QCOMPARE(sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    const QByteArray insert = QStringLiteral("INSERT INTO [%1] VALUES (?,?,?,?,?,?,?,?,?,?,?,?)").arg(table).toUtf8();
    sqlite3_prepare_v2(db, insert.constData(), -1, &st, nullptr);
    for (const PricingRowData& r : rows) {
        const QVariant values[12] = {r.number1, r.price1, r.book1, r.page1, r.minimum1, r.package1,
                                     r.number2, r.price2, r.book2, r.page2, r.minimum2, r.package2};
        for (int i = 0; i < 12; ++i) {
            const QVariant& v = values[i];
            if (!v.isValid() || v.isNull())
                sqlite3_bind_null(st, i + 1);
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, v.toDouble());
            else {
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(st, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
        }
        QCOMPARE(sqlite3_step(st), SQLITE_DONE);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}
