#include "Connection.h"

#include "JetSql.h"
#include "Values.h"

#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QHash<QString, std::weak_ptr<Connection>>& registry()
{
    static QHash<QString, std::weak_ptr<Connection>> r;
    return r;
}

QString registryKey(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// like(pattern, text) with the legacy wildcards; SQLite routes "text LIKE pattern" here.
void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternLen = sqlite3_value_bytes(argv[0]);
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textLen = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(ctx, jetLikeUtf8(text, textLen, pattern, patternLen) ? 1 : 0);
}

QVariant parseDefault(const QVariant& dflt)
{
    if (!dflt.isValid())
        return {};
    const QString t = dflt.toString().trimmed();
    if (t.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return {};
    if (t.size() >= 2 && t.startsWith(u'\'') && t.endsWith(u'\''))
        return t.mid(1, t.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    bool ok = false;
    const qlonglong i = t.toLongLong(&ok);
    if (ok)
        return i;
    const double d = t.toDouble(&ok);
    if (ok)
        return d;
    return t;
}

} // namespace

// ---------------------------------------------------------------- Statement

Statement::Statement(Connection* conn, sqlite3_stmt* stmt, QString sql)
    : conn_(conn), stmt_(stmt), sql_(std::move(sql)) {}

Statement::Statement(Statement&& o) noexcept
    : conn_(o.conn_), stmt_(o.stmt_), sql_(std::move(o.sql_))
{
    o.stmt_ = nullptr;
}

Statement::~Statement()
{
    if (stmt_)
        conn_->release(stmt_, sql_);
}

Statement& Statement::bind(int index, const QVariant& v)
{
    int rc = SQLITE_OK;
    if (!v.isValid()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(stmt_, index, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(stmt_, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(stmt_, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            rc = sqlite3_bind_text16(stmt_, index, dateToStorage(v.toDate()).utf16(), -1, SQLITE_TRANSIENT);
            break;
        case QMetaType::QDateTime:
            rc = sqlite3_bind_text16(stmt_, index, dateTimeToStorage(v.toDateTime()).utf16(), -1, SQLITE_TRANSIENT);
            break;
        default: {
            const QString s = v.toString();
            rc = sqlite3_bind_text16(stmt_, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw conn_->error(rc, sql_);
    return *this;
}

Statement& Statement::bind(int index, qint64 value)
{
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK)
        throw conn_->error(rc, sql_);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        throw conn_->error(rc, sql_);
    return *this;
}

Statement& Statement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DbError e = conn_->error(rc, sql_);
    sqlite3_reset(stmt_);
    throw e;
}

void Statement::run()
{
    while (step()) {}
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, i));
}

bool Statement::isNull(int i) const
{
    return sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}

qint64 Statement::int64(int i) const
{
    return sqlite3_column_int64(stmt_, i);
}

namespace {

QVariant variantOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    default:
        return {};
    }
}

} // namespace

QVariant Statement::value(int i) const
{
    return variantOf(sqlite3_column_value(stmt_, i));
}

QVariant Statement::value(int i, FieldType type) const
{
    // The usual pairs of stored kind and field kind directly, without the intermediate value;
    // everything else as fromStorage() converts it.
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        switch (type) {
        case FieldType::Long:
        case FieldType::Counter:
            return qlonglong(sqlite3_value_int64(v));
        case FieldType::Double:
        case FieldType::Currency:
            return double(sqlite3_value_int64(v));
        case FieldType::YesNo:
            return sqlite3_value_int64(v) != 0;
        default:
            break;
        }
        break;
    case SQLITE_FLOAT:
        if (type == FieldType::Double || type == FieldType::Currency)
            return sqlite3_value_double(v);
        break;
    case SQLITE_TEXT:
        if (type == FieldType::Text || type == FieldType::Memo)
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
        break;
    default:
        break;
    }
    return fromStorage(type, variantOf(v));
}

// ---------------------------------------------------------------- Connection

Connection::Connection(QString path) : path_(std::move(path)) {}

Connection::~Connection()
{
    close();
    auto& r = registry();
    const QString key = registryKey(path_);
    if (auto it = r.find(key); it != r.end() && it->expired())
        r.erase(it);
}

