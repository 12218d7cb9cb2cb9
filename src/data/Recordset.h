#pragma once

#include "Connection.h"

#include <QBitArray>
#include <QObject>
#include <QVector>
#include <functional>
#include <memory>

using Bookmark = qint64;

// A set of records opened on a database, in the two kinds the windows use:
//  - Table: every row of one table, in the order of a named index (or stored order when no
//    index is set), with Seek on that index.
//  - Dynaset: the rows of an SQL statement. When the statement reads one table (as every
//    screen's query does), it is updatable and writes go to the row they came from; other
//    statements give a read-only snapshot.
// The set is keyset-driven: it holds the ordered row ids and reads a row when it becomes
// current, so a large table opens at once. A dynaset keeps its members until it is opened
// again, even when an edit makes a row stop matching; a table re-sorts after a change to its
// index key.
//
// Pending changes: edit()/addNew() open a buffer that setValue() fills. The buffer, together
// with whatever the data controls on this set hand in (addFlushHandler), is written
// before every move, add, delete and close, and on update(). An added record that nothing
// was written into is dropped rather than stored empty.
class Recordset : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Table, Dynaset };
    enum class EditMode { None, Editing, Adding };

    static std::shared_ptr<Recordset> openTable(std::shared_ptr<Connection> conn, const QString& table);
    static std::shared_ptr<Recordset> openDynaset(std::shared_ptr<Connection> conn, const QString& jetSql);
    std::shared_ptr<Recordset> clone() const;   // same rows, own position, no data controls
    ~Recordset() override;

    Kind kind() const { return kind_; }
    QString source() const { return source_; }
    QString tableName() const;                  // the table rows are written to; empty for a snapshot
    bool isUpdatable() const { return !snapshot_; }
    std::shared_ptr<Connection> connection() const { return conn_; }

    // Fields, by name without regard to case.
    int fieldCount() const { return int(fields_.size()); }
    QString fieldName(int i) const { return fields_[i].name; }
    FieldType fieldType(int i) const { return fields_[i].type; }
    int fieldIndex(const QString& name) const;          // -1 when absent
    QVariant value(const QString& field) const;         // throws ItemNotFound, NoCurrentRecord
    QVariant value(int i) const;
    void setValue(const QString& field, const QVariant& v);   // needs edit() or addNew(); converts, may throw
    void setValue(int i, const QVariant& v);

    // Position.
    bool bof() const;
    bool eof() const;
    bool hasCurrent() const;
    int recordCount() const;                    // exact; 0 when empty
    int absolutePosition() const;               // 0-based; -1 without a current record
    void moveFirst();
    void moveLast();
    void moveNext();                            // from the last record to EOF; no-op at EOF
    void movePrevious();                        // from the first record to BOF; no-op at BOF
    Bookmark bookmark() const;                  // throws NoCurrentRecord
    void setBookmark(Bookmark b);               // throws when the record is gone
    void moveToPosition(int pos);               // 0-based, as a grid row

    // Index and seek (table kind only).
    QString index() const { return index_; }
    void setIndex(const QString& name);         // throws NotValidForKind on a dynaset, ItemNotFound for an unknown index
    // op: "=", ">=", ">", "<=", "<". Stands on the first record (the last, for "<", "<=") whose key
    // compares so; otherwise noMatch() is true and there is no current record.
    bool seek(const QString& op, const QVariant& key);
    bool noMatch() const { return noMatch_; }

    // Changes.
    EditMode editMode() const { return mode_; }
    bool isDirty() const { return changed_.count(true) > 0; }
    void edit();
    void addNew();
    void update();                              // validate (through the data controls), then write
    void save(bool validate);                   // update(); save(false) is the data control's update-record
    void cancelUpdate();
    void deleteCurrent();
    void close();
    bool isClosed() const { return closed_; }

    // Reading any row by position without moving (grids).
    QVariant valueAt(int pos, int field) const;
    // Chosen fields of the records at positions from .. from + count - 1 (fewer at the end), without
    // moving: row by row, fields.size() values each, as valueAt() gives them. For a command that
    // goes through many records: only the fields asked for are read, a block of rows by one
    // statement, and the rows the grids read are left as they are.
    QVector<QVariant> valuesAt(int from, int count, const QList<int>& fields) const;
    // Writes fields of the record at a position without moving to it, for a command that changes
    // many records and shows none of them. Values are converted as setValue() converts them. No
    // validate is raised and the data controls hand in nothing; the position, the current record's
    // values and a change pending on it stay as they are. Throws DbError.
    void writeAt(int pos, const QList<QPair<QString, QVariant>>& values);

    // Data controls on this set hand in their bound controls' changes here before every save
    // and move (and raise their validate event first when validate is true). Called directly,
    // not as a signal, so that a value the field refuses aborts the move with its error.
    using FlushHandler = std::function<void(bool validate)>;
    void addFlushHandler(const QObject* owner, FlushHandler handler);
    void removeFlushHandler(const QObject* owner);

