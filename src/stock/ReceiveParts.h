#pragma once

#include "parts/PartsScreen.h"

#include <array>
#include <cstdint>

class ColorScheme;
class DataNavigator;
class RecordGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

struct ColorSchemeConfig;

// One booking of received packages against a part's back order, worked out from the texts of the
// boxes involved: the count received, the back order, the package size and the count in stock
// (whole numbers). More received than is on back order is refused; a count below 0 or a part of a
// package books nothing (2.5 against a back order of 2 is more than the back order, 1.5 books
// nothing). The arithmetic is done in 16-bit whole numbers.
struct Receipt {
    enum Status {
        Nothing,             // the received box is empty: nothing to do
        NotANumber,          // what was typed is not a number
        UnreadablePart,      // the part's back order, package or count in stock is empty or not a number
        MoreThanBackOrder,   // more received than is on back order
        OutOfRange,          // an operand or a result does not fit in -32768..32767
        NoPackageSize,       // packages received for a package size of 0 (or below): no parts to book
        Booked,
    };
    enum Field { NoField, BackOrder, Package, InStock };

    Status status = Nothing;
    Field field = NoField;        // UnreadablePart, OutOfRange: the value at fault, when it is one
    bool negative = false;        // a count below 0 was typed; 0 is booked
    bool fraction = false;        // a part of a package was typed; 0 is booked
    std::int16_t received = 0;    // packages booked
    std::int16_t backOrder = 0;   // back order after the booking
    std::int16_t inStock = 0;     // count in stock after the booking (single parts)
};

Receipt bookReceipt(const QString& received, const QString& backOrder, const QString& package,
                    const QString& inStock);

// The colours of the receiving screen: table ReceiveColors in Colors.mdb.
ColorSchemeConfig receivePartsColorScheme();

// "Receive Parts": books the parts that arrive from a vendor against the back orders that
// submitted orders left on the parts. One tab per vendor; on a vendor's tab the user browses all
// parts or lists that vendor's back-ordered parts, types the packages received and confirms with
// OK (or by leaving the box), or receives the whole back order at once with Full Receipt.
// Opened modeless from the main window, which the opener locks; the screen lets it go, and
// brings it to the front, when it closes. Deleted when closed.
class ReceiveParts : public PartsScreen {
    Q_OBJECT
public:
    explicit ReceiveParts(QWidget* parent = nullptr);
    ~ReceiveParts() override;

    // The boxes of one tab; vendor rows 0..2 for vendors 1..3.
    struct TabControls {
        QWidget* page = nullptr;
        QLabel* heading = nullptr;              // Name n of the tab's vendor
        QPushButton* showBackOrders = nullptr;  // "Show Back &Orders"
        QPushButton* ok = nullptr;              // "O&K"
        std::array<QLabel*, 3> vendor{};        // row labels: Vendor 1..3
        std::array<QLineEdit*, 3> partNumber{};
        std::array<QLineEdit*, 3> package{};
        std::array<QLineEdit*, 3> backOrder{};
        std::array<QLineEdit*, 3> tagged{};
        std::array<QLineEdit*, 3> received{};
        QLineEdit* description = nullptr;
        QLineEdit* location = nullptr;
        QLineEdit* inStock = nullptr;
    };
    const TabControls& tab(int vendor) const { return m_tabs[vendor - 1]; }   // 1..3

    // Window width as the screen sets it, in twips: 8235, 11400 with a list, 8250 after a Full Receipt.
    int windowWidthTwips() const { return m_widthTwips; }
    // The vendor whose back orders are listed; 0 in the all-parts view.
    int backOrderVendor() const { return m_listVendor; }

    void Form_Load() override;   // Form_Unload as every parts screen

    void Command1_Click() { showBackOrders(1); }   // "Show Back &Orders", vendor 1
    void Command7_Click() { showBackOrders(2); }
    void Command3_Click() { showBackOrders(3); }
    void Command2_Click();                         // "Show &All Parts"
    void Command4_Click() { pressOk(1); }          // "O&K", vendor 1
    void Command5_Click() { pressOk(2); }
    void Command6_Click() { pressOk(3); }
    void Command8_Click() { fullReceipt(1); }      // "&Full Receipt", vendor 1
    void Command10_Click() { fullReceipt(2); }
    void Command9_Click() { fullReceipt(3); }
    void SSTab1_Click();
    void Text4_LostFocus() { pressOk(1); }
    void Text23_LostFocus() { pressOk(2); }
    void Text38_LostFocus() { pressOk(3); }
    void Command12_Click();                        // "Display"
    void Command11_Click();                        // "E&xit"

    // Data sources, besides Data1 (Parts: the current part, boxes and lists).
    DataControl* Data2;   // Information: vendor names and makes
    ColorScheme* Data3;   // ReceiveColors in Colors.mdb

    DataNavigator* SSDBData1;
    QPushButton* Command12;
    QPushButton* Command8;
    QPushButton* Command10;
    QPushButton* Command9;
    QPushButton* Command2;
    QTabWidget* SSTab1;
    RecordGrid* SSDBGrid1;
    RecordGrid* SSDBGrid2;
    RecordGrid* SSDBGrid3;
    QPushButton* Command11;

    // The family's boxes by their names.
    QPushButton* Command1;  QPushButton* Command7;  QPushButton* Command3;    // Show Back Orders
    QPushButton* Command4;  QPushButton* Command5;  QPushButton* Command6;    // OK
    QLineEdit* Text4;  QLineEdit* Text23; QLineEdit* Text38;   // received (input)
    QLineEdit* Text7;  QLineEdit* Text19; QLineEdit* Text34;   // back order
    QLineEdit* Text42; QLineEdit* Text46; QLineEdit* Text48;   // package
    QLineEdit* Text10; QLineEdit* Text21; QLineEdit* Text35;   // in stock
    QLineEdit* Text39; QLineEdit* Text40; QLineEdit* Text41;   // location (input)

    QMenu* MnuReceiveModify;

protected:
    bool closeParts() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Booking { NothingDone, Refused, Saved };

    void buildControls() override;
    void buildTab(int vendor);
    void buildMenus() override;
    void bindControls() override;
    void wireHandlers() override;

    void setWindowWidthTwips(int width);
    void showBackOrders(int vendor);
    void showAllParts();
    void pressOk(int vendor);
    Booking book(int vendor, bool interactive, QString* failure);
    void fullReceipt(int vendor);
    bool saveBeforeRequery();
    void dropUnbookedReceipts();
    void requery();
    RecordGrid* grid(int vendor) const;
    QPushButton* fullReceiptButton(int vendor) const;
    void updateNavigatorCaption();

    std::array<TabControls, 3> m_tabs{};
    int m_widthTwips = 8235;
    int m_listVendor = 0;
};
