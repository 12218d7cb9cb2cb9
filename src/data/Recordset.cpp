#include "Recordset.h"

#include "JetSql.h"

#include <sqlite3.h>

#include <algorithm>
#include <numeric>

namespace {

QString quoteIdent(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool isTextType(FieldType t)
{
    return t == FieldType::Text || t == FieldType::Memo;
}

constexpr int RowCacheLimit = 2048;
constexpr int ReadAhead = 64;    // rows read together by valueAt()
constexpr int BlockRows = 256;   // row ids one statement reads rows by

} // namespace

// ---------------------------------------------------------------- opening

std::shared_ptr<Recordset> Recordset::openTable(std::shared_ptr<Connection> conn, const QString& table)
{
    std::shared_ptr<Recordset> rs(new Recordset);
    rs->conn_ = std::move(conn);
    rs->openTableImpl(table);
    return rs;
}

std::shared_ptr<Recordset> Recordset::openDynaset(std::shared_ptr<Connection> conn, const QString& jetSql)
{
    std::shared_ptr<Recordset> rs(new Recordset);
    rs->conn_ = std::move(conn);
    rs->openDynasetImpl(jetSql);
    return rs;
}

Recordset::~Recordset() = default;

void Recordset::openTableImpl(const QString& table)
{
    const auto info = conn_->table(table);
    if (!info)
        throw DbError(EngineError::TableNotFound, QStringLiteral("The table '%1' could not be found.").arg(table));
    kind_ = Kind::Table;
    source_ = table;
    table_ = info->name;
    info_ = info;
    for (int i = 0; i < info->columns.size(); ++i) {
        const ColumnInfo& c = info->columns[i];
        fields_.append({c.name, i, c.type, fromStorage(c.type, c.defaultValue)});
    }
    indexFields();
    rowSql_ = rowSelectSql();
    buildKeyset();
    goTo(0, +1);
    afterMove();
}

void Recordset::openDynasetImpl(const QString& jetSql)
{
    kind_ = Kind::Dynaset;
    source_ = jetSql;
    const QString sql = translateJetSql(jetSql);

    // What the statement's columns are, and whether they all come from one table.
    QString origTable;
    bool oneTable = true;
    QVector<Field> fields;
    QStringList origins;
    {
        Statement st = conn_->prepare(sql);
        sqlite3_stmt* h = st.handle();
        for (int i = 0; i < st.columnCount(); ++i) {
            const char* tab = sqlite3_column_table_name(h, i);
            const char* origin = sqlite3_column_origin_name(h, i);
            Field f;
            f.name = st.columnName(i);
            origins << QString::fromUtf8(origin ? origin : "");
            if (!tab || !origin) {
                oneTable = false;
            } else {
                const QString t = QString::fromUtf8(tab);
                if (origTable.isEmpty())
                    origTable = t;
                else if (origTable.compare(t, Qt::CaseInsensitive) != 0)
                    oneTable = false;
            }
            fields.append(f);
        }
    }
    const auto shape = analyseSelect(sql);
    const auto info = oneTable && shape && !origTable.isEmpty() ? conn_->table(origTable) : nullptr;
    if (info && shape->table.compare(info->name, Qt::CaseInsensitive) == 0) {
        bool resolved = true;
        for (int i = 0; i < fields.size(); ++i) {
            Field& f = fields[i];
            const int col = info->columnIndex(origins[i]);
            if (col < 0) {
                resolved = false;
                break;
            }
            f.column = col;
            f.type = info->columns[col].type;
            f.defaultValue = fromStorage(f.type, info->columns[col].defaultValue);
        }
        const QString keyset = QStringLiteral("SELECT %1.rowid FROM%2").arg(shape->qualifier, shape->fromClause);
        if (resolved) {
            try {
                conn_->prepare(keyset);   // e.g. ORDER BY on a select-list alias fails here
                table_ = info->name;
                info_ = info;
                keysetSql_ = keyset;
                fields_ = fields;
                indexFields();
                rowSql_ = rowSelectSql();
                buildKeyset();
                goTo(0, +1);
                afterMove();
                return;
            } catch (const DbError&) {
                table_.clear();
                info_.reset();
            }
        }
    }

    // Anything else is read once, as a read-only snapshot.
    snapshot_ = true;
    fields_.clear();
    Statement st = conn_->prepare(sql);
    const int n = st.columnCount();
    sqlite3_stmt* h = st.handle();
    std::vector<bool> typed;   // false: an expression, whose kind comes from its values
    for (int i = 0; i < n; ++i) {
        Field f;
        f.name = st.columnName(i);
        const char* decl = sqlite3_column_decltype(h, i);
        f.type = decl ? fieldTypeFromDeclared(QString::fromUtf8(decl), false) : FieldType::Double;
        fields_.append(f);
        typed.push_back(decl != nullptr);
    }
    indexFields();
    while (st.step()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i) {
            const QVariant raw = st.value(i);
            if (!typed[i] && raw.isValid()) {   // an expression: take its kind from its value
                if (raw.metaType().id() == QMetaType::QString)
                    fields_[i].type = FieldType::Text;
                else if (raw.metaType().id() == QMetaType::LongLong && fields_[i].type == FieldType::Double)
                    fields_[i].type = FieldType::Long;
            }
            row[i] = raw;
        }
        snapshotRows_.append(row);
    }
    for (QVector<QVariant>& row : snapshotRows_)
        for (int i = 0; i < n; ++i)
            row[i] = fromStorage(fields_[i].type, row[i]);
    buildKeyset();
    goTo(0, +1);
    afterMove();
}

