// The databases shipped beside the program: the two template databases a first start copies to
// Inventory.mdb, and Colors.mdb. The screens rely on their schema by name, so these checks read
// the built files exactly as the program will find them (opened read-only, never created), and
// check the build tool that makes them on inputs of their own.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <cmath>

namespace {

const QString kBinDir = QStringLiteral(INVENTORY_BIN_DIR);

// The build tools land in "tools" beside the program's folder.
QString mkdbPath()
{
    return QDir(kBinDir + QStringLiteral("/../tools")).absoluteFilePath(QStringLiteral("mkdb"));
}

// A read-only connection; a missing file fails to open instead of being created.
class Db
{
public:
    explicit Db(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        if (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    QString error() const { return m_error; }

    // Every row of a query; a failing statement is recorded in error() and yields no rows.
    QList<QVariantList> rows(const QString &sql)
    {
        QList<QVariantList> result;
        if (!m_db)
            return result;
        sqlite3_stmt *stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in: ") + sql;
            return result;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER: row << QVariant(qint64(sqlite3_column_int64(stmt, c))); break;
                case SQLITE_FLOAT: row << QVariant(sqlite3_column_double(stmt, c)); break;
                case SQLITE_TEXT:
                    row << QVariant(QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                        sqlite3_column_bytes(stmt, c)));
                    break;
                case SQLITE_NULL: row << QVariant(); break;
                default: row << QVariant(QByteArray(
                             static_cast<const char *>(sqlite3_column_blob(stmt, c)),
                             sqlite3_column_bytes(stmt, c)));
                }
            }
            result << row;
        }
        sqlite3_finalize(stmt);
        return result;
    }

    QVariant scalar(const QString &sql)
    {
        const QList<QVariantList> r = rows(sql);
        return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
    }
    qint64 count(const QString &sql) { return scalar(sql).toLongLong(); }

    QStringList tables()
    {
        QStringList names;
        for (const QVariantList &r : rows(QStringLiteral(
                 "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")))
            names << r.first().toString();
        return names;
    }

    // Column name -> declared type.
    QMap<QString, QString> columns(const QString &table)
    {
        QMap<QString, QString> cols;
        for (const QVariantList &r : rows(QStringLiteral("SELECT name, type FROM pragma_table_info('%1')").arg(table)))
            cols.insert(r.at(0).toString(), r.at(1).toString());
        return cols;
    }

private:
    sqlite3 *m_db = nullptr;
    QString m_error;
};

QString quoted(const QString &column) { return QLatin1Char('[') + column + QLatin1Char(']'); }

QStringList columnsOfType(Db &db, const QString &table, const QStringList &types)
{
    QStringList names;
    const QMap<QString, QString> cols = db.columns(table);
    for (auto it = cols.cbegin(); it != cols.cend(); ++it)
        if (types.contains(it.value()))
            names << it.key();
    return names;
}