std::shared_ptr<Connection> Connection::open(const QString& path)
{
    const QString key = registryKey(path);
    auto& r = registry();
    if (auto existing = r.value(key).lock()) {
        existing->ensureOpen();
        return existing;
    }
    std::shared_ptr<Connection> c(new Connection(key));
    c->ensureOpen();
    r.insert(key, c);
    return c;
}

void Connection::closeFile(const QString& path)
{
    if (auto c = registry().value(registryKey(path)).lock())
        c->close();
}

void Connection::closeAll()
{
    for (const auto& weak : registry())
        if (auto c = weak.lock())
            c->close();
}

void Connection::ensureOpen()
{
    if (db_)
        return;
    const QFileInfo fi(path_);
    if (!fi.exists() || !fi.isFile())
        throw DbError(EngineError::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path_));
    const QByteArray native = QFile::encodeName(path_);
    readOnly_ = ::access(native.constData(), W_OK) != 0;
    const int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(native.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const DbError e(EngineError::CannotOpen, QStringLiteral("The database '%1' cannot be opened: %2")
                        .arg(path_, QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc))));
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw e;
    }
    ++opened_;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    // Reading the schema tells a database from any other file right away.
    rc = sqlite3_exec(db_, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const DbError e = (rc & 0xff) == SQLITE_NOTADB
            ? DbError(EngineError::NotADatabase, QStringLiteral("Unrecognized database format '%1'.").arg(path_))
            : error(rc, path_);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw e;
    }
    sqlite3_create_function_v2(db_, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr, nullptr);
}

bool Connection::isReadOnly()
{
    ensureOpen();
    return readOnly_;
}

sqlite3* Connection::handle()
{
    ensureOpen();
    return db_;
}

void Connection::close()
{
    for (sqlite3_stmt* s : std::as_const(cache_))
        sqlite3_finalize(s);
    cache_.clear();
    tables_.clear();
    if (db_) {
        if (transactionDepth_ > 0)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    transactionDepth_ = 0;
}

Statement Connection::prepare(const QString& sql)
{
    ensureOpen();
    if (auto it = cache_.find(sql); it != cache_.end()) {
        sqlite3_stmt* s = it.value();
        cache_.erase(it);
        return Statement(this, s, sql);
    }
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(db_, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr);
    if (rc != SQLITE_OK)
        throw error(rc, sql);
    if (!s)   // nothing but blanks or a comment
        throw DbError(EngineError::SyntaxError, QStringLiteral("Invalid SQL statement: '%1'.").arg(sql));
    return Statement(this, s, sql);
}

void Connection::release(sqlite3_stmt* stmt, const QString& sql)
{
    if (db_ && sqlite3_db_handle(stmt) == db_) {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        cache_.insert(sql, stmt);
    } else {
        sqlite3_finalize(stmt);
    }
}

void Connection::execute(const QString& sql, const QVariantList& params)
{
    Statement st = prepare(sql);
    st.bindAll(params);
    st.run();
    // A statement that changes tables changes what we know of them.
    const QStringView head = QStringView(sql).trimmed();
    if (head.startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive) || head.startsWith(QLatin1String("ALTER "), Qt::CaseInsensitive)
        || head.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive))
        schemaChanged();
}

qint64 Connection::lastInsertRowid()
{
    return sqlite3_last_insert_rowid(handle());
}

int Connection::changes()
{
    return sqlite3_changes(handle());
}

quint64 Connection::dataVersion()
{
    if (!db_)
        return 0;
    unsigned int version = 0;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return (quint64(opened_) << 32) | version;
}

QStringList Connection::tableNames()
{
    QStringList names;
    Statement st = prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND substr(name, 1, 7) <> 'sqlite_' ORDER BY name"));
    while (st.step())
        names << st.value(0).toString();
    return names;
}

void Connection::schemaChanged()
{
    tables_.clear();
}