std::shared_ptr<Recordset> Recordset::clone() const
{
    requireOpen();
    ensureKeyset();
    std::shared_ptr<Recordset> rs(new Recordset);
    rs->conn_ = conn_;
    rs->kind_ = kind_;
    rs->source_ = source_;
    rs->table_ = table_;
    rs->info_ = info_;
    rs->rowSql_ = rowSql_;
    rs->snapshot_ = snapshot_;
    rs->fields_ = fields_;
    rs->fieldByName_ = fieldByName_;
    rs->keysetSql_ = keysetSql_;
    rs->keys_ = keys_;
    rs->snapshotRows_ = snapshotRows_;
    rs->index_ = index_;
    rs->indexColumn_ = indexColumn_;
    rs->goTo(0, +1);
    return rs;
}

QString Recordset::tableName() const
{
    return table_;
}

// ---------------------------------------------------------------- keyset

void Recordset::buildKeyset()
{
    keys_.clear();
    positionsValid_ = false;
    rowCache_.clear();
    stale_ = false;
    if (snapshot_) {
        keys_.reserve(snapshotRows_.size());
        for (int i = 0; i < snapshotRows_.size(); ++i)
            keys_.append(i);
        return;
    }
    QString sql;
    if (kind_ == Kind::Table) {
        sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteIdent(table_));
        if (!indexColumn_.isEmpty()) {
            const int col = info_->columnIndex(indexColumn_);
            const bool text = col >= 0 && isTextType(info_->columns[col].type);
            sql += QStringLiteral(" ORDER BY %1%2, rowid").arg(quoteIdent(indexColumn_), text ? QStringLiteral(" COLLATE NOCASE") : QString());
        } else {
            sql += QStringLiteral(" ORDER BY rowid");
        }
    } else {
        sql = keysetSql_;
    }
    Statement st = conn_->prepare(sql);
    while (st.step())
        keys_.append(st.int64(0));
}

void Recordset::ensureKeyset() const
{
    if (!stale_)
        return;
    auto* self = const_cast<Recordset*>(this);
    const bool had = hasCurrent();
    self->buildKeyset();
    if (had) {
        const int p = positionOf(currentRowid_);
        self->pos_ = p >= 0 ? p : int(keys_.size());
    } else if (pos_ > keys_.size()) {
        self->pos_ = int(keys_.size());
    }
}

