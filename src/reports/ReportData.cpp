#include "ReportData.h"

#include "data/Database.h"
#include "platform/AppFolder.h"

#include <QDir>
#include <QHash>
#include <sqlite3.h>

namespace {

QString bracket(const QString& name)
{
    QString n = name;
    n.replace(u']', QStringLiteral("]]"));
    return u'[' + n + u']';
}

// A value of a column as the report reads it, by the column's kind.
ReportValue readCell(sqlite3_stmt* st, int col, FieldType type)
{
    const int t = sqlite3_column_type(st, col);
    if (t == SQLITE_NULL)
        return {};
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return ReportValue(QString::fromUtf8(p, sqlite3_column_bytes(st, col)));
    }
    case FieldType::Long:
    case FieldType::Counter:
        if (t == SQLITE_INTEGER)
            return ReportValue(qint64(sqlite3_column_int64(st, col)));
        // A fraction stored in a whole-number column, read as its whole number where it has one.
        return ReportValue(qint64(roundHalfEven(sqlite3_column_double(st, col))));
    case FieldType::Double:
        return ReportValue(sqlite3_column_double(st, col));
    case FieldType::Currency:
        // A stored amount beyond the range prints as out of range, never as the end of the range.
        return ReportValue(Currency::checked(sqlite3_column_double(st, col)).value_or(Currency::outOfRange()));
    case FieldType::YesNo:
        return ReportValue(sqlite3_column_int64(st, col) != 0);
    case FieldType::Date: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        const QVariant v = dateFromStorage(QString::fromUtf8(p, sqlite3_column_bytes(st, col)));
        if (v.typeId() == QMetaType::QDate)
            return ReportValue(v.toDate());
        if (v.typeId() == QMetaType::QDateTime)
            return ReportValue(v.toDateTime());
        return {};
    }
    case FieldType::Binary: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
        return ReportValue(QByteArray(p, sqlite3_column_bytes(st, col)));
    }
    }
    return {};
}

struct TableUse {
    QString name;                                  // as stored
    std::shared_ptr<const TableInfo> info;
};

// Where the pictures of one column are stored. A photo can take tens of megabytes: rows hold
// the row id of the one that holds it, and its bytes are read when a page prints it.
struct BlobColumn {
    QString path;
    QString table;
    QString column;
};

// A picture as it is stored now: one that was deleted since the rows were read reads as none.
class StoredBytes : public ReportBytes
{
public:
    StoredBytes(std::shared_ptr<const BlobColumn> column, qint64 rowid) : column_(std::move(column)), rowid_(rowid) {}
    QByteArray read() const override
    {
        try {
            return Database::readBlob(column_->path, column_->table, column_->column, rowid_);
        } catch (const DbError& e) {
            throw ReportError(e.text());
        }
    }

private:
    std::shared_ptr<const BlobColumn> column_;
    qint64 rowid_;
};

} // namespace

QString reportDatabasePath(const QString& name)
{
    if (QDir::isAbsolutePath(name))
        return resolveNoCase(name);
    return resolveNoCase(AppFolder::join(name));
}