// Relative luminance of a stored colour (0x00BBGGRR), as the contrast rules define it.
double luminance(qint64 bgr)
{
    auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const int r = int(bgr & 0xFF), g = int((bgr >> 8) & 0xFF), b = int((bgr >> 16) & 0xFF);
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

double contrast(qint64 a, qint64 b)
{
    double la = luminance(a), lb = luminance(b);
    if (la < lb)
        std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

struct MkdbRun
{
    int exitCode = -1;
    QString errors;
};

MkdbRun runMkdb(const QStringList &args)
{
    QProcess p;
    p.start(mkdbPath(), args);
    MkdbRun run;
    if (!p.waitForFinished(30000)) {
        run.errors = QStringLiteral("mkdb did not run: ") + p.errorString();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TstShippedDatabases : public QObject
{
    Q_OBJECT

    static void templateRows();

private Q_SLOTS:
    void templateSchema_data() { templateRows(); }
    void templateSchema();
    void templateIndexes_data() { templateRows(); }
    void templateIndexes();
    void templatesShareOneSchema();
    void catalogue_data() { templateRows(); }
    void catalogue();
    void catalogueStartsEmptyForTheCentre_data() { templateRows(); }
    void catalogueStartsEmptyForTheCentre();
    void information_data() { templateRows(); }
    void information();
    void colourTables();
    void colourDefaultsAreReadable();
    void filesAreSelfContained_data();
    void filesAreSelfContained();
    void mkdbLoadsCsvAsWritten();
    void mkdbRejectsBadInput_data();
    void mkdbRejectsBadInput();
    void mkdbFailureKeepsPreviousFile();
};

void TstShippedDatabases::templateRows()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("make");
    QTest::newRow("AMF") << QStringLiteral("InventoryAMF.mdb") << QStringLiteral("AMF");
    QTest::newRow("Brunswick") << QStringLiteral("InventoryBrunswick.mdb") << QStringLiteral("BRUNSWICK");
}

void TstShippedDatabases::templateSchema()
{
    QFETCH(QString, file);
    Db db(kBinDir + QLatin1Char('/') + file);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    const QStringList tables = db.tables();
    for (const char *t : {"Parts", "PartsUsage", "Pictures", "Information"})
        QVERIFY2(tables.contains(QLatin1String(t)), t);

    // Fields the screens, reports and filter window reach by name, with the declared types that
    // tell them the kind of field.
    const struct { const char *table, *field, *type; } fields[] = {
        {"Parts", "Part Number 1", "TEXT"},       {"Parts", "Part Number 3", "TEXT"},
        {"Parts", "Description", "TEXT"},         {"Parts", "Area of Machine", "TEXT"},
        {"Parts", "In Stock", "LONG"},            {"Parts", "Minimum Stock", "LONG"},
        {"Parts", "Location", "TEXT"},            {"Parts", "Part Memo", "LONGTEXT"},
        {"Parts", "Date Ordered", "DATETIME"},    {"Parts", "Price 2", "CURRENCY"},
        {"Parts", "Special Price 3", "CURRENCY"}, {"Parts", "Package 1", "LONG"},
        {"Parts", "Minimum Buy 2", "LONG"},       {"Parts", "Book 3", "TEXT"},
        {"Parts", "Page 1", "TEXT"},              {"Parts", "Quantity Ordered 2", "LONG"},
        {"Parts", "Back Ordered 3", "LONG"},      {"Parts", "Received 1", "LONG"},
        {"Parts", "Default 3", "YESNO"},          {"Parts", "Spare 2", "TEXT"},
        {"PartsUsage", "Record Number", "LONG"},  {"PartsUsage", "Used", "DOUBLE"},
        {"PartsUsage", "Lane Number", "DOUBLE"},  {"PartsUsage", "Date Used", "DATETIME"},
        {"Pictures", "Image1", "OLEOBJECT"},      {"Pictures", "Image3", "OLEOBJECT"},
        {"Information", "Center Name", "TEXT"},   {"Information", "Your Name", "TEXT"},
        {"Information", "shipping address", "TEXT"}, {"Information", "shipping zip", "TEXT"},
        {"Information", "Vendor 1", "TEXT"},      {"Information", "Vendor 3", "TEXT"},
        {"Information", "PO 2", "TEXT"},          {"Information", "Tax 3", "TEXT"},
        {"Information", "Discount 1", "TEXT"},    {"Information", "Contact 3", "TEXT"},
        {"Information", "Notes 2", "LONGTEXT"},   {"Information", "Via 1", "TEXT"},
        {"Information", "Via 2", "TEXT"},         {"Information", "Via 3", "TEXT"},
    };
    QMap<QString, QMap<QString, QString>> byTable;
    for (const auto &f : fields) {
        const QString table = QLatin1String(f.table);
        if (!byTable.contains(table))
            byTable.insert(table, db.columns(table));
        const QMap<QString, QString> &cols = byTable[table];
        const QString field = QLatin1String(f.field);
        QVERIFY2(cols.contains(field), qPrintable(table + QLatin1Char('.') + field + QStringLiteral(" is missing")));
        QCOMPARE(cols.value(field), QLatin1String(f.type));
    }

    // Record numbers: the parts table hands out numbers that are never used again, even after
    // the newest part is deleted, so usage rows and pictures of a deleted part are never
    // inherited; the pictures table takes the part's number as its key.
    QCOMPARE(db.scalar(QStringLiteral("SELECT pk FROM pragma_table_info('Parts') WHERE name='Record Number'")).toInt(), 1);
    QCOMPARE(db.scalar(QStringLiteral("SELECT type FROM pragma_table_info('Parts') WHERE name='Record Number'")).toString(),
             QStringLiteral("INTEGER"));
    QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM sqlite_sequence WHERE name='Parts' "
                                     "AND seq >= (SELECT max([Record Number]) FROM Parts)")) == 1,
             "Parts does not keep the highest record number it handed out");
    QCOMPARE(db.scalar(QStringLiteral("SELECT pk FROM pragma_table_info('Pictures') WHERE name='Record Number'")).toInt(), 1);
    QCOMPARE(db.scalar(QStringLiteral("SELECT type FROM pragma_table_info('Pictures') WHERE name='Record Number'")).toString(),
             QStringLiteral("INTEGER"));

    // Text compares without regard to case.
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE [Description] = lower([Description]) "
                                     "AND [Part Number 1] = lower([Part Number 1])")),
             db.count(QStringLiteral("SELECT count(*) FROM Parts")));
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM Information WHERE [Vendor 1] = lower([Vendor 1])")), 1);
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

