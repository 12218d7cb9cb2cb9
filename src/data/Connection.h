#pragma once

#include "DbError.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

class Connection;

// The field kinds of the legacy engine, recovered from each column's declared type name.
enum class FieldType { Text, Memo, Long, Counter, Double, Currency, Date, YesNo, Binary };

// A prepared statement borrowed from its connection's cache; returned (reset, unbound) when
// it goes out of scope. Never held across calls, so a connection can always be closed.
class Statement
{
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const QVariant& value);   // 1-based
    Statement& bind(int index, qint64 value);
    Statement& bindNull(int index);
    Statement& bindAll(const QVariantList& values);
    bool step();                 // true while a row is available; throws DbError on failure
    void run();                  // steps to the end
    int columnCount() const;
    QString columnName(int i) const;
    QVariant value(int i) const;
    QVariant value(int i, FieldType type) const;   // as fromStorage(type, value(i)) gives it
    qint64 int64(int i) const;
    bool isNull(int i) const;
    sqlite3_stmt* handle() const { return stmt_; }

private:
    friend class Connection;
    Statement(Connection* conn, sqlite3_stmt* stmt, QString sql);
    Connection* conn_;
    sqlite3_stmt* stmt_;
    QString sql_;
};

struct ColumnInfo {
    QString name;
    FieldType type = FieldType::Text;
    QVariant defaultValue;       // already in storage form, or null
    bool primaryKey = false;
};

struct TableInfo {
    QString name;                // as stored
    QList<ColumnInfo> columns;
    bool rowidAlias = false;     // true when the primary key is the row id (a counter)
    QHash<QString, QString> indexColumn;   // lower-case index name -> its (first) column
    int columnIndex(const QString& field) const;   // without regard to case; -1 when absent
};

FieldType fieldTypeFromDeclared(const QString& declared, bool integerPrimaryKey);

// One open database file. Every data source on the same file shares one Connection through
// the registry, so that compaction, restore and "save as" can close every use of a file at
// once; the next use opens it again. Files are never created by opening them.
class Connection
{
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The shared connection to an existing file. Throws DbError FileNotFound when it is not
    // there, NotADatabase when it is not a database, CannotOpen otherwise.
    static std::shared_ptr<Connection> open(const QString& path);
    // Closes the engine handle of the shared connection to this file, if any. Objects holding
    // the connection keep it; their next use opens the file again.
    static void closeFile(const QString& path);
    // Closes every shared connection (before a restore replaces files wholesale).
    static void closeAll();

    QString path() const { return path_; }
    bool isReadOnly();
    Statement prepare(const QString& sql);              // SQLite dialect
    void execute(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertRowid();
    int changes();
    // A number that differs whenever the file's content has changed since it was taken, by this
    // connection or another one (as of the last statement run here): what was read before is
    // still what the file holds while it stays the same. 0 while the file is not open.
    quint64 dataVersion();
    void close();                                     // finalize and close the handle
    bool isOpen() const { return db_ != nullptr; }

    QStringList tableNames();
    // Schema of a table, looked up without regard to case; null when there is none.
    std::shared_ptr<const TableInfo> table(const QString& name);
    void schemaChanged();                              // forget cached table definitions

    // Every write is one transaction; a multi-statement change takes this guard.
    class Transaction
    {
    public:
        explicit Transaction(Connection& c);
        ~Transaction();
        void commit();
    private:
        Connection& c_;
        bool done_ = false;
    };

    DbError error(int rc, const QString& context = QString()) const;
    sqlite3* handle();

private:
    explicit Connection(QString path);
    void ensureOpen();
    void release(sqlite3_stmt* stmt, const QString& sql);
    friend class Statement;

    QString path_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    quint32 opened_ = 0;             // times the file was opened: a reopened file counts afresh
    int transactionDepth_ = 0;
    QMultiHash<QString, sqlite3_stmt*> cache_;
    QHash<QString, std::shared_ptr<const TableInfo>> tables_;   // lower-case name
};

// Converts a value to the form a column of the given kind stores; throws DbError
// TypeConversion for text that is not a number or date where one is needed.
QVariant toStorage(FieldType type, const QVariant& value, const QString& field);
// The value as the windows read it: QString, qlonglong, double, bool, QDate/QDateTime,
// QByteArray; a null QVariant for NULL.
QVariant fromStorage(FieldType type, const QVariant& stored);
