#pragma once

#include "data/Values.h"
#include "parts/PartsScreen.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class ColorScheme;
class DataNavigator;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class RecordGrid;
class RecordsetModel;
class ReportControl;

struct ColorSchemeConfig;

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
// order for any vendor; a missing count, minimum, quantity or back order makes it not needed. This
// is the rule the needed view's query applies in the database.
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

// The money value of one tagged part: for each vendor, packages tagged times that vendor's
// discount price (an empty quantity or price adds nothing for that vendor only).
struct TaggedLine {
    std::optional<double> quantity;
    PriceFigures prices;
};
Currency taggedAmount(const std::array<TaggedLine, 3>& vendors);

// The warnings while a quantity is typed into vendor n's Order Qty box.
struct QuantityWarnings {
    bool backOrder = false;   // "This part is on backorder!"
    bool overFifty = false;   // "You are about to order more than 50 of this part!"
};
QuantityWarnings quantityWarnings(int vendor, const QString& quantity, const QString& backOrder,
                                  const QString& package, const QString& vendorHeading);

// Automatic tagging. The vendor of a part: the one whose "Auto Order" box is checked, else the first
// one that sells the part (a part number) and has nothing tagged on the other two, which then
// becomes the part's default vendor. 0 when none qualifies.
struct AutoTagVendor {
    int vendor = 0;
    bool becomesDefault = false;
};
AutoTagVendor autoTagVendor(const std::array<bool, 3>& defaults, const std::array<QString, 3>& partNumbers,
                            const std::array<QString, 3>& orderQuantities);

// The new text of the Order Qty box of the vendor tagged: the shortfall below the minimum in the
// vendor's packages, unrounded ("2.5"), or the minimum buy when that is not smaller than the
// shortfall rounded half to even. A package that is empty or 0 keeps the box's text, so the minimum
// buy decides. A minimum buy that is not a number leaves the shortfall as computed.
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
    // Whether Currency::parse reads the text. A stored amount shows as money ("$1,234.50"), which
    // reads back as long as it is far from the ends of the range money holds.
    bool isMoney() const
    {
        if (m_money && !m_isText && m_storedType == QMetaType::Double
            && std::abs(*static_cast<const double*>(m_stored->constData())) < 1e12)
            return true;
        return Currency::parse(text()).has_value();
    }
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

// The number boxes of a vendor that the record check reads, in the order it refuses them.
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
// nothing passes without a word and without a change.
struct CheckFindings {
    QList<std::pair<int, int>> refused;
    bool tagged = false;
    bool lacksMinimum = false;
    bool lacksLocation = false;
    bool passesQuietly() const { return refused.isEmpty() && !(tagged && (lacksMinimum || lacksLocation)); }
};
CheckFindings recordCheck(const PartBoxes& part);

// Automatic tagging of one part, on what its boxes show (autoTagVendor, autoTagQuantity): the vendor
// whose Auto Order box becomes checked, the new text of that vendor's Order Qty box, or the part's
// name (its part number, else its description) when the quantity does not fit.
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
// unchecked. All three: each vendor's tag moves onto its back order, and a vendor becomes the one
// default only when it sells the part and the other two have nothing tagged. The sums are 16-bit:
// a back order above 32767, or a quantity or back order that is not a whole number, makes the part
// one that cannot be submitted. Empty counts as 0.
Submission submitPart(int vendor, const OrderLine& part);

}  // namespace OrderMath

// The colours of the ordering screen: table TagPartsColors in Colors.mdb. isAllPartsView tells the
// list items whether to hide the list again after a colour was chosen; showList shows or hides it.
ColorSchemeConfig tagPartsColorScheme(std::function<void(bool)> showList, std::function<bool()> isAllPartsView);