void TstShippedDatabases::templateIndexes()
{
    QFETCH(QString, file);
    Db db(kBinDir + QLatin1Char('/') + file);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    const struct { const char *index, *column; } indexes[] = {
        {"inv1", "Part Number 1"}, {"inv2", "Part Number 2"}, {"inv3", "Part Number 3"}, {"location", "Location"}};
    for (const auto &ix : indexes) {
        const QString name = QLatin1String(ix.index);
        // On Parts, and not unique: many parts have no number for vendor 2 or 3, or share a location.
        const QList<QVariantList> listed =
            db.rows(QStringLiteral("SELECT \"unique\" FROM pragma_index_list('Parts') WHERE name='%1'").arg(name));
        QVERIFY2(listed.size() == 1, qPrintable(name + QStringLiteral(" is not an index of Parts")));
        QCOMPARE(listed.first().first().toInt(), 0);
        // One key column, ordered and sought without regard to case.
        const QList<QVariantList> keys =
            db.rows(QStringLiteral("SELECT name, coll FROM pragma_index_xinfo('%1') WHERE key=1").arg(name));
        QCOMPARE(keys.size(), 1);
        QCOMPARE(keys.first().at(0).toString(), QLatin1String(ix.column));
        QCOMPARE(keys.first().at(1).toString(), QStringLiteral("NOCASE"));
    }
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

void TstShippedDatabases::templatesShareOneSchema()
{
    const QString sql = QStringLiteral(
        "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    Db amf(kBinDir + QStringLiteral("/InventoryAMF.mdb"));
    Db brunswick(kBinDir + QStringLiteral("/InventoryBrunswick.mdb"));
    QVERIFY2(amf.isOpen(), qPrintable(amf.error()));
    QVERIFY2(brunswick.isOpen(), qPrintable(brunswick.error()));
    const QList<QVariantList> a = amf.rows(sql);
    QVERIFY(!a.isEmpty());
    QCOMPARE(a, brunswick.rows(sql));
}

void TstShippedDatabases::catalogue()
{
    QFETCH(QString, file);
    Db db(kBinDir + QLatin1Char('/') + file);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    const qint64 parts = db.count(QStringLiteral("SELECT count(*) FROM Parts"));
    QVERIFY2(parts > 0, "the catalogue is empty");

    // Every part can be found and shown: a vendor-1 number and a description.
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE trim(coalesce([Part Number 1], '')) = '' "
                                     "OR trim(coalesce([Description], '')) = ''")), 0);
    // A seek on inv1 finds one part per number.
    const QList<QVariantList> duplicates = db.rows(QStringLiteral(
        "SELECT [Part Number 1] FROM Parts GROUP BY [Part Number 1] HAVING count(*) > 1"));
    QVERIFY2(duplicates.isEmpty(), qPrintable(QStringLiteral("part number listed twice: ")
                                              + (duplicates.isEmpty() ? QString() : duplicates.first().first().toString())));

    // Text fields hold text, and digits with leading zeros are kept as typed, not made numbers.
    for (const QString &col : columnsOfType(db, QStringLiteral("Parts"), {QStringLiteral("TEXT"), QStringLiteral("LONGTEXT")}))
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE typeof(%1) NOT IN ('text', 'null')").arg(quoted(col))) == 0,
                 qPrintable(col + QStringLiteral(" holds a value that is not text")));
    QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE [Part Number 2] GLOB '0[0-9]*' "
                                     "AND [Part Number 2] NOT GLOB '*[^0-9]*'")) > 0,
             "no all-digit part number with a leading zero survived as text");

    // Numeric fields hold numbers only; whole-number fields whole numbers; money at most four decimals.
    for (const QString &col : columnsOfType(db, QStringLiteral("Parts"),
                                            {QStringLiteral("LONG"), QStringLiteral("YESNO"), QStringLiteral("CURRENCY")}))
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE typeof(%1) NOT IN ('integer', 'real')").arg(quoted(col))) == 0,
                 qPrintable(col + QStringLiteral(" holds a value that is not a number")));
    for (const QString &col : columnsOfType(db, QStringLiteral("Parts"), {QStringLiteral("LONG"), QStringLiteral("YESNO")}))
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE typeof(%1) <> 'integer'").arg(quoted(col))) == 0,
                 qPrintable(col + QStringLiteral(" holds a value that is not a whole number")));
    for (const QString &col : columnsOfType(db, QStringLiteral("Parts"), {QStringLiteral("CURRENCY")}))
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE %1 < 0 "
                                         "OR abs(%1 * 10000 - round(%1 * 10000)) > 1e-6").arg(quoted(col))) == 0,
                 qPrintable(col + QStringLiteral(" holds a negative amount or more than four decimals")));

    for (int n = 1; n <= 3; ++n) {
        const QString pn = quoted(QStringLiteral("Part Number %1").arg(n));
        // A vendor's number comes with what is needed to order and receive from it...
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE coalesce(%1, '') <> '' "
                                         "AND ([Price %2] <= 0 OR [Package %2] < 1 OR [Minimum Buy %2] < 1)").arg(pn).arg(n)) == 0,
                 qPrintable(QStringLiteral("vendor %1: a part without price, package or minimum purchase").arg(n)));
        // ...and a vendor without a number for the part has no price for it either.
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE coalesce(%1, '') = '' "
                                         "AND ([Price %2] <> 0 OR [Default %2] <> 0)").arg(pn).arg(n)) == 0,
                 qPrintable(QStringLiteral("vendor %1: a price or default without a part number").arg(n)));
    }
    // Automatic ordering buys from exactly one vendor per part.
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE [Default 1] NOT IN (0, 1) "
                                     "OR [Default 2] NOT IN (0, 1) OR [Default 3] NOT IN (0, 1) "
                                     "OR [Default 1] + [Default 2] + [Default 3] <> 1")), 0);

    // Text as the maintenance screen types it: upper case.
    for (const char *col : {"Part Number 1", "Part Number 2", "Part Number 3", "Description", "Area of Machine",
                            "Part Memo", "Book 1", "Book 2", "Book 3", "Page 1", "Page 2", "Page 3"})
        QVERIFY2(db.count(QStringLiteral("SELECT count(*) FROM Parts WHERE %1 <> upper(%1) COLLATE BINARY")
                              .arg(quoted(QLatin1String(col)))) == 0,
                 qPrintable(QLatin1String(col) + QStringLiteral(" holds lower-case text")));
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

