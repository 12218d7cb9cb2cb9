#pragma once

#include "parts/PartsScreen.h"
#include "stock/OrderMath.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

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
    ExactMoney taggedTotal() const;
    std::array<double, 3> discountPercents() const;   // the centre's discount with each vendor
    OrderMath::OrderLine currentOrderLine() const;
    OrderMath::OrderLine orderLineAt(int position) const;
    void submitOrders(int vendor);
    void printPurchaseOrder(int vendor);

    std::array<VendorRow, 3> m_vendor{};
    QObject* m_listViewport = nullptr;   // compared only: the list's rows area, whose width the columns share
};
