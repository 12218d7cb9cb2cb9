#pragma once

#include "data/Values.h"
#include "reports/ExactMoney.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

// The arithmetic of ordering: prices shown per vendor, the tagged total, automatic tagging and
// the submission of tags as back orders. Quantities count packages of the vendor; the order
// arithmetic is done in 16-bit whole numbers (StockMath), as the order records have always been
// kept, and a result that does not fit is refused, never wrapped round.
namespace OrderMath {

// What vendor n's "Discount Price" and "Cost Each" boxes show. Nothing means an empty box.
struct PriceFigures {
    std::optional<Currency> discountPrice;
    std::optional<Currency> costEach;
};
// bookPrice: Price n (nothing when empty); discountPercent: the centre's discount with the vendor;
// specialPrice: Special Price n; package: Package n. A book price of 0 shows 0 and 0 (a special
// price is then ignored); otherwise the book price less the discount, or the special price when it
// is above 0, and that divided by the package. An empty book price shows nothing, and a package
// that is empty or 0 leaves the cost of one piece empty.
PriceFigures priceFigures(std::optional<Currency> bookPrice, double discountPercent,
                          std::optional<Currency> specialPrice, std::optional<double> package);

// The discount as the information row holds it ("15", "12.5", "" ...): its leading number, 0 when none.
double discountPercent(const QString& text);

// A part is needed when its count in stock is below its minimum and nothing is tagged or on back
// order for any vendor; a count, minimum, quantity or back order that is missing (an older file's
// NULL) counts as 0. This is the rule the needed view's query applies in the database.
struct StockLine {
    std::optional<double> inStock;
    std::optional<double> minimumStock;
    std::array<std::optional<double>, 3> quantityOrdered;
    std::array<std::optional<double>, 3> backOrdered;
};
bool isNeeded(const StockLine& part);

// A part counts as tagged for the record check when any of the three Order Qty texts holds a
// number above 0 (text that is not a number counts as 0).
bool isTagged(const std::array<QString, 3>& orderQuantities);
bool isTagged(const std::array<std::optional<double>, 3>& orderQuantities);   // the numbers parseNumber reads

// The price of one package to pay vendor n, exactly: the special price when it is above 0, else the
// book price less the discount, not rounded (15 % off $0.4375 is $0.371875); 0 for a book price of
// 0, nothing for an empty one. Out of range when a price it comes from is.
std::optional<ExactMoney> exactDiscountPrice(std::optional<Currency> bookPrice, double discountPercent,
                                             std::optional<Currency> specialPrice);

// The money value of one tagged part, exactly: for each vendor, packages tagged times that vendor's
// discount price (an empty quantity or price adds nothing for that vendor only). A total of such
// amounts is rounded once, where it is shown.
struct TaggedLine {
    std::optional<double> quantity;
    std::optional<Currency> bookPrice;
    double discountPercent = 0;
    std::optional<Currency> specialPrice;
};
ExactMoney taggedAmount(const std::array<TaggedLine, 3>& vendors);

// The warnings while a quantity is typed into vendor n's Order Qty box.
struct QuantityWarnings {
    bool backOrder = false;   // "This part is on backorder!"
    bool overFifty = false;   // "You are about to order more than 50 of this part!"
};
QuantityWarnings quantityWarnings(int vendor, const QString& quantity, const QString& backOrder,
                                  const QString& package, const QString& vendorHeading);

// Automatic tagging. The vendor of a part: the one whose "Auto Order" box is checked, else the first
// one that sells the part (a part number) and has nothing tagged on the other two, which then
// becomes the part's default vendor. 0 when none qualifies, and when the vendor checked has no
// part number for the part: an order to it could name no part.
struct AutoTagVendor {
    int vendor = 0;
    bool becomesDefault = false;
};
AutoTagVendor autoTagVendor(const std::array<bool, 3>& defaults, const std::array<QString, 3>& partNumbers,
                            const std::array<QString, 3>& orderQuantities);

// The new text of the Order Qty box of the vendor tagged: the shortfall below the minimum in the
// vendor's packages, unrounded ("2.5"), or the minimum buy when that is not smaller than the
// shortfall rounded half to even. A count in stock or minimum that is empty counts as 0. A package
// that is empty or 0 keeps the box's text, so the minimum buy decides. A minimum buy that is not a
// number leaves the shortfall as computed.
struct AutoTagQuantity {
    QString orderQuantity;
    bool outOfRange = false;   // the rounded shortfall or minimum buy does not fit 16 bits: not tagged
};
AutoTagQuantity autoTagQuantity(const QString& minimumStock, const QString& inStock, const QString& package,
                                const QString& orderQuantity, const QString& minimumBuy);

// What one of a part's boxes shows: the text on screen, or a value the part stores as its bound
// box would show it (money as currency, anything else as stored). The record check and automatic
// tagging read the part on screen from its boxes and the other parts of a view from their rows,
// through the same code; a stored value is formatted only when its text is needed.
class Shown {
public:
    Shown() = default;
    explicit Shown(QString text);
    Shown(const QVariant* stored, bool money);   // a value kept by the PartBoxes this belongs to