int Recordset::positionOf(Bookmark rowid) const
{
    if (!positionsValid_) {
        positions_.clear();
        positions_.reserve(keys_.size());
        for (int i = 0; i < keys_.size(); ++i)
            positions_.insert(keys_[i], i);
        positionsValid_ = true;
    }
    return positions_.value(rowid, -1);
}

// Sets these fields of the row whose id is the last parameter.
QString Recordset::updateSql(const QList<int>& fields) const
{
    auto sql = updateSql_.constFind(fields);
    if (sql == updateSql_.constEnd()) {
        QStringList sets;
        for (const int f : fields)
            sets << quoteIdent(info_->columns[fields_[f].column].name) + QStringLiteral(" = ?");
        sql = updateSql_.insert(fields, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoteIdent(table_), sets.join(QStringLiteral(", "))));
    }
    return *sql;
}

QString Recordset::rowSelectSql() const
{
    QStringList cols;
    for (const Field& f : fields_)
        cols << quoteIdent(info_->columns[f.column].name);
    return QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(cols.join(QStringLiteral(", ")), quoteIdent(table_));
}

QVector<QVariant> Recordset::readRow(qint64 rowid, bool* found) const
{
    if (snapshot_) {
        *found = rowid >= 0 && rowid < snapshotRows_.size();
        return *found ? snapshotRows_[int(rowid)] : QVector<QVariant>();
    }
    Statement st = conn_->prepare(rowSql_);
    st.bind(1, rowid);
    QVector<QVariant> row;
    *found = st.step();
    if (*found) {
        row.resize(fields_.size());
        for (int i = 0; i < fields_.size(); ++i)
            row[i] = st.value(i, fields_[i].type);
    }
    return row;
}

bool Recordset::loadCurrent()
{
    bool found = false;
    const qint64 rowid = keys_[pos_];
    QVector<QVariant> row = readRow(rowid, &found);
    if (!found) {   // deleted by another data source since the set was opened
        keys_.removeAt(pos_);
        positionsValid_ = false;
        return false;
    }
    current_ = std::move(row);
    currentRowid_ = rowid;
    return true;
}

void Recordset::goTo(int pos, int direction)
{
    deletedCurrent_ = false;
    for (;;) {
        if (keys_.isEmpty()) {   // BOF and EOF at once
            pos_ = 0;
            current_.clear();
            return;
        }
        if (pos < 0) {
            pos_ = -1;
            current_.clear();
            return;
        }
        if (pos >= keys_.size()) {
            pos_ = int(keys_.size());
            current_.clear();
            return;
        }
        pos_ = pos;
        if (loadCurrent())
            return;
        if (direction < 0)   // the row vanished; forwards the next one has taken its place
            --pos;
    }
}

void Recordset::afterMove()
{
    Q_EMIT repositioned();
}

// ---------------------------------------------------------------- fields

// Names are looked up as spelled first, then without regard to case; either finds the first field
// of that name, as a search through the fields in order would.
void Recordset::indexFields()
{
    fieldByName_.clear();
    for (int i = 0; i < fields_.size(); ++i) {
        const QString folded = fields_[i].name.toCaseFolded();
        if (!fieldByName_.contains(folded))
            fieldByName_.insert(folded, i);
        if (!fieldByName_.contains(fields_[i].name))
            fieldByName_.insert(fields_[i].name, fieldByName_.value(folded));
    }
}

int Recordset::fieldIndex(const QString& name) const
{
    if (const auto it = fieldByName_.constFind(name); it != fieldByName_.constEnd())
        return *it;
    return fieldByName_.value(name.toCaseFolded(), -1);
}

QVariant Recordset::value(const QString& field) const
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(EngineError::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(field));
    return value(i);
}

QVariant Recordset::value(int i) const
{
    requireOpen();
    if (mode_ != EditMode::None)
        return buffer_.value(i);
    if (!hasCurrent())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    return current_.value(i);
}