void TstShippedDatabases::catalogueStartsEmptyForTheCentre()
{
    QFETCH(QString, file);
    Db db(kBinDir + QLatin1Char('/') + file);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    // A new centre enters its own counts: nothing in stock, wanted, stored, on order or received.
    QCOMPARE(db.count(QStringLiteral(
                 "SELECT count(*) FROM Parts WHERE [In Stock] <> 0 OR [Minimum Stock] <> 0 "
                 "OR coalesce([Location], '') <> '' OR [Date Ordered] IS NOT NULL "
                 "OR [Quantity Ordered 1] + [Quantity Ordered 2] + [Quantity Ordered 3] <> 0 "
                 "OR [Back Ordered 1] + [Back Ordered 2] + [Back Ordered 3] <> 0 "
                 "OR [Received 1] + [Received 2] + [Received 3] <> 0")),
             0);
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM PartsUsage")), 0);
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM Pictures")), 0);
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

void TstShippedDatabases::information()
{
    QFETCH(QString, file);
    QFETCH(QString, make);
    Db db(kBinDir + QLatin1Char('/') + file);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    const QList<QVariantList> rows = db.rows(QStringLiteral("SELECT * FROM Information"));
    QCOMPARE(rows.size(), 1);

    // Vendor 1 sells this make's parts; every vendor has a heading for its part-number column.
    QCOMPARE(db.scalar(QStringLiteral("SELECT [Vendor 1] FROM Information")).toString(), make);
    for (const char *col : {"Vendor 2", "Vendor 3"})
        QVERIFY2(!db.scalar(QStringLiteral("SELECT %1 FROM Information").arg(quoted(QLatin1String(col)))).toString().trimmed().isEmpty(),
                 col);

    // Taxes and discounts are percentages the ordering screen reads as numbers.
    for (int n = 1; n <= 3; ++n) {
        for (const QString &col : {QStringLiteral("Tax %1").arg(n), QStringLiteral("Discount %1").arg(n)}) {
            bool ok = false;
            const double v = db.scalar(QStringLiteral("SELECT %1 FROM Information").arg(quoted(col))).toString().toDouble(&ok);
            QVERIFY2(ok && v >= 0 && v < 100, qPrintable(col + QStringLiteral(" is not a percentage")));
        }
    }

    // The centre fills in its own and its vendors' addresses: nothing is shipped in their place.
    for (const char *col : {"Center Name", "Address", "Phone", "Your Name", "Shipping Name", "shipping address",
                            "Name 1", "Address 1", "PO 1", "Contact 1", "Name 2", "Name 3", "Via 1", "Via 3"})
        QVERIFY2(db.scalar(QStringLiteral("SELECT coalesce(%1, '') FROM Information").arg(quoted(QLatin1String(col)))).toString().isEmpty(),
                 qPrintable(QLatin1String(col) + QStringLiteral(" is not empty")));
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

namespace {
const QStringList kListScreenKeys = {
    QStringLiteral("MainFormBackColor"), QStringLiteral("LabelBackColor"),    QStringLiteral("LabelForeColor"),
    QStringLiteral("SSDataBackColor"),   QStringLiteral("SSDataForeColor"),   QStringLiteral("SSDBGridBackColor"),
    QStringLiteral("SSDBGridForeColor"), QStringLiteral("SSDBGridEvenColor"), QStringLiteral("SSDBGridOddColor")};
const QStringList kListWindowKeys = {
    QStringLiteral("MainFormBackColor"), QStringLiteral("SSDataBackColor"),   QStringLiteral("SSDataForeColor"),
    QStringLiteral("SSDBGridBackColor"), QStringLiteral("SSDBGridForeColor"), QStringLiteral("SSDBGridEvenColor"),
    QStringLiteral("SSDBGridOddColor")};

const QMap<QString, QStringList> &expectedColourTables()
{
    static const QMap<QString, QStringList> tables = {
        {QStringLiteral("MainMenuColors"), {QStringLiteral("MainFormBackColor")}},
        {QStringLiteral("MaintScreenColors"),
         {QStringLiteral("MainFormBackColor"), QStringLiteral("LabelBackColor"), QStringLiteral("LabelForeColor"),
          QStringLiteral("SSDataBackColor"), QStringLiteral("SSDataForeColor"), QStringLiteral("SSFrameForeColor")}},
        {QStringLiteral("TagPartsColors"), kListScreenKeys},
        {QStringLiteral("ReceiveColors"), kListScreenKeys},
        {QStringLiteral("UsageColors"), kListScreenKeys},
        {QStringLiteral("ModifyData"),
         {QStringLiteral("MainFormBackColor"), QStringLiteral("LabelBackColor"), QStringLiteral("LabelForeColor"),
          QStringLiteral("SSDataBackColor"), QStringLiteral("SSDataForeColor")}},
        {QStringLiteral("List1Colors"), kListWindowKeys},
        {QStringLiteral("List2Colors"), kListWindowKeys},
    };
    return tables;
}

// The colour row of a table, key -> value.
QMap<QString, qint64> colourRow(Db &db, const QString &table)
{
    QMap<QString, qint64> row;
    const QStringList keys = db.columns(table).keys();
    const QList<QVariantList> rows = db.rows(QStringLiteral("SELECT * FROM %1").arg(table));
    const QList<QVariantList> names = db.rows(QStringLiteral("SELECT name FROM pragma_table_info('%1') ORDER BY cid").arg(table));
    if (rows.size() != 1 || names.size() != rows.first().size())
        return row;
    for (int c = 0; c < names.size(); ++c)
        row.insert(names.at(c).first().toString(), rows.first().at(c).toLongLong());
    return row;
}
} // namespace

void TstShippedDatabases::colourTables()
{
    Db db(kBinDir + QStringLiteral("/Colors.mdb"));
    QVERIFY2(db.isOpen(), qPrintable(db.error()));

    const QMap<QString, QStringList> &expected = expectedColourTables();
    QStringList tables = db.tables();
    tables.sort();
    QStringList expectedTables = expected.keys();
    expectedTables.sort();
    QCOMPARE(tables, expectedTables);

    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString &table = it.key();
        // Exactly its keys, so that each screen finds all it reads and nothing it does not.
        const QMap<QString, QString> cols = db.columns(table);
        QCOMPARE(QSet<QString>(cols.keyBegin(), cols.keyEnd()), QSet<QString>(it->cbegin(), it->cend()));
        // One row, every key a colour: a whole number with nothing in the high byte.
        QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM %1").arg(table)), 1);
        for (const QString &key : *it) {
            const QList<QVariantList> value =
                db.rows(QStringLiteral("SELECT typeof(%1), %1 FROM %2").arg(quoted(key), table));
            QVERIFY(value.size() == 1);
            QVERIFY2(value.first().at(0).toString() == QStringLiteral("integer"),
                     qPrintable(table + QLatin1Char('.') + key + QStringLiteral(" is not a whole number")));
            const qint64 v = value.first().at(1).toLongLong();
            QVERIFY2(v >= 0 && v <= 0xFFFFFF, qPrintable(table + QLatin1Char('.') + key + QStringLiteral(" is not a colour")));
        }
    }
    QVERIFY2(db.error().isEmpty(), qPrintable(db.error()));
}

void TstShippedDatabases::colourDefaultsAreReadable()
{
    Db db(kBinDir + QStringLiteral("/Colors.mdb"));
    QVERIFY2(db.isOpen(), qPrintable(db.error()));
    constexpr double kMinimum = 4.5; // contrast wanted for normal-size text
    constexpr qint64 kWhite = 0xFFFFFF;

    struct Pair { const char *table, *text, *background; };
    const Pair pairs[] = {
        {"MaintScreenColors", "LabelForeColor", "LabelBackColor"},
        {"MaintScreenColors", "SSFrameForeColor", "SSDataBackColor"}, // frames and navigator bar
        {"ModifyData", "LabelForeColor", "LabelBackColor"},
        {"ModifyData", "SSDataForeColor", "SSDataBackColor"},
    };
    QList<Pair> all(std::begin(pairs), std::end(pairs));
    for (const char *t : {"TagPartsColors", "ReceiveColors", "UsageColors"})
        all << Pair{t, "LabelForeColor", "LabelBackColor"} << Pair{t, "SSDataForeColor", "SSDataBackColor"};
    for (const char *t : {"TagPartsColors", "ReceiveColors", "UsageColors", "List1Colors", "List2Colors"})
        all << Pair{t, "SSDBGridForeColor", "SSDBGridEvenColor"} << Pair{t, "SSDBGridForeColor", "SSDBGridOddColor"}
            << Pair{t, "SSDBGridForeColor", "SSDBGridBackColor"};
    for (const char *t : {"List1Colors", "List2Colors"})
        all << Pair{t, "SSDataForeColor", "SSDataBackColor"};

    for (const Pair &p : all) {
        const QMap<QString, qint64> row = colourRow(db, QLatin1String(p.table));
        QVERIFY2(!row.isEmpty(), p.table);
        const double c = contrast(row.value(QLatin1String(p.text)), row.value(QLatin1String(p.background)));
        QVERIFY2(c >= kMinimum, qPrintable(QStringLiteral("%1: %2 on %3 has contrast %4")
                                               .arg(QLatin1String(p.table), QLatin1String(p.text),
                                                    QLatin1String(p.background))
                                               .arg(c, 0, 'f', 2)));
    }

    // Some captions on these screens keep a white text of their own and take only their
    // background from the table.
    for (const char *t : {"TagPartsColors", "UsageColors", "ModifyData"}) {
        const QMap<QString, qint64> row = colourRow(db, QLatin1String(t));
        const double c = contrast(kWhite, row.value(QStringLiteral("LabelBackColor")));
        QVERIFY2(c >= kMinimum, qPrintable(QStringLiteral("%1: white captions on LabelBackColor have contrast %2")
                                               .arg(QLatin1String(t)).arg(c, 0, 'f', 2)));
    }
}

void TstShippedDatabases::filesAreSelfContained_data()
{
    QTest::addColumn<QString>("file");
    for (const char *f : {"InventoryAMF.mdb", "InventoryBrunswick.mdb", "Colors.mdb"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void TstShippedDatabases::filesAreSelfContained()
{
    // Copied whole and opened from any folder, even read-only: one file, no log beside it.
    QFETCH(QString, file);
    const QString path = kBinDir + QLatin1Char('/') + file;
    Db db(path);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    for (const char *suffix : {"-journal", "-wal"})
        QVERIFY2(!QFile::exists(path + QLatin1String(suffix)), suffix);
}

void TstShippedDatabases::mkdbLoadsCsvAsWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString schema = dir.filePath(QStringLiteral("schema.sql"));
    const QString csv = dir.filePath(QStringLiteral("rows.csv"));
    const QString out = dir.filePath(QStringLiteral("out/Test.mdb"));
    QVERIFY(writeFile(schema, "CREATE TABLE T ([Part No] TEXT, [Qty] LONG DEFAULT 7, [Price] CURRENCY DEFAULT 0,\n"
                              "  [Memo] LONGTEXT, [Day] DATETIME);\n"));
    // A byte-order mark, CRLF line ends, quoted commas, doubled quotes, line breaks inside a
    // quoted field, empty cells, non-ASCII text and a blank line at the end.
    QVERIFY(writeFile(csv, "\xEF\xBB\xBFPart No,Qty,Price,Memo,Day\r\n"
                           "00123,12,12.50,\"BELT, 3/8\"\" X 54\"\"\",2024-03-01\r\n"
                           "A-1,,,\"LINE ONE\r\nLINE TWO\nLINE THREE\",\r\n"
                           ",,,,\r\n"
                           "\"\",3,\"0.4375\",PI\xC3\x91\xC3\x93N,\r\n"
                           "\r\n"));
    const MkdbRun run = runMkdb({out, schema, QStringLiteral("--csv"), QStringLiteral("T=") + csv});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    Db db(out);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));
    const QList<QVariantList> rows = db.rows(QStringLiteral(
        "SELECT [Part No], typeof([Part No]), Qty, typeof(Qty), Price, typeof(Price), Memo, Day FROM T ORDER BY rowid"));
    QCOMPARE(rows.size(), 4);
    // Text stays as written; numbers become numbers.
    QCOMPARE(rows[0][0].toString(), QStringLiteral("00123"));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("text"));
    QCOMPARE(rows[0][2].toLongLong(), qint64(12));
    QCOMPARE(rows[0][3].toString(), QStringLiteral("integer"));
    QCOMPARE(rows[0][4].toDouble(), 12.5);
    QCOMPARE(rows[0][5].toString(), QStringLiteral("real"));
    QCOMPARE(rows[0][6].toString(), QStringLiteral("BELT, 3/8\" X 54\""));
    QCOMPARE(rows[0][7].toString(), QStringLiteral("2024-03-01"));
    // Empty cells leave the column's default, and a quoted field keeps its line breaks.
    QCOMPARE(rows[1][2].toLongLong(), qint64(7));
    QCOMPARE(rows[1][4].toDouble(), 0.0);
    QCOMPARE(rows[1][6].toString(), QStringLiteral("LINE ONE\r\nLINE TWO\nLINE THREE"));
    QVERIFY(rows[1][7].isNull());
    // A row of empty cells is still a row.
    QVERIFY(rows[2][0].isNull());
    QCOMPARE(rows[2][2].toLongLong(), qint64(7));
    // A quoted empty cell is an empty cell too; UTF-8 text arrives intact.
    QVERIFY(rows[3][0].isNull());
    QCOMPARE(rows[3][4].toDouble(), 0.4375);
    QCOMPARE(rows[3][6].toString(), QString::fromUtf8("PI\xC3\x91\xC3\x93N"));

    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files), QStringList{QStringLiteral("Test.mdb")});
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
}