std::shared_ptr<const ReportData> ReportData::read(const ReportDefinition& def, const Formula& selection,
                                                    const QList<SortField>& sortFields)
{
    auto data = std::make_shared<ReportData>();
    try {
        auto conn = Connection::open(reportDatabasePath(def.database));

        // The tables the rows come from.
        QList<TableUse> tables;
        auto useTable = [&](const QString& name) {
            auto info = conn->table(name);
            if (!info)
                throw ReportError(QStringLiteral("the table %1 is not in the database %2").arg(name, def.database));
            tables.append({info->name, info});
        };
        useTable(def.table);
        for (const ReportJoin& j : def.joins)
            useTable(j.table);

        // The lookup rows, read once.
        QHash<QString, QPair<std::shared_ptr<const TableInfo>, QVector<ReportValue>>> lookupRows;
        for (const QString& name : def.lookups) {
            auto info = conn->table(name);
            QVector<ReportValue> row;
            if (info) {
                Statement st = conn->prepare(QStringLiteral("SELECT * FROM %1 LIMIT 1").arg(bracket(info->name)));
                if (st.step())
                    for (int c = 0; c < info->columns.size() && c < st.columnCount(); ++c)
                        row.append(readCell(st.handle(), c, info->columns[c].type));
            }
            lookupRows.insert(name.toLower(), {info, row});
        }
        auto lookupValue = [&](const FieldRef& r) -> std::optional<ReportValue> {
            const auto it = lookupRows.constFind(r.table.toLower());
            if (it == lookupRows.constEnd())
                return std::nullopt;
            const auto& [info, row] = *it;
            if (!info)
                return ReportValue();   // a lookup table that is missing prints blanks
            const int c = info->columnIndex(r.field);
            if (c < 0)
                throw ReportError(QStringLiteral("the field %1 is not in the table %2").arg(r.text(), info->name));
            return c < row.size() ? row[c] : ReportValue();
        };

        // The table of the rows a field comes from, and the field's column in it.
        auto place = [&](const FieldRef& r) -> std::pair<const TableUse*, int> {
            for (const TableUse& t : tables) {
                if (t.name.compare(r.table, Qt::CaseInsensitive) != 0)
                    continue;
                const int c = t.info->columnIndex(r.field);
                if (c < 0)
                    throw ReportError(QStringLiteral("the field %1 is not in the table %2").arg(r.text(), t.name));
                return {&t, c};
            }
            throw ReportError(QStringLiteral("the field %1 is not in the report's tables").arg(r.text()));
        };
        const SqlFieldResolver resolve = [&](const FieldRef& r) -> SqlField {
            SqlField f;
            if (auto v = lookupValue(r)) {
                f.constant = *v;
                return f;
            }
            const auto [t, c] = place(r);
            f.sql = bracket(t->name) + u'.' + bracket(t->info->columns[c].name);
            f.type = t->info->columns[c].type;
            return f;
        };

        // Columns: every data field the definition reads; of a picture, the row id of the row
        // that holds one (none where it holds none).
        QStringList columns;
        QList<FieldType> types;
        QList<std::shared_ptr<const BlobColumn>> blobs;
        for (const FieldRef& r : def.dataFields()) {
            const SqlField f = resolve(r);
            types.append(f.type);
            if (f.type != FieldType::Binary) {
                columns.append(f.sql);
                blobs.append(nullptr);
                continue;
            }
            const auto [t, c] = place(r);
            columns.append(QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE %2.rowid END").arg(f.sql, bracket(t->name)));
            blobs.append(std::make_shared<BlobColumn>(BlobColumn{conn->path(), t->name, t->info->columns[c].name}));
        }
        data->columns_ = int(columns.size());
        for (const FieldRef& r : def.lookupFields())
            data->lookups_.append(lookupValue(r).value_or(ReportValue()));

        QString sql = QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("1") : columns.join(QStringLiteral(", ")));
        sql += QStringLiteral(" FROM ") + bracket(tables.first().name);
        for (const ReportJoin& j : def.joins) {
            const SqlField l = resolve(j.left);
            const SqlField r = resolve(j.right);
            if (l.sql.isEmpty() || r.sql.isEmpty())
                throw ReportError(QStringLiteral("a join cannot use a lookup table"));
            sql += (j.inner ? QStringLiteral(" INNER JOIN ") : QStringLiteral(" LEFT JOIN ")) + bracket(conn->table(j.table)->name)
                 + QStringLiteral(" ON ") + l.sql + QStringLiteral(" = ") + r.sql;
        }

        QStringList where;
        QVariantList params;
        for (const Formula* f : {&def.selection, &selection}) {
            const SqlCondition c = formulaToSql(*f, resolve);
            if (!c.sql.isEmpty()) {
                where.append(c.sql);
                params += c.params;
            }
        }
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));

        QStringList order;
        for (const SortField& s : sortFields)
            order.append(sortFieldToSql(s, resolve));
        for (const ReportGroup& g : def.groups)
            order.append(sortFieldToSql(SortField{g.field, g.descending}, resolve));
        for (const SortField& s : def.order)
            order.append(sortFieldToSql(s, resolve));
        order.removeAll(QString());
        order.append(bracket(tables.first().name) + QStringLiteral(".rowid"));   // stored order breaks ties
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));

        data->sql_ = sql;
        data->params_ = params;
        Statement st = conn->prepare(sql);
        st.bindAll(params);
        sqlite3_stmt* h = st.handle();
        const int n = data->columns_;
        while (st.step()) {
            for (int c = 0; c < n; ++c) {
                if (!blobs[c])
                    data->cells_.push_back(readCell(h, c, types[c]));
                else if (sqlite3_column_type(h, c) == SQLITE_NULL)
                    data->cells_.emplace_back();
                else
                    data->cells_.emplace_back(std::make_shared<StoredBytes>(blobs[c], sqlite3_column_int64(h, c)));
            }
            ++data->rows_;
        }
    } catch (const DbError& e) {
        throw ReportError(e.text());
    }
    return data;
}
