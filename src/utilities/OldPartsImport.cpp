#include "utilities/OldPartsImport.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Values.h"
#include "utilities/DbaseTable.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

const char* const OldFieldNames[OldFieldCount] = {
    "NUMBER1", "NUMBER2", "NUMBER3", "STOCK", "INSTOCK", "LOCATION", "QTYB", "QTYQ", "QTYOTHER", "BRUNSBO", "QUALITYBO",
    "OTHERBO", "MEMO1", "MEMO2", "AREA", "DESCRIPT", "PAGE1", "PAGE2", "PAGE3", "PKGB", "PKGQ", "PKGOTHER", "PRICEB",
    "PRICEQ", "OTHERPR",
};

// Where each value goes: on an added part, and on a part matched in the vendor-1 or vendor-2 pass.
// The part memo and the three minimum buys are not a single field and are written apart.
struct Mapping {
    const char* target;
    OldField source;
    bool onAdd;
    bool onMatch1;
    bool onMatch2;
};

const Mapping Mappings[] = {
    {"Part Number 1", OldField::NUMBER1, true, false, false},
    {"Part Number 2", OldField::NUMBER2, true, false, false},
    {"Part Number 3", OldField::NUMBER3, true, false, false},
    {"Minimum Stock", OldField::STOCK, true, true, true},
    {"In Stock", OldField::INSTOCK, true, true, true},
    {"Location", OldField::LOCATION, true, true, true},
    {"Quantity Ordered 1", OldField::QTYB, true, true, false},
    {"Quantity Ordered 2", OldField::QTYQ, true, false, true},
    {"Quantity Ordered 3", OldField::QTYOTHER, true, false, false},
    {"Back Ordered 1", OldField::BRUNSBO, true, true, false},
    {"Back Ordered 2", OldField::QUALITYBO, true, false, true},
    {"Back Ordered 3", OldField::OTHERBO, true, false, false},
    {"Area of Machine", OldField::AREA, true, true, true},
    {"Description", OldField::DESCRIPT, true, false, false},
    {"Page 1", OldField::PAGE1, true, false, false},
    {"Page 2", OldField::PAGE2, true, false, false},
    {"Page 3", OldField::PAGE3, true, false, false},
    {"Package 1", OldField::PKGB, true, false, false},
    {"Package 2", OldField::PKGQ, true, false, false},
    {"Package 3", OldField::PKGOTHER, true, false, false},
    {"Price 1", OldField::PRICEB, true, false, false},
    {"Price 2", OldField::PRICEQ, true, false, false},
    {"Price 3", OldField::OTHERPR, true, false, false},
};

OldField numberField(int vendor)
{
    return vendor == 2 ? OldField::NUMBER2 : OldField::NUMBER1;
}

QString partNumberField(int vendor)
{
    return QStringLiteral("Part Number %1").arg(vendor == 2 ? 2 : 1);
}

bool onMatch(const Mapping& m, int vendor)
{
    return vendor == 2 ? m.onMatch2 : m.onMatch1;
}

QString bracketed(const QString& field)
{
    return QLatin1Char('[') + field + QLatin1Char(']');
}

FieldType typeOf(const TableInfo& table, const QString& field)
{
    const int i = table.columnIndex(field);
    if (i < 0)
        throw DbError(EngineError::ItemNotFound, QStringLiteral("Item not found in this collection: the field '%1' is not in Parts.").arg(field));
    return table.columns.at(i).type;
}

// The three minimum buys, from the part numbers and the first package as the record holds them.
void minimumBuys(const QString& number1, const QString& number2, const QString& number3, const QVariant& package1,
                 QVariant out[3])
{
    out[0] = number1.isEmpty() ? QVariant(qlonglong(0)) : package1;
    out[1] = qlonglong(number2.isEmpty() ? 0 : 1);
    out[2] = qlonglong(number3.isEmpty() ? 0 : 1);
}

}  // namespace

QString oldFieldName(OldField f)
{
    return QString::fromLatin1(OldFieldNames[int(f)]);
}