void Recordset::setValue(const QString& field, const QVariant& v)
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(EngineError::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(field));
    setValue(i, v);
}

void Recordset::setValue(int i, const QVariant& v)
{
    requireUpdatable();
    if (mode_ == EditMode::None)
        throw DbError(EngineError::NotInEditMode, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const Field& f = fields_[i];
    buffer_[i] = fromStorage(f.type, toStorage(f.type, v, f.name));
    changed_.setBit(i);
}

// ---------------------------------------------------------------- position

bool Recordset::bof() const
{
    return keys_.isEmpty() || pos_ < 0;
}

bool Recordset::eof() const
{
    ensureKeyset();
    return keys_.isEmpty() || pos_ >= keys_.size();
}

bool Recordset::hasCurrent() const
{
    return !closed_ && !deletedCurrent_ && pos_ >= 0 && pos_ < keys_.size() && !current_.isEmpty();
}

int Recordset::recordCount() const
{
    if (closed_)
        return 0;
    ensureKeyset();
    return int(keys_.size());
}

int Recordset::absolutePosition() const
{
    ensureKeyset();
    return hasCurrent() ? pos_ : -1;
}

void Recordset::moveFirst()
{
    requireOpen();
    leaveCurrent();
    ensureKeyset();
    goTo(0, +1);
    afterMove();
}

void Recordset::moveLast()
{
    requireOpen();
    leaveCurrent();
    ensureKeyset();
    goTo(int(keys_.size()) - 1, -1);
    afterMove();
}

void Recordset::moveNext()
{
    requireOpen();
    if (eof() && !deletedCurrent_)
        return;
    leaveCurrent();
    ensureKeyset();
    goTo(deletedCurrent_ ? pos_ : pos_ + 1, +1);
    afterMove();
}

void Recordset::movePrevious()
{
    requireOpen();
    if (bof())
        return;
    leaveCurrent();
    ensureKeyset();
    goTo(pos_ - 1, -1);
    afterMove();
}

void Recordset::moveToPosition(int pos)
{
    requireOpen();
    leaveCurrent();
    ensureKeyset();
    goTo(pos, +1);
    afterMove();
}

Bookmark Recordset::bookmark() const
{
    if (!hasCurrent())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    return currentRowid_;
}

void Recordset::setBookmark(Bookmark b)
{
    requireOpen();
    leaveCurrent();
    ensureKeyset();
    const int p = positionOf(b);
    if (p < 0)
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("The record has been deleted."));
    goTo(p, +1);
    afterMove();
}

void Recordset::setIndex(const QString& name)
{
    requireOpen();
    if (kind_ != Kind::Table)
        throw DbError(EngineError::NotValidForKind, QStringLiteral("Operation is not supported for this type of object."));
    if (name.isEmpty()) {
        index_.clear();
        indexColumn_.clear();
    } else {
        const QString col = info_->indexColumn.value(name.toLower());
        if (col.isEmpty())
            throw DbError(EngineError::ItemNotFound, QStringLiteral("'%1' is not an index in this table.").arg(name));
        index_ = name;
        indexColumn_ = col;
    }
    const bool had = hasCurrent();
    buildKeyset();
    if (had) {
        const int p = positionOf(currentRowid_);
        pos_ = p >= 0 ? p : int(keys_.size());
    }
}