Q_SIGNALS:
    void repositioned();      // after every move, the first positioning included
    void rowsChanged();       // membership or order changed (add, delete, re-sort)
    void rowSaved(int pos);   // a row was written
    void closing();

private:
    struct Field {
        QString name;       // as the record shows it
        int column = -1;    // column in the table definition; -1 in a snapshot
        FieldType type = FieldType::Text;
        QVariant defaultValue;
    };

    Recordset() = default;
    void openTableImpl(const QString& table);
    void openDynasetImpl(const QString& jetSql);
    void buildKeyset();
    void ensureKeyset() const;
    int positionOf(Bookmark rowid) const;
    bool loadCurrent();
    QVector<QVariant> readRow(qint64 rowid, bool* found) const;
    void requestFlush(bool validate);
    void leaveCurrent();                 // flush + write before a move; may drop an untouched add
    void writeBuffer();
    void goTo(int pos, int direction);   // direction skips rows deleted elsewhere
    void afterMove();
    void requireOpen() const;
    void requireUpdatable() const;
    QString rowSelectSql() const;
    QString updateSql(const QList<int>& fields) const;
    void indexFields();
    // Reads the fields of the rows with these ids (a block at a time); found(rowid, statement) for
    // each row there is, whose columns 1.. are the fields in order.
    template <typename Found>
    void readRows(const QVector<qint64>& ids, const QList<int>& fields, Found&& found) const;

    std::shared_ptr<Connection> conn_;
    Kind kind_ = Kind::Table;
    QString source_;
    QString table_;                      // base table (stored spelling); empty for a snapshot
    std::shared_ptr<const TableInfo> info_;   // its definition, as when the set was opened
    QString rowSql_;                     // reads one row by its id
    bool snapshot_ = false;
    QVector<Field> fields_;
    QHash<QString, int> fieldByName_;     // each field's name as spelled, and case folded
    QString keysetSql_;                  // dynaset only

    mutable QVector<qint64> keys_;        // row ids in order (snapshot: row numbers)
    mutable QHash<qint64, int> positions_;
    mutable bool positionsValid_ = false;
    mutable bool stale_ = false;          // table re-sorts lazily after a key change or an add
    QVector<QVector<QVariant>> snapshotRows_;

    int pos_ = -1;
    bool deletedCurrent_ = false;
    qint64 currentRowid_ = 0;
    QVector<QVariant> current_;          // values as read
    EditMode mode_ = EditMode::None;
    QVector<QVariant> buffer_;
    QBitArray changed_;
    QString index_;
    QString indexColumn_;
    bool noMatch_ = false;
    bool closed_ = false;
    int flushDepth_ = 0;
    QList<QPair<const QObject*, FlushHandler>> flushHandlers_;

    mutable QHash<qint64, QVector<QVariant>> rowCache_;   // for valueAt()
    // Read these fields of rows: by their ids, and of a range of ids.
    mutable QHash<QList<int>, std::pair<QString, QString>> rowsSql_;
    mutable QHash<QList<int>, QString> updateSql_;        // sets these fields of a row
    void readAround(int pos) const;
};
