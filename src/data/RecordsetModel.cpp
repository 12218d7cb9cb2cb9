#include "RecordsetModel.h"

RecordsetModel::RecordsetModel(DataControl* source, QObject* parent)
    : QAbstractTableModel(parent), source_(source)
{
    connect(source, &DataControl::recordsetChanged, this, &RecordsetModel::rebind);
    rebind();
}

void RecordsetModel::rebind()
{
    beginResetModel();
    for (const auto& c : std::as_const(rsConnections_))
        disconnect(c);
    rsConnections_.clear();
    if (Recordset* rs = source_ ? source_->recordset() : nullptr) {
        rsConnections_ << connect(rs, &Recordset::rowsChanged, this, [this] {
            beginResetModel();
            endResetModel();
        });
        rsConnections_ << connect(rs, &Recordset::rowSaved, this, [this](int pos) {
            if (pos >= 0 && pos < rowCount())
                Q_EMIT dataChanged(index(pos, 0), index(pos, columnCount() - 1));
        });
        rsConnections_ << connect(rs, &Recordset::repositioned, this, [this] { Q_EMIT currentRowChanged(currentRow()); });
        rsConnections_ << connect(rs, &Recordset::closing, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
}

void RecordsetModel::setColumns(const QList<Column>& columns)
{
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

QList<RecordsetModel::Column> RecordsetModel::columns() const
{
    if (!columns_.isEmpty())
        return columns_;
    QList<Column> all;
    if (Recordset* rs = source_ ? source_->recordset() : nullptr)
        for (int i = 0; i < rs->fieldCount(); ++i)
            all.append({rs->fieldName(i), {}, BindFormat::General});
    return all;
}

int RecordsetModel::fieldOfColumn(int column) const
{
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    if (!rs)
        return -1;
    if (columns_.isEmpty())
        return column < rs->fieldCount() ? column : -1;
    return column < columns_.size() ? rs->fieldIndex(columns_[column].field) : -1;
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    return rs && !rs->isClosed() ? rs->recordCount() : 0;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (!columns_.isEmpty())
        return int(columns_.size());
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    return rs ? rs->fieldCount() : 0;
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    const int field = fieldOfColumn(index.column());
    if (!rs || field < 0)
        return {};
    const QVariant v = rs->valueAt(index.row(), field);
    if (role == Qt::EditRole)
        return v;
    const BindFormat format = columns_.isEmpty() ? BindFormat::General : columns_[index.column()].format;
    return DataControl::formatValue(v, format);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const QList<Column> cols = columns();
    if (section < 0 || section >= cols.size())
        return {};
    return cols[section].heading.isEmpty() ? cols[section].field : cols[section].heading;
}

int RecordsetModel::currentRow() const
{
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    return rs && !rs->isClosed() ? rs->absolutePosition() : -1;
}

void RecordsetModel::moveTo(int row)
{
    Recordset* rs = source_ ? source_->recordset() : nullptr;
    if (rs && !rs->isClosed() && row != currentRow())
        rs->moveToPosition(row);
}