// "Tag Parts for Ordering": the current part with its three vendors side by side, what is tagged
// and on back order for each, and the prices. Lists the needed or the tagged parts, tags the needed
// parts automatically, turns tags into submitted orders (back orders) and prints purchase orders.
// Opened modeless from the main window, which the opener locks; the screen lets it go when it
// closes. Deleted when closed.
class TagParts : public PartsScreen {
    Q_OBJECT
public:
    explicit TagParts(QWidget* parent = nullptr);
    ~TagParts() override;

    // FindPartOpener: after a seek, vendor n's Order Qty box takes the focus.
    QWidget* findPartFocusTarget(int vendor) override;

    // The list of the needed or tagged parts, with its caption.
    bool isListVisible() const;
    QString listCaption() const;
    RecordsetModel* listModel() const;

    // Loading and activation; Form_Unload as every parts screen.
    void Form_Load() override;
    void Form_Activate() override;

    // Record events of Data1.
    void Data1_Reposition();
    void Data1_Validate();

    // A quantity typed into vendor n's Order Qty box (every change the user makes).
    void Text1_KeyUp() { quantityTyped(1); }
    void Text2_KeyUp() { quantityTyped(2); }
    void Text3_KeyUp() { quantityTyped(3); }

    // The "Auto Order" boxes: a click on one clears the other two.
    void Check1_Click() { defaultVendorClicked(1); }
    void Check2_Click() { defaultVendorClicked(2); }
    void Check3_Click() { defaultVendorClicked(3); }

    void Command1_Click();     // "Display": the part's images
    void SSCommand1_Click();   // "&Retrieve"
    void SSCommand4_Click();   // "&List"
    void SSCommand6_Click();   // "&Tally"
    void Command4_Click();     // "Automat&ic Tag"
    void CmdEXIT_Click();      // "E&xit"

    void MnuTagPartSort1_Click() { sortByVendor(1); }
    void MnuTagPartSort2_Click() { sortByVendor(2); }
    void MnuTagPartSort3_Click() { sortByVendor(3); }

    void MnuShowAll_Click();
    void MnuShowNeeded_Click();
    void MnuShowTagged_Click();

    void MnuTagClearOrder1_Click() { submitOrders(1); }
    void MnuTagClearOrder2_Click() { submitOrders(2); }
    void MnuTagClearOrder3_Click() { submitOrders(3); }
    void MnuClearAll3_Click() { submitOrders(0); }

    void MnuTagOrder1_Click() { printPurchaseOrder(1); }
    void MnuTagOrder2_Click() { printPurchaseOrder(2); }
    void MnuTagOrder3_Click() { printPurchaseOrder(3); }

    // Data sources, besides Data1 (Parts: the current part, in the current view).
    DataControl* Data2;   // Information: vendor headings and discounts
    ColorScheme* Data3;   // TagPartsColors in Colors.mdb

    DataNavigator* SSDBData1;
    QPushButton* SSCommand4;     // "&List"
    QPushButton* SSCommand6;     // "&Tally"
    QPushButton* SSDBCommand3;   // "&Begin"
    QPushButton* SSDBCommand1;   // "&Next"
    QPushButton* SSDBCommand2;   // "&Previous"
    QPushButton* SSDBCommand4;   // "&End"
    QPushButton* Command1;       // "Display"
    QPushButton* SSCommand1;     // "&Retrieve"

    // Label1..Label34 (index 0 and 30 unused).
    std::array<QLabel*, 35> Label{};