QList<OldPartRecord> readOldParts(const QString& dbfPath, int vendor, OldPartsCount* tally)
{
    OldPartsCount counted;
    DbaseTable table;
    QString error;
    if (!table.open(dbfPath, &error))
        throw DbError(EngineError::FileNotFound, error);

    std::array<int, OldFieldCount> column {};
    QStringList missing;
    for (int f = 0; f < OldFieldCount; ++f) {
        column[size_t(f)] = table.fieldIndex(oldFieldName(OldField(f)));
        if (column[size_t(f)] < 0)
            missing << oldFieldName(OldField(f));
    }
    if (!missing.isEmpty())
        throw DbError(EngineError::TooFewParameters,
                      QStringLiteral("The table '%1' lacks the field(s) %2.").arg(dbfPath, missing.join(QStringLiteral(", "))));

    const int stockColumn = column[size_t(OldField::STOCK)];
    const int numberColumn = column[size_t(numberField(vendor))];
    const QString one = QStringLiteral("1");
    QList<OldPartRecord> rows;
    const int count = table.recordCount();
    rows.reserve(count);
    for (int r = 0; r < count; ++r) {
        if (!table.read(r))
            throw DbError(EngineError::General, QStringLiteral("The table '%1' cannot be read past record %2.").arg(dbfPath).arg(r));
        if (table.isDeleted())
            continue;
        ++counted.read;
        const QString number = table.text(numberColumn);
        if (comparePartNumbers(number, one) <= 0) {
            ++counted.badNumber;
            continue;
        }
        auto stock = table.plainNumber(stockColumn);
        if (!stock)
            stock = parseNumber(table.text(stockColumn));
        if (!stock || *stock < 1) {
            ++counted.lowStock;
            continue;
        }
        OldPartRecord row;
        row.text.reserve(160);
        for (int f = 0; f < OldFieldCount; ++f) {
            row.bounds[size_t(f)] = int(row.text.size());
            if (column[size_t(f)] == numberColumn)
                row.text += number;
            else
                table.appendText(column[size_t(f)], row.text);
        }
        row.bounds[OldFieldCount] = int(row.text.size());
        row.text.squeeze();
        rows.append(std::move(row));
    }
    // Sorted by way of their positions: a record is too large to be moved about by the sort.
    const OldField key = numberField(vendor);
    QList<int> order(rows.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&rows, key](int a, int b) {
        return comparePartNumbers(rows[a].view(key), rows[b].view(key)) < 0;
    });
    QList<OldPartRecord> sorted;
    sorted.reserve(rows.size());
    for (int i : std::as_const(order))
        sorted.append(std::move(rows[i]));
    if (tally)
        *tally = counted;
    return sorted;
}

QList<CatalogueKey> readCatalogueKeys(const QString& inventoryPath, int vendor)
{
    auto conn = Connection::open(inventoryPath);
    if (!conn->table(QStringLiteral("Parts")))
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table or query 'Parts' could not be found."));
    const QString one = QStringLiteral("1");
    QList<CatalogueKey> keys;
    Statement st = conn->prepare(QStringLiteral("SELECT [Record Number], %1 FROM Parts").arg(bracketed(partNumberField(vendor))));
    while (st.step()) {
        if (st.isNull(1))
            continue;
        CatalogueKey key;
        key.recordNumber = st.int64(0);
        key.number = st.value(1).toString();
        if (comparePartNumbers(key.number, one) > 0)
            keys.append(std::move(key));
    }
    std::sort(keys.begin(), keys.end(), [](const CatalogueKey& a, const CatalogueKey& b) {
        const int c = comparePartNumbers(a.number, b.number);
        return c != 0 ? c < 0 : a.recordNumber < b.recordNumber;
    });
    return keys;
}

QList<ImportStep> planImportPass(const QStringList& sourceNumbers, const QList<CatalogueKey>& catalogue)
{
    QList<ImportStep> steps;
    int s = 0;
    int t = 0;
    while (s < sourceNumbers.size() && t < catalogue.size()) {
        const int c = comparePartNumbers(sourceNumbers.at(s), catalogue.at(t).number);
        if (c == 0) {
            steps.append({ImportStep::Match, s, catalogue.at(t).recordNumber});
            ++s;
            ++t;
        } else if (c < 0) {
            steps.append({ImportStep::Add, s, 0});
            ++s;
        } else {
            ++t;
        }
    }
    for (; s < sourceNumbers.size(); ++s)
        steps.append({ImportStep::Add, s, 0});
    return steps;
}

ImportPass ImportPass::prepare(int vendor, const QString& dbfPath, const QString& inventoryPath)
{
    ImportPass pass;
    pass.m_vendor = vendor == 2 ? 2 : 1;
    pass.m_inventoryPath = inventoryPath;
    pass.m_source = readOldParts(dbfPath, pass.m_vendor, &pass.m_oldParts);
    pass.m_catalogue = readCatalogueKeys(inventoryPath, pass.m_vendor);
    return pass;
}