std::shared_ptr<const TableInfo> Connection::table(const QString& name)
{
    const QString key = name.toLower();
    if (auto it = tables_.find(key); it != tables_.end())
        return *it;
    QString stored;
    for (const QString& t : tableNames())
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            stored = t;
    if (stored.isEmpty())
        return nullptr;
    auto info = std::make_shared<TableInfo>();
    info->name = stored;
    const QString quoted = u'"' + QString(stored).replace(u'"', QStringLiteral("\"\"")) + u'"';
    int pkCount = 0;
    {
        Statement st = prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoted));
        while (st.step()) {
            ColumnInfo c;
            c.name = st.value(1).toString();
            const QString declared = st.value(2).toString();
            c.primaryKey = st.int64(5) > 0;
            pkCount += c.primaryKey ? 1 : 0;
            c.type = fieldTypeFromDeclared(declared, c.primaryKey && declared.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0);
            c.defaultValue = parseDefault(st.value(4));
            info->columns.append(c);
        }
    }
    for (const ColumnInfo& c : info->columns)
        if (c.type == FieldType::Counter && pkCount == 1)
            info->rowidAlias = true;
    QStringList indexes;
    {
        Statement st = prepare(QStringLiteral("PRAGMA index_list(%1)").arg(quoted));
        while (st.step())
            indexes << st.value(1).toString();
    }
    for (const QString& ix : indexes) {
        Statement st = prepare(QStringLiteral("PRAGMA index_info(\"%1\")").arg(QString(ix).replace(u'"', QStringLiteral("\"\""))));
        if (st.step())
            info->indexColumn.insert(ix.toLower(), st.value(2).toString());
    }
    tables_.insert(key, info);
    return info;
}

int TableInfo::columnIndex(const QString& field) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

DbError Connection::error(int rc, const QString& context) const
{
    const QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int primary = rc & 0xff;
    const QString file = QFileInfo(path_).fileName();
    switch (primary) {
    case SQLITE_READONLY:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PERM:
        return DbError(EngineError::FileLocked, QStringLiteral("Couldn't lock file: the database '%1' is read-only or in use by another program.").arg(file));
    case SQLITE_FULL:
        return DbError(EngineError::DiskFull, QStringLiteral("The disk is full: the change to '%1' could not be saved.").arg(file));
    case SQLITE_IOERR:
        return DbError(EngineError::General, QStringLiteral("Disk or file error while using '%1': %2").arg(file, msg));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return DbError(EngineError::NotADatabase, QStringLiteral("The database '%1' is damaged or not a database.").arg(file));
    case SQLITE_CANTOPEN:
        return DbError(EngineError::CannotOpen, QStringLiteral("The database '%1' cannot be opened.").arg(file));
    case SQLITE_CONSTRAINT:
        return DbError(EngineError::DuplicateKey, QStringLiteral("The change was not saved because it would create a duplicate value in a key field (%1).").arg(msg));
    default:
        break;
    }
    if (msg.contains(QLatin1String("already exists")))
        return DbError(EngineError::TableExists, msg.left(1).toUpper() + msg.mid(1) + u'.');
    if (msg.startsWith(QLatin1String("no such table")))
        return DbError(EngineError::TableNotFound, QStringLiteral("The table or query '%1' could not be found.").arg(msg.section(u':', 1).trimmed()));
    if (msg.startsWith(QLatin1String("no such column")))
        return DbError(EngineError::TooFewParameters, QStringLiteral("Unknown field name '%1' in the statement.").arg(msg.section(u':', 1).trimmed()));
    if (msg.contains(QLatin1String("syntax error")) || msg.contains(QLatin1String("incomplete input")) || msg.contains(QLatin1String("unrecognized token")))
        return DbError(EngineError::SyntaxError, QStringLiteral("Syntax error in the statement '%1'.").arg(context));
    return DbError(EngineError::General, context.isEmpty() ? msg : QStringLiteral("%1 (%2)").arg(msg, context));
}

// ---------------------------------------------------------------- Transaction

Connection::Transaction::Transaction(Connection& c) : c_(c)
{
    c_.ensureOpen();
    const char* sql = c_.transactionDepth_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT nested";
    const int rc = sqlite3_exec(c_.db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw c_.error(rc, QString::fromLatin1(sql));
    ++c_.transactionDepth_;
}

void Connection::Transaction::commit()
{
    if (done_)
        return;
    const char* sql = c_.transactionDepth_ == 1 ? "COMMIT" : "RELEASE nested";
    const int rc = sqlite3_exec(c_.db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw c_.error(rc, QString::fromLatin1(sql));
    done_ = true;
    --c_.transactionDepth_;
}

Connection::Transaction::~Transaction()
{
    if (done_ || !c_.db_)
        return;
    if (c_.transactionDepth_ == 1)
        sqlite3_exec(c_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(c_.db_, "ROLLBACK TO nested; RELEASE nested", nullptr, nullptr, nullptr);
    --c_.transactionDepth_;
}
