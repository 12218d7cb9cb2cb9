#pragma once

#include "DataControl.h"

#include <QAbstractTableModel>
#include <QPointer>

// A grid's view of a data control's recordset: one row per record, read on demand, so a
// long list shows at once. The grid and the screen share the current record: moveTo() moves
// the recordset (with the usual save and validate), and currentRowChanged() follows every
// move made elsewhere.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString heading;   // empty = the field name
        BindFormat format = BindFormat::General;
    };

    explicit RecordsetModel(DataControl* source, QObject* parent = nullptr);

    // The columns shown; empty = every field of the recordset, in its order.
    void setColumns(const QList<Column>& columns);
    QList<Column> columns() const;
    int fieldOfColumn(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int currentRow() const;
    void moveTo(int row);   // throws DbError when the record being left cannot be saved

Q_SIGNALS:
    void currentRowChanged(int row);

private:
    void rebind();
    QPointer<DataControl> source_;
    QList<Column> columns_;
    QList<QMetaObject::Connection> rsConnections_;
};
