#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class Connection;

// The price update of vendor 1 or vendor 2 from a pricing disk: the rows of table Pricing and the
// parts are walked side by side in ascending order of that vendor's part number; every part whose
// number a pricing row carries takes that row's price, book, page, minimum buy and package, and
// every part that no pricing row carries is listed as not updated.
//
// Part numbers are compared as text by character code, exactly and with regard to case and
// blanks ("A-1", "a-1" and "A-1 " are three numbers), and both sides are sorted by that same
// comparison before the walk, whatever order the pricing table keeps its rows in.

// One row of Pricing, for one vendor: the values as the file holds them.
struct PricingRow {
    QString number;
    QVariant price;
    QVariant book;
    QVariant page;
    QVariant minimumBuy;
    QVariant package;
};

// The rows of Pricing for vendor n, sorted by their part number (rows with the same number keep
// the table's order). Field names are matched without regard to case ("Minimum buy 1"). Throws
// DbError when the table or one of its fields is missing.
QList<PricingRow> readPricing(Connection& pricing, int vendor);

struct PartKey {
    qint64 recordNumber = 0;
    QString number;   // empty for a part without a number of that vendor
};

// Every part, sorted by its vendor-n number (parts without one first).
QList<PartKey> readPartKeys(Connection& inventory, int vendor);

// The walk of the two sorted lists, as the calls it makes, in order:
//  - match(part, row): the part's number equals the row's; the row stays current, so further
//    parts with the same number match it too;
//  - notUpdated(part): no pricing row carries the part's number (parts left over when the
//    pricing rows have run out are among them);
//  - step(): one pricing row or one part without a number passed over (the progress).
// A part without a number is never matched or listed.
struct PriceWalk {
    std::function<void(int part, int row)> match;
    std::function<void(int part)> notUpdated;
    std::function<void()> step;
};
void walkPriceUpdate(const QList<PartKey>& parts, const QStringList& pricingNumbers, const PriceWalk& walk);

// The values a matched part takes from a pricing row, after the defaults: an empty or zero price
// becomes 0.01, an empty or zero minimum buy or package 1. A price is read as an amount of money
// ("$5.00" is 5.00), a minimum buy or package as a whole number, each once for both the test for
// zero and the value stored. Nothing when one of them is a value the part's screens refuse: no
// number ("N/A", "12X"), one that does not fit its field, a price below 0, or a minimum buy or
// package below 0 or with a fraction. The part is then left as it is and listed as not updated.
struct PriceValues {
    QVariant price;        // double, a whole amount of ten-thousandths
    QVariant book;
    QVariant page;
    QVariant minimumBuy;   // qint64
    QVariant package;      // qint64
};
std::optional<PriceValues> priceValuesFor(const PricingRow& row);

struct PriceUpdateOutcome {
    QStringList notUpdated;   // in the order the walk found them
    int updated = 0;
};

// Runs the update for vendor n in one transaction on Inventory.mdb. A part whose new values cannot
// be used (priceValuesFor gives nothing) is not written and is listed as not updated. step() is
// called for each progress step. Throws DbError, with nothing written, when the database cannot be
// written.
PriceUpdateOutcome runPriceUpdate(Connection& inventory, const QList<PricingRow>& pricing, int vendor,
                                  const std::function<void()>& step = {});