bool Recordset::seek(const QString& op, const QVariant& key)
{
    requireOpen();
    if (kind_ != Kind::Table)
        throw DbError(EngineError::NotValidForKind, QStringLiteral("Operation is not supported for this type of object."));
    if (indexColumn_.isEmpty())
        throw DbError(EngineError::NotValidForKind, QStringLiteral("Operation invalid without a current index."));
    leaveCurrent();
    ensureKeyset();

    const int col = info_->columnIndex(indexColumn_);
    const FieldType type = info_->columns[col].type;
    const QString collate = isTextType(type) ? QStringLiteral(" COLLATE NOCASE") : QString();
    const QString c = quoteIdent(indexColumn_) + collate;
    QString cmp = op.trimmed();
    const bool descending = cmp == QLatin1String("<") || cmp == QLatin1String("<=");
    if (cmp != QLatin1String("=") && cmp != QLatin1String(">=") && cmp != QLatin1String(">") && !descending)
        throw DbError(EngineError::SyntaxError, QStringLiteral("Invalid seek comparison '%1'.").arg(op));

    qint64 found = 0;
    bool hit = false;
    QVariant stored;
    bool convertible = true;
    try {
        stored = toStorage(type, key, indexColumn_);
    } catch (const DbError&) {
        convertible = false;
    }
    if (convertible && stored.isValid()) {
        const QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE %2 %3 ? ORDER BY %2 %4, rowid %4 LIMIT 1")
                                .arg(quoteIdent(table_), c, cmp, descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
        Statement st = conn_->prepare(sql);
        st.bind(1, stored);
        if (st.step()) {
            found = st.int64(0);
            hit = true;
        }
    }
    const int p = hit ? positionOf(found) : -1;
    noMatch_ = p < 0;
    if (noMatch_) {
        deletedCurrent_ = false;
        pos_ = int(keys_.size());
        current_.clear();
    } else {
        goTo(p, +1);
    }
    afterMove();
    return !noMatch_;
}

// ---------------------------------------------------------------- changes

void Recordset::requireOpen() const
{
    if (closed_)
        throw DbError(EngineError::General, QStringLiteral("Object is closed."));
}

void Recordset::requireUpdatable() const
{
    requireOpen();
    if (snapshot_)
        throw DbError(EngineError::NotUpdatable, QStringLiteral("Cannot update. Database or object is read-only."));
}

void Recordset::edit()
{
    requireUpdatable();
    if (mode_ != EditMode::None)
        return;
    if (!hasCurrent())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    buffer_ = current_;
    changed_.fill(false, fields_.size());
    mode_ = EditMode::Editing;
}

void Recordset::addNew()
{
    requireUpdatable();
    leaveCurrent();
    buffer_.resize(fields_.size());
    for (int i = 0; i < fields_.size(); ++i)
        buffer_[i] = fields_[i].defaultValue;
    changed_.fill(false, fields_.size());
    mode_ = EditMode::Adding;
    afterMove();
}

void Recordset::cancelUpdate()
{
    const bool wasAdding = mode_ == EditMode::Adding;
    mode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
    if (wasAdding)
        afterMove();
}

void Recordset::update()
{
    save(true);
}

void Recordset::save(bool validate)
{
    requireOpen();
    requestFlush(validate);
    if (mode_ == EditMode::None)
        return;
    writeBuffer();
}

void Recordset::addFlushHandler(const QObject* owner, FlushHandler handler)
{
    flushHandlers_.append({owner, std::move(handler)});
}

void Recordset::removeFlushHandler(const QObject* owner)
{
    flushHandlers_.removeIf([owner](const auto& h) { return h.first == owner; });
}

void Recordset::requestFlush(bool validate)
{
    // A validate handler that saves or moves again must not raise validate once more.
    ++flushDepth_;
    struct Guard { int& d; ~Guard() { --d; } } guard{flushDepth_};
    const bool raise = validate && flushDepth_ == 1;
    const auto handlers = flushHandlers_;   // a handler may detach itself
    for (const auto& h : handlers)
        h.second(raise);
}

void Recordset::leaveCurrent()
{
    if (closed_)
        return;
    requestFlush(true);
    if (mode_ == EditMode::None)
        return;
    if (!isDirty()) {   // nothing typed: an untouched new record is not stored
        mode_ = EditMode::None;
        buffer_.clear();
        return;
    }
    writeBuffer();
}

void Recordset::writeBuffer()
{
    requireUpdatable();
    const TableInfo* info = info_.get();
    QStringList cols;
    QList<int> changed;
    QVariantList values;
    bool keyChanged = false;
    for (int i = 0; i < fields_.size(); ++i) {
        if (!changed_.testBit(i))
            continue;
        const Field& f = fields_[i];
        const QString colName = info->columns[f.column].name;
        cols << quoteIdent(colName);
        changed << i;
        values << toStorage(f.type, buffer_[i], f.name);
        if (!indexColumn_.isEmpty() && colName.compare(indexColumn_, Qt::CaseInsensitive) == 0)
            keyChanged = true;
    }

    if (mode_ == EditMode::Adding) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(table_));
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteIdent(table_), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        conn_->execute(sql, values);
        const qint64 rowid = conn_->lastInsertRowid();
        mode_ = EditMode::None;
        buffer_.clear();
        changed_.clear();
        // The new record stays current, so that further edits go to it.
        keys_.append(rowid);
        if (kind_ == Kind::Table && !indexColumn_.isEmpty())
            stale_ = true;   // takes its place in the index order at the next move
        positionsValid_ = false;
        pos_ = int(keys_.size()) - 1;
        deletedCurrent_ = false;
        loadCurrent();
        ensureKeyset();
        Q_EMIT rowsChanged();
        Q_EMIT rowSaved(pos_);
        return;
    }

    if (!hasCurrent())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    if (!changed.isEmpty()) {
        values << currentRowid_;
        conn_->execute(updateSql(changed), values);
        if (conn_->changes() == 0)
            throw DbError(EngineError::NoCurrentRecord, QStringLiteral("The record has been deleted by another part of the program."));
    }
    mode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
    rowCache_.remove(currentRowid_);
    bool found = false;
    QVector<QVariant> row = readRow(currentRowid_, &found);
    if (found)
        current_ = row;
    if (keyChanged && kind_ == Kind::Table) {
        stale_ = true;
        ensureKeyset();
        Q_EMIT rowsChanged();
    }
    Q_EMIT rowSaved(pos_);
}

