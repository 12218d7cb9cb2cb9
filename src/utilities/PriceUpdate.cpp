#include "utilities/PriceUpdate.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Values.h"
#include "utilities/OldPartsImport.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

int columnOf(const QStringList& columns, const QString& field, const QString& table)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw DbError(EngineError::ItemNotFound, QStringLiteral("Item not found in this collection: the field '%1' is not in %2.").arg(field, table));
}

FieldType typeOf(const TableInfo& table, const QString& field)
{
    const int i = table.columnIndex(field);
    if (i < 0)
        throw DbError(EngineError::ItemNotFound, QStringLiteral("Item not found in this collection: the field '%1' is not in Parts.").arg(field));
    return table.columns.at(i).type;
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

bool isBlank(const QVariant& value)
{
    return value.isNull() || (!isNumber(value) && textOf(value).trimmed().isEmpty());
}

// The numbers of a pricing row are read once, by the same reader for the test for zero and for
// the value stored: a number field as it is, a text as the number it writes ("$5.00" is 5);
// an empty field is 0. What the part's screens would refuse if it were typed reads as nothing: a
// text that is no number ("N/A", "12X"), a value out of range of the part's field, a price below
// 0, a count below 0 or with a fraction (a minimum buy and a package count whole packages and
// pieces).
std::optional<Currency> priceOf(const QVariant& value)
{
    if (isBlank(value))
        return Currency();
    const std::optional<Currency> price = isNumber(value) ? Currency::checked(value.toDouble()) : Currency::parse(textOf(value));
    if (!price || *price < Currency())
        return std::nullopt;
    return price;
}

std::optional<qint64> countOf(const QVariant& value)
{
    if (isBlank(value))
        return 0;
    const std::optional<double> n = isNumber(value) ? std::optional<double>(value.toDouble()) : parseNumber(textOf(value));
    if (!n || !isWholeCount(*n) || !fitsLongField(*n))
        return std::nullopt;
    return qint64(*n);
}

}  // namespace

QList<PricingRow> readPricing(Connection& pricing, int vendor)
{
    const int n = vendor == 2 ? 2 : 1;
    const auto table = pricing.table(QStringLiteral("Pricing"));
    if (!table)
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table or query 'Pricing' could not be found."));
    Statement st = pricing.prepare(QStringLiteral("SELECT * FROM [%1]").arg(table->name));
    QStringList columns;
    for (int i = 0; i < st.columnCount(); ++i)
        columns << st.columnName(i);
    const QString name = table->name;
    const int number = columnOf(columns, QStringLiteral("Part Number %1").arg(n), name);
    const int price = columnOf(columns, QStringLiteral("Price %1").arg(n), name);
    const int book = columnOf(columns, QStringLiteral("Book %1").arg(n), name);
    const int page = columnOf(columns, QStringLiteral("Page %1").arg(n), name);
    const int minimumBuy = columnOf(columns, QStringLiteral("Minimum Buy %1").arg(n), name);
    const int package = columnOf(columns, QStringLiteral("Package %1").arg(n), name);
    QList<PricingRow> rows;
    while (st.step()) {
        PricingRow row;
        row.number = textOf(st.value(number));
        row.price = st.value(price);
        row.book = st.value(book);
        row.page = st.value(page);
        row.minimumBuy = st.value(minimumBuy);
        row.package = st.value(package);
        rows.append(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const PricingRow& a, const PricingRow& b) {
        return comparePartNumbers(a.number, b.number) < 0;
    });
    return rows;
}

QList<PartKey> readPartKeys(Connection& inventory, int vendor)
{
    const int n = vendor == 2 ? 2 : 1;
    if (!inventory.table(QStringLiteral("Parts")))
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table or query 'Parts' could not be found."));
    Statement st = inventory.prepare(QStringLiteral("SELECT [Record Number], [Part Number %1] FROM Parts").arg(n));
    QList<PartKey> keys;
    while (st.step())
        keys.append({st.int64(0), textOf(st.value(1))});
    std::sort(keys.begin(), keys.end(), [](const PartKey& a, const PartKey& b) {
        const int c = comparePartNumbers(a.number, b.number);
        return c != 0 ? c < 0 : a.recordNumber < b.recordNumber;
    });
    return keys;
}

