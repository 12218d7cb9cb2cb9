#pragma once

#include "stock/OrderMath.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

#include <array>
#include <optional>

class Recordset;

// The parts of a view as their boxes would show them, read from their rows without moving there,
// a block of rows at a time: for the record check (its number boxes, the location and the minimum
// stock), or for automatic tagging as well (the part numbers, Auto Order boxes, description and
// count in stock). The boxes a reader does not read show nothing.
class PartReader {
public:
    enum Reads { ForCheck, ForTagging };

    PartReader(const Recordset& rs, Reads reads);

    // As bindControls binds the boxes: money as currency, everything else as stored. What it gives
    // stands until the next part is read.
    const OrderMath::PartBoxes& at(int pos);

    // The money value of the part tagged, from what it stores, exactly: for each vendor, packages
    // tagged times that vendor's discount price (discountPercents: the centre's discount with each
    // vendor).
    ExactMoney taggedAmount(int pos, const std::array<double, 3>& discountPercents);

private:
    // The values of the part at pos, read with the block it is in; null when there is none.
    const QVariant* row(int pos);

    static constexpr int Block = 256;
    const Recordset& m_rs;
    Reads m_reads;
    QList<int> m_fields;
    QVector<QVariant> m_values;
    int m_from = 0;
    int m_count = 0;
    OrderMath::PartBoxes m_part;   // the part last read
};

// Automatic tagging of a part that is not shown, as tagCurrentPart tags the part on screen: what
// leaving the part writes (the fields whose boxes it changes), and the part's name when its
// quantity does not fit. Nothing when the part's record check would need the user.
struct QuietTag {
    QList<QPair<QString, QVariant>> writes;
    QString outOfRange;
};

std::optional<QuietTag> autoTagQuietly(OrderMath::PartBoxes part);