void Recordset::deleteCurrent()
{
    requireUpdatable();
    requestFlush(true);
    const bool adding = mode_ == EditMode::Adding;
    mode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
    if (adding) {   // deleting a record that was never stored only drops it
        afterMove();
        return;
    }
    ensureKeyset();
    if (!hasCurrent())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    conn_->execute(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdent(table_)), {currentRowid_});
    rowCache_.remove(currentRowid_);
    keys_.removeAt(pos_);
    positionsValid_ = false;
    current_.clear();
    deletedCurrent_ = true;
    Q_EMIT rowsChanged();
}

void Recordset::close()
{
    if (closed_)
        return;
    leaveCurrent();
    Q_EMIT closing();
    closed_ = true;
    keys_.clear();
    current_.clear();
    rowCache_.clear();
    positionsValid_ = false;
}

QVariant Recordset::valueAt(int pos, int field) const
{
    ensureKeyset();
    if (closed_ || pos < 0 || pos >= keys_.size() || field < 0 || field >= fields_.size())
        return {};
    const qint64 rowid = keys_[pos];
    if (pos == pos_ && hasCurrent())
        return mode_ == EditMode::Editing ? buffer_.value(field) : current_.value(field);
    auto it = rowCache_.find(rowid);
    if (it == rowCache_.end()) {
        readAround(pos);
        it = rowCache_.find(rowid);
        if (it == rowCache_.end())
            return {};
    }
    return it->value(field);
}