ImportOutcome ImportPass::run(const std::function<void(int remaining)>& matchDone) const
{
    ImportOutcome outcome;
    auto conn = Connection::open(m_inventoryPath);
    const auto table = conn->table(QStringLiteral("Parts"));
    if (!table)
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table or query 'Parts' could not be found."));

    const OldField key = numberField(m_vendor);
    QStringList numbers;
    numbers.reserve(m_source.size());
    for (const OldPartRecord& row : m_source)
        numbers.append(row[key]);
    const QList<ImportStep> steps = planImportPass(numbers, m_catalogue);

    // The statements, built once: the fields of an added part, and those a match writes.
    const QString memo = QStringLiteral("Part Memo");
    const QString buys[3] = {QStringLiteral("Minimum Buy 1"), QStringLiteral("Minimum Buy 2"), QStringLiteral("Minimum Buy 3")};
    struct Column {
        QString field;
        FieldType type;
        OldField source;
    };
    QStringList addFields;
    QStringList matchSets;
    QList<Column> addColumns;
    QList<Column> matchColumns;
    for (const Mapping& m : Mappings) {
        const QString field = QString::fromLatin1(m.target);
        const Column column {field, typeOf(*table, field), m.source};   // every field must be there before anything is written
        if (m.onAdd) {
            addFields << bracketed(field);
            addColumns << column;
        }
        if (onMatch(m, m_vendor)) {
            matchSets << bracketed(field) + QStringLiteral(" = ?");
            matchColumns << column;
        }
    }
    const FieldType memoType = typeOf(*table, memo);
    for (const QString& b : buys)
        typeOf(*table, b);
    addFields << bracketed(memo) << bracketed(buys[0]) << bracketed(buys[1]) << bracketed(buys[2]);
    matchSets << bracketed(memo) + QStringLiteral(" = ?");
    for (const QString& b : buys)
        matchSets << bracketed(b) + QStringLiteral(" = ?");
    QStringList marks;
    for (int i = 0; i < addFields.size(); ++i)
        marks << QStringLiteral("?");
    const QString insertSql = QStringLiteral("INSERT INTO Parts (%1) VALUES (%2)").arg(addFields.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    const QString updateSql = QStringLiteral("UPDATE Parts SET %1 WHERE [Record Number] = ?").arg(matchSets.join(QStringLiteral(", ")));
    const QString currentSql = QStringLiteral("SELECT [Part Number 1], [Part Number 2], [Part Number 3], [Package 1] FROM Parts WHERE [Record Number] = ?");

    int remaining = total();
    QStringList added;
    Connection::Transaction transaction(*conn);
    for (const ImportStep& step : steps) {
        const OldPartRecord& row = m_source.at(step.source);
        const QString& number = numbers.at(step.source);
        try {
            QVariantList values;
            const QString memoText = row[OldField::MEMO1] + QLatin1Char(' ') + row[OldField::MEMO2];
            QVariant minimum[3];
            if (step.kind == ImportStep::Add) {
                QVariant package1;
                for (const Column& c : std::as_const(addColumns)) {
                    values << toStorage(c.type, row[c.source], c.field);
                    if (c.source == OldField::PKGB)
                        package1 = values.last();
                }
                values << toStorage(memoType, memoText, memo);
                minimumBuys(row[OldField::NUMBER1], row[OldField::NUMBER2], row[OldField::NUMBER3], package1, minimum);
                values << minimum[0] << minimum[1] << minimum[2];
                conn->prepare(insertSql).bindAll(values).run();
                added << number;
            } else {
                for (const Column& c : std::as_const(matchColumns))
                    values << toStorage(c.type, row[c.source], c.field);
                values << toStorage(memoType, memoText, memo);
                Statement current = conn->prepare(currentSql);
                current.bind(1, step.recordNumber);
                if (current.step()) {
                    minimumBuys(current.value(0).toString(), current.value(1).toString(), current.value(2).toString(),
                                current.value(3), minimum);
                }
                values << minimum[0] << minimum[1] << minimum[2] << step.recordNumber;
                conn->prepare(updateSql).bindAll(values).run();
                ++outcome.matched;
            }
        } catch (const DbError& e) {
            // The engine gave up the whole transaction (disk full, I/O error): nothing is kept.
            if (sqlite3_get_autocommit(conn->handle()))
                throw;
            outcome.failed << number + QStringLiteral(": ") + e.text();
        }
        if (step.kind == ImportStep::Match) {
            --remaining;
            if (matchDone)
                matchDone(remaining);
        }
    }
    transaction.commit();
    outcome.added = added;
    return outcome;
}