    // The vendor table, vendor 1 / 2 / 3.
    QCheckBox* Check1; QCheckBox* Check2; QCheckBox* Check3;                 // Auto Order
    QLineEdit* Text1; QLineEdit* Text2; QLineEdit* Text3;                    // Order Qty
    QLineEdit* Text8; QLineEdit* Text9; QLineEdit* Text10;                   // Back Order
    QLineEdit* Text26; QLineEdit* Text33; QLineEdit* Text34;                 // Min. Buy
    QLineEdit* Text20; QLineEdit* Text21; QLineEdit* Text22;                 // Pkg. Qty.
    QLineEdit* MaskEdBox11; QLineEdit* MaskEdBox12; QLineEdit* MaskEdBox13;  // Book Price
    QLineEdit* Text27; QLineEdit* Text28; QLineEdit* Text29;                 // Page Number
    QLineEdit* MaskEdBox4; QLineEdit* MaskEdBox5; QLineEdit* MaskEdBox6;     // Special Price
    QLineEdit* MaskEdBox14; QLineEdit* MaskEdBox15; QLineEdit* MaskEdBox16;  // Discount Price
    QLineEdit* MaskEdBox17; QLineEdit* MaskEdBox18; QLineEdit* MaskEdBox19;  // Cost Each
    QLineEdit* Text30; QLineEdit* Text31; QLineEdit* Text32;                 // Current Discount
    QLineEdit* Text23; QLineEdit* Text24; QLineEdit* Text25;                 // hidden: Discount 1..3

    QLineEdit* MaskEdBox1;   // Date Ordered, long date
    QLineEdit* Text7;        // Part Memo

    RecordGrid* SSDBGrid1;
    QPushButton* Command4;   // "Automat&ic Tag"
    QPushButton* cmdexit;    // "E&xit"

    QMenu* MnuTagPartsOrder;
    QAction* MnuTagOrder1;
    QAction* MnuTagOrder2;
    QAction* MnuTagOrder3;
    QMenu* MnuTagPartsClear;
    QAction* MnuTagClearOrder1;
    QAction* MnuTagClearOrder2;
    QAction* MnuTagClearOrder3;
    QAction* MnuClearAll3;
    QMenu* MnuTagPartVendor;
    QAction* MnuTagPartSort1;
    QAction* MnuTagPartSort2;
    QAction* MnuTagPartSort3;
    QMenu* MnuShow;
    QAction* MnuShowAll;
    QAction* MnuShowTagged;
    QAction* MnuShowNeeded;
    QMenu* MnuTagPartsColors;

    std::unique_ptr<ReportControl> CrystalReport1;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct VendorRow {
        QLabel* heading;
        QLabel* partNumber;
        QCheckBox* autoOrder;
        QLineEdit* orderQty;
        QLineEdit* backOrder;
        QLineEdit* minimumBuy;
        QLineEdit* package;
        QLineEdit* bookPrice;
        QLineEdit* page;
        QLineEdit* specialPrice;
        QLineEdit* discountPrice;
        QLineEdit* costEach;
        QLineEdit* currentDiscount;
        QLineEdit* discount;   // hidden, bound to Discount n
    };
    enum class View { All, Needed, Tagged };

    void buildControls() override;
    void buildMenus() override;
    void bindControls() override;
    void wireHandlers() override;

    void refreshDiscountTexts();
    void updateNavigatorCaption();
    void quantityTyped(int vendor);
    void defaultVendorClicked(int vendor);
    QLineEdit* numberBox(int vendor, int box) const;   // vendor 1..3, OrderMath::NumberBox
    OrderMath::PartBoxes shownPart() const;
    void sortByVendor(int vendor);
    void showView(View view);
    bool readListView(View view, const QString& query, QString& failure);
    void leaveEmptyListView();
    void setListVisible(bool on);
    void fitListColumns();
    void setTaggedTotalVisible(bool on);
    void returnToPartsTable(const QString& allParts = QStringLiteral("select * from parts"));
    bool reopenPartsTable(const QString& index);   // false when the part on screen could not be written
    void bringIntoAllPartsView();
    void tagCurrentPart(QStringList& outOfRange);
    Currency taggedTotal() const;
    std::array<double, 3> discountPercents() const;   // the centre's discount with each vendor
    OrderMath::OrderLine currentOrderLine() const;
    OrderMath::OrderLine orderLineAt(int position) const;
    void submitOrders(int vendor);
    void printPurchaseOrder(int vendor);

    std::array<VendorRow, 3> m_vendor{};
    QObject* m_listViewport = nullptr;   // compared only: the list's rows area, whose width the columns share
};