void walkPriceUpdate(const QList<PartKey>& parts, const QStringList& pricingNumbers, const PriceWalk& walk)
{
    int p = 0;
    int r = 0;
    while (p < parts.size() && r < pricingNumbers.size()) {
        const QString& part = parts.at(p).number;
        if (part.isEmpty()) {
            ++p;
            if (walk.step)
                walk.step();
            continue;
        }
        const int c = comparePartNumbers(part, pricingNumbers.at(r));
        if (c == 0) {
            if (walk.match)
                walk.match(p, r);
            ++p;
        } else if (c < 0) {
            if (walk.notUpdated)
                walk.notUpdated(p);
            ++p;
        } else {
            ++r;
            if (walk.step)
                walk.step();
        }
    }
    // The pricing rows have run out: no part left carries a number that could still match.
    if (r >= pricingNumbers.size()) {
        for (; p < parts.size(); ++p)
            if (!parts.at(p).number.isEmpty() && walk.notUpdated)
                walk.notUpdated(p);
    }
}

std::optional<PriceValues> priceValuesFor(const PricingRow& row)
{
    const std::optional<Currency> price = priceOf(row.price);
    const std::optional<qint64> minimumBuy = countOf(row.minimumBuy);
    const std::optional<qint64> package = countOf(row.package);
    if (!price || !minimumBuy || !package)
        return std::nullopt;
    PriceValues v;
    v.price = (*price == Currency() ? Currency::fromUnits(100) : *price).toDouble();
    v.book = row.book;
    v.page = row.page;
    v.minimumBuy = *minimumBuy == 0 ? qint64(1) : *minimumBuy;
    v.package = *package == 0 ? qint64(1) : *package;
    return v;
}

PriceUpdateOutcome runPriceUpdate(Connection& inventory, const QList<PricingRow>& pricing, int vendor,
                                  const std::function<void()>& step)
{
    const int n = vendor == 2 ? 2 : 1;
    const auto table = inventory.table(QStringLiteral("Parts"));
    if (!table)
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table or query 'Parts' could not be found."));
    const QString fields[5] = {QStringLiteral("Price %1").arg(n), QStringLiteral("Book %1").arg(n), QStringLiteral("Page %1").arg(n),
                               QStringLiteral("Minimum Buy %1").arg(n), QStringLiteral("Package %1").arg(n)};
    FieldType types[5];
    for (int i = 0; i < 5; ++i)
        types[i] = typeOf(*table, fields[i]);
    const QString updateSql = QStringLiteral("UPDATE Parts SET [%1] = ?, [%2] = ?, [%3] = ?, [%4] = ?, [%5] = ? WHERE [Record Number] = ?")
                                  .arg(fields[0], fields[1], fields[2], fields[3], fields[4]);

    const QList<PartKey> parts = readPartKeys(inventory, n);
    QStringList numbers;
    numbers.reserve(pricing.size());
    for (const PricingRow& row : pricing)
        numbers.append(row.number);

    PriceUpdateOutcome outcome;
    Connection::Transaction transaction(inventory);
    PriceWalk walk;
    walk.match = [&](int p, int r) {
        const std::optional<PriceValues> v = priceValuesFor(pricing.at(r));
        if (!v) {
            outcome.notUpdated << parts.at(p).number;
            return;
        }
        try {
            const QVariant given[5] = {v->price, v->book, v->page, v->minimumBuy, v->package};
            QVariantList values;
            for (int i = 0; i < 5; ++i)
                values << toStorage(types[i], given[i].isNull() ? QVariant(QString()) : given[i], fields[i]);
            values << parts.at(p).recordNumber;
            inventory.prepare(updateSql).bindAll(values).run();
            ++outcome.updated;
        } catch (const DbError&) {
            // The engine gave up the whole transaction (disk full, I/O error): nothing is kept.
            if (sqlite3_get_autocommit(inventory.handle()))
                throw;
            outcome.notUpdated << parts.at(p).number;
        }
    };
    walk.notUpdated = [&](int p) { outcome.notUpdated << parts.at(p).number; };
    walk.step = step;
    walkPriceUpdate(parts, numbers, walk);
    transaction.commit();
    return outcome;
}