template <typename Found>
void Recordset::readRows(const QVector<qint64>& ids, const QList<int>& fields, Found&& found) const
{
    if (ids.isEmpty())
        return;
    auto sql = rowsSql_.constFind(fields);
    if (sql == rowsSql_.constEnd()) {
        QStringList cols;
        for (const int f : fields)
            cols << quoteIdent(info_->columns[fields_[f].column].name);
        QStringList marks;
        for (int i = 0; i < BlockRows; ++i)
            marks << QStringLiteral("?");
        const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE ").arg(cols.join(QStringLiteral(", ")), quoteIdent(table_));
        sql = rowsSql_.insert(fields, {select + QStringLiteral("rowid IN (%1)").arg(marks.join(QStringLiteral(", "))),
                                       select + QStringLiteral("rowid BETWEEN ? AND ? ORDER BY rowid")});
    }
    // Ids that ascend with few gaps (a run of records in the table's own order) are read as one
    // range of the table, passing over the rows between them; others by their ids, a block at a time.
    const bool ascending = std::adjacent_find(ids.cbegin(), ids.cend(), std::greater_equal<qint64>()) == ids.cend();
    if (ascending && quint64(ids.last()) - quint64(ids.first()) < quint64(2 * ids.size())) {
        Statement st = conn_->prepare(sql->second);
        st.bind(1, ids.first());
        st.bind(2, ids.last());
        qsizetype next = 0;
        while (st.step()) {
            const qint64 rowid = st.int64(0);
            while (next < ids.size() && ids[next] < rowid)
                ++next;
            if (next < ids.size() && ids[next] == rowid)
                found(rowid, st);
        }
        return;
    }
    for (qsizetype from = 0; from < ids.size(); from += BlockRows) {
        Statement st = conn_->prepare(sql->first);
        for (int i = 0; i < BlockRows; ++i) {
            if (from + i < ids.size())
                st.bind(i + 1, ids[from + i]);
            else
                st.bindNull(i + 1);
        }
        while (st.step())
            found(st.int64(0), st);
    }
}

// A grid, or a command going through the records, reads them by position one after the other:
// the rows around pos that are not cached yet are read together, by one statement.
void Recordset::readAround(int pos) const
{
    if (rowCache_.size() + ReadAhead > RowCacheLimit)
        rowCache_.clear();
    if (snapshot_) {
        bool found = false;
        rowCache_.insert(keys_[pos], readRow(keys_[pos], &found));
        return;
    }
    // Forwards from pos, and backwards as well when the rows after it are cached already (a list
    // scrolled upwards).
    QVector<qint64> ids;
    for (int p = pos; p < keys_.size() && ids.size() < ReadAhead; ++p)
        if (!rowCache_.contains(keys_[p]))
            ids.append(keys_[p]);
    for (int p = pos - 1; p >= 0 && ids.size() < ReadAhead / 2; --p)
        if (!rowCache_.contains(keys_[p]))
            ids.append(keys_[p]);
    QList<int> all(fields_.size());
    std::iota(all.begin(), all.end(), 0);
    readRows(ids, all, [this](qint64 rowid, const Statement& st) {
        QVector<QVariant> row(fields_.size());
        for (int i = 0; i < fields_.size(); ++i)
            row[i] = st.value(i + 1, fields_[i].type);
        rowCache_.insert(rowid, std::move(row));
    });
    // A row deleted elsewhere since the set was opened shows empty.
    for (const qint64 id : std::as_const(ids))
        if (!rowCache_.contains(id))
            rowCache_.insert(id, QVector<QVariant>());
}