    QString text() const;
    bool isEmpty() const;   // no text
    // Nothing but blanks. A stored number always shows something.
    bool isBlank() const { return !isStoredNumber() && isBlankText(); }
    // What parseNumber reads in the text. A stored whole number shows as its digits, which read
    // back as that number.
    std::optional<double> number() const
    {
        if (isStoredWholeNumber())
            return double(*static_cast<const qlonglong*>(m_stored->constData()));
        return parseNumber(text());
    }
    // A value the part stores, not a text typed or set on screen.
    bool isStored() const { return !m_isText; }
    // An amount beyond what money holds, which shows as OutOfRangeMark.
    bool isOutOfRange() const;
    void setText(QString text);
    void setStored(const QVariant* stored, bool money);

private:
    bool isStoredText() const;
    bool isStoredNumber() const
    {
        return !m_isText
            && (m_storedType == QMetaType::LongLong || m_storedType == QMetaType::Double || m_storedType == QMetaType::Bool);
    }
    bool isStoredWholeNumber() const
    {
        if (m_isText || m_money || m_storedType != QMetaType::LongLong)
            return false;
        const qlonglong n = *static_cast<const qlonglong*>(m_stored->constData());
        return n > -(qlonglong(1) << 53) && n < (qlonglong(1) << 53);
    }
    bool isBlankText() const;

    QString m_text;
    const QVariant* m_stored = nullptr;
    int m_storedType = QMetaType::UnknownType;
    bool m_money = false;
    bool m_isText = true;
};

// The number boxes of a vendor that the record check reads, in the order it refuses them. The
// tag, the back order and the minimum purchase count packages; they and the package quantity take
// a whole number of 0 or more, never below 0 (a tag below 0 would keep the part from ever being
// needed) and never a part of one (which the field would store rounded up or down). The prices
// take an amount of 0 or more.
enum NumberBox { QuantityBox, BackOrderBox, MinimumBuyBox, PackageBox, PriceBox, SpecialPriceBox, NumberBoxes };
bool isMoneyBox(int box);
QString numberField(int vendor, int box);   // the field a vendor's number box shows: "Back Ordered 2"

// A part as the record check and automatic tagging see it: what its boxes show.
struct PartBoxes {
    struct Vendor {
        Shown partNumber;
        bool isDefault = false;
        std::array<Shown, NumberBoxes> numbers;
    };
    std::array<Vendor, 3> vendors;
    Shown description, location, minimumStock, inStock;
    QVector<QVariant> stored;   // the stored values shown, read together with other parts' (never changed)
};

// The record check of a part as it is left, on what its boxes show: the number boxes holding what
// the part cannot store, in the order they are refused (vendor 1..3, box), and whether the part is
// tagged and lacks the minimum stock or the location a tagged part needs. A part in which it finds
// nothing passes without a word and without a change. A value the part stores was not typed: it is
// left for the user to correct, and only one too large to be used here (which the screen names
// once) counts as refused.
struct CheckFindings {
    QList<std::pair<int, int>> refused;
    bool tagged = false;
    bool lacksMinimum = false;
    bool lacksLocation = false;
    bool passesQuietly() const { return refused.isEmpty() && !(tagged && (lacksMinimum || lacksLocation)); }
};
CheckFindings recordCheck(const PartBoxes& part);

// Automatic tagging of one part, on what its boxes show (autoTagVendor, autoTagQuantity): the vendor
// whose Auto Order box becomes checked, the new text of that vendor's Order Qty box (the whole number
// of packages its field stores), or the part's name (its part number, else its description) when the
// quantity does not fit.
struct PartTag {
    int vendor = 0;   // 0: no vendor qualifies and nothing changes
    bool checkDefault = false;
    std::optional<QString> quantity;
    QString outOfRange;
};
PartTag autoTag(const PartBoxes& part);

// Submitting one part's tags: vendor 1, 2 or 3, or 0 for all three vendors.
struct OrderLine {
    std::array<QString, 3> partNumbers;
    std::array<QString, 3> orderQuantities;
    std::array<QString, 3> backOrders;
    std::array<bool, 3> defaults{};
};
struct Submission {
    bool ok = false;
    QString problem;                      // why the part cannot be submitted
    std::array<QString, 3> backOrders;    // the new texts (unchanged where nothing moves)
    std::array<bool, 3> defaults{};
    std::array<bool, 3> submitted{};      // the vendors whose tag moves: their special prices end
};
// Vendor n: Back Order n += Order Qty n, and vendor n becomes the one default when its box is
// unchecked. All three: each vendor tagged (a quantity above 0) has its tag moved onto its back
// order, and a vendor becomes the one default only when it sells the part and the other two have
// nothing tagged. The sums are 16-bit: a back order above 32767, or a quantity or back order that is
// not a whole number of 0 or more, makes the part one that cannot be submitted. Empty counts as 0.
Submission submitPart(int vendor, const OrderLine& part);

}  // namespace OrderMath