void TstShippedDatabases::mkdbRejectsBadInput_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("where"); // file and line the message must name

    const QByteArray schema = "CREATE TABLE T (a TEXT, b LONG);\n";
    QTest::newRow("unclosed quote") << schema << QByteArray("a,b\n1,2\n\"OPEN,3\n4,5\n") << "rows.csv:3";
    QTest::newRow("too many fields") << schema << QByteArray("a,b\n1,2\n3,4,5\n") << "rows.csv:3";
    QTest::newRow("too few fields") << schema << QByteArray("a,b\n\"X\nY\",2\n3\n") << "rows.csv:4";
    QTest::newRow("unknown column") << schema << QByteArray("a,B2\n1,2\n") << "rows.csv:1";
    QTest::newRow("column named twice") << schema << QByteArray("a,a\n1,2\n") << "rows.csv:1";
    QTest::newRow("text after closing quote") << schema << QByteArray("a,b\n\"1\"x,2\n") << "rows.csv:2";
    QTest::newRow("stray quote") << schema << QByteArray("a,b\n1,2\"\n") << "rows.csv:2";
    QTest::newRow("not UTF-8") << schema << QByteArray("a,b\n1,2\nCAF\xC9,3\n") << "rows.csv:3";
    QTest::newRow("constraint") << QByteArray("CREATE TABLE T (a TEXT NOT NULL, b LONG);\n")
                                << QByteArray("a,b\n1,2\n,3\n") << "rows.csv:3";
    QTest::newRow("SQL error") << QByteArray("CREATE TABLE T (a TEXT, b LONG);\n-- note\n\nCREAT INDEX i ON T(a);\n")
                               << QByteArray("a,b\n1,2\n") << "schema.sql:4";
    QTest::newRow("SQL runtime error") << QByteArray("CREATE TABLE T (a TEXT UNIQUE, b LONG);\nINSERT INTO T VALUES ('X', 1);\n\n"
                                                     "INSERT INTO T VALUES ('X', 2);\n")
                                       << QByteArray("a,b\n") << "schema.sql:4";
}