QVector<QVariant> Recordset::valuesAt(int from, int count, const QList<int>& fields) const
{
    ensureKeyset();
    QVector<QVariant> values;
    if (closed_ || from < 0 || from >= keys_.size() || count <= 0 || fields.isEmpty())
        return values;
    count = qMin(count, int(keys_.size()) - from);
    const qsizetype width = fields.size();
    const bool allThere = std::all_of(fields.cbegin(), fields.cend(), [this](int f) { return f >= 0 && f < fields_.size(); });
    if (snapshot_ || !allThere) {
        values.resize(count * width);
        for (int r = 0; r < count; ++r)
            for (qsizetype k = 0; k < width; ++k)
                values[r * width + k] = valueAt(from + r, fields[k]);
        return values;
    }
    QVector<FieldType> types;
    for (const int f : fields)
        types << fields_[f].type;
    // Rows come back in no particular order. When the ids ascend, as they do in the table's own
    // order, the rows come in their order and are added as they come; otherwise (an index or an
    // ORDER BY, or once a row comes out of turn) each goes to every position of its id.
    const QVector<qint64> ids(keys_.cbegin() + from, keys_.cbegin() + from + count);
    bool inTurn = std::adjacent_find(ids.cbegin(), ids.cend(), std::greater_equal<qint64>()) == ids.cend();
    int next = 0;   // in turn: the row the next one read is
    QVector<std::pair<qint64, int>> order;   // out of turn: (id, position), by id
    const auto placeByIds = [&] {
        order.reserve(count);
        for (int r = 0; r < count; ++r)
            order.append({ids[r], r});
        std::sort(order.begin(), order.end());
    };
    if (!inTurn)
        placeByIds();
    values.resize(count * width);
    readRows(ids, fields, [&](qint64 rowid, const Statement& st) {
        if (inTurn) {
            while (next < count && ids[next] < rowid)   // a row deleted elsewhere reads as nothing
                ++next;
            if (next < count && ids[next] == rowid) {
                // Each place holds a null value yet, which owns nothing: the value is made in it.
                QVariant* row = values.data() + next * width;
                for (qsizetype k = 0; k < width; ++k)
                    new (row + k) QVariant(st.value(int(k) + 1, types[k]));
                ++next;
                return;
            }
            inTurn = false;
            placeByIds();
        }
        auto it = std::lower_bound(order.cbegin(), order.cend(), std::pair<qint64, int>(rowid, -1));
        for (; it != order.cend() && it->first == rowid; ++it) {
            QVariant* row = values.data() + it->second * width;
            for (qsizetype k = 0; k < width; ++k)
                row[k] = st.value(int(k) + 1, types[k]);
        }
    });
    // The current record as it is shown, with a change pending on it.
    if (hasCurrent() && pos_ >= from && pos_ < from + count) {
        const QVector<QVariant>& shown = mode_ == EditMode::Editing ? buffer_ : current_;
        for (qsizetype k = 0; k < width; ++k)
            values[(pos_ - from) * width + k] = shown.value(fields[k]);
    }
    return values;
}

void Recordset::writeAt(int pos, const QList<QPair<QString, QVariant>>& values)
{
    requireUpdatable();
    ensureKeyset();
    if (pos < 0 || pos >= keys_.size())
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    const qint64 rowid = keys_[pos];
    QList<int> written;
    QVariantList params;
    bool keyChanged = false;
    for (const auto& [name, v] : values) {
        const int i = fieldIndex(name);
        if (i < 0)
            throw DbError(EngineError::ItemNotFound, QStringLiteral("Item '%1' not found in this collection.").arg(name));
        const Field& f = fields_[i];
        const QString& colName = info_->columns[f.column].name;
        written << i;
        // As setValue() puts it into the buffer and the write takes it from there.
        params << toStorage(f.type, fromStorage(f.type, toStorage(f.type, v, f.name)), f.name);
        if (!indexColumn_.isEmpty() && colName.compare(indexColumn_, Qt::CaseInsensitive) == 0)
            keyChanged = true;
    }
    if (written.isEmpty())
        return;
    params << rowid;
    conn_->execute(updateSql(written), params);
    if (conn_->changes() == 0)
        throw DbError(EngineError::NoCurrentRecord, QStringLiteral("The record has been deleted by another part of the program."));
    rowCache_.remove(rowid);
    if (rowid == currentRowid_ && hasCurrent() && mode_ == EditMode::None) {
        bool found = false;
        QVector<QVariant> row = readRow(rowid, &found);
        if (found)
            current_ = std::move(row);
    }
    if (keyChanged && kind_ == Kind::Table) {
        stale_ = true;
        ensureKeyset();
        Q_EMIT rowsChanged();
        return;
    }
    Q_EMIT rowSaved(pos);
}