void TstShippedDatabases::mkdbRejectsBadInput()
{
    QFETCH(QByteArray, sql);
    QFETCH(QByteArray, csv);
    QFETCH(QString, where);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("schema.sql")), sql));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("rows.csv")), csv));
    const QString out = dir.filePath(QStringLiteral("out/Bad.mdb"));

    const MkdbRun run = runMkdb({out, dir.filePath(QStringLiteral("schema.sql")), QStringLiteral("--csv"),
                                 QStringLiteral("T=") + dir.filePath(QStringLiteral("rows.csv"))});
    QVERIFY2(run.exitCode > 0, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(where + QLatin1Char(':')), qPrintable(run.errors));
    // Neither the file nor any half-built leftover.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files), QStringList());
}

void TstShippedDatabases::mkdbFailureKeepsPreviousFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString schema = dir.filePath(QStringLiteral("schema.sql"));
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    const QString out = dir.filePath(QStringLiteral("Kept.mdb"));
    QVERIFY(writeFile(schema, "CREATE TABLE T (a TEXT);\n"));
    QVERIFY(writeFile(good, "a\nFIRST\n"));
    QVERIFY(writeFile(bad, "a\nSECOND\n\"BROKEN\n"));

    MkdbRun run = runMkdb({out, schema, QStringLiteral("--csv"), QStringLiteral("T=") + good});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    run = runMkdb({out, schema, QStringLiteral("--csv"), QStringLiteral("T=") + bad});
    QVERIFY(run.exitCode > 0);

    Db db(out);
    QVERIFY2(db.isOpen(), qPrintable(db.error()));
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM T")), qint64(1));
    QCOMPARE(db.scalar(QStringLiteral("SELECT a FROM T")).toString(), QStringLiteral("FIRST"));
}

QTEST_GUILESS_MAIN(TstShippedDatabases)
#include "tst_shipped_databases.moc"
