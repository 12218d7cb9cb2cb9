#pragma once

#include "parts/PartsScreen.h"
#include "query/FilterHost.h"
#include "query/FilterStatement.h"

#include <QHash>

#include <array>
#include <functional>

class ColorScheme;
class DataNavigator;
class DateMaskBox;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

struct ColorSchemeConfig;

// The colours of the maintenance screen: table MaintScreenColors in Colors.mdb.
ColorSchemeConfig maintScreenColorScheme();

// "Maintain Database Information": the catalogue of parts, one part at a time, with each of its
// three vendors side by side. Every box is bound to the current part of Data1 (table Parts); a
// change is written when the part is saved (Enter), when a price or minimum-purchase check writes,
// or when the part is left. Opened modeless from the main window, which the opener locks; the
// screen lets it go when it closes. Deleted when closed.
class MaintScreen : public PartsScreen, public FilterHost {
    Q_OBJECT
public:
    explicit MaintScreen(QWidget* parent = nullptr);
    ~MaintScreen() override;

    // The filter indicators, switched together by the filter window: "Filter is ON" shown, the
    // Print menu enabled, the Sort menu and "&Retrieve" disabled while a filter is applied.
    void SetFilterIndicators(bool filterOn) override;
    bool filterOn() const override;

    // FilterHost: the filter window works on Data1.
    DataControl* filterDataControl() override { return Data1; }
    QWidget* filterHostWindow() override { return this; }

    // FindPartOpener: after a seek, vendor n's part number takes the focus.
    QWidget* findPartFocusTarget(int vendor) override;

    // Loading and activation; Form_Unload as every parts screen.
    void Form_Load() override;
    void Form_Activate() override;

    // The record check, run before Data1 leaves or writes the current part.
    void Data1_Validate();

    // Leaving a part-number, price, package or minimum-purchase box.
    void Text1_LostFocus() { partNumberLeft(1); }
    void Text2_LostFocus() { partNumberLeft(2); }
    void Text3_LostFocus() { partNumberLeft(3); }
    void MaskEdBox1_LostFocus() { runCheck(1, Check::Price); }
    void MaskEdBox2_LostFocus() { runCheck(2, Check::Price); }
    void MaskEdBox3_LostFocus() { runCheck(3, Check::Price); }
    void Text6_LostFocus() { runCheck(1, Check::Package); }
    void Text9_LostFocus() { runCheck(2, Check::Package); }
    void Text12_LostFocus() { runCheck(3, Check::Package); }
    void Text27_LostFocus() { runCheck(1, Check::MinimumBuy); }
    void Text28_LostFocus() { runCheck(2, Check::MinimumBuy); }
    void Text29_LostFocus() { runCheck(3, Check::MinimumBuy); }

    // The date box and its entry box.
    void MaskEdBox5_GotFocus();
    void MaskEdBox4_LostFocus();

    // The default-vendor boxes: a click clears the other two.
    void Check1_Click() { defaultVendorClicked(1); }
    void Check2_Click() { defaultVendorClicked(2); }
    void Check3_Click() { defaultVendorClicked(3); }

    void cmdSave_Click();       // "&Save" (Enter)
    void SSCommand1_Click();    // "&Retrieve"
    void SSCommand2_Click();    // "&Add"
    void SSCommand3_Click();    // "&Delete"
    void SSCommand7_Click();    // "&Display"
    void CmdEXIT_Click();       // "E&xit" (Esc)

    // Sorting by a vendor's part numbers, the result list, the filter window, the count, and the
    // filtered report and labels.
    void MnuSortMaint1_Click();
    void MnuSortMaint2_Click();
    void MnuSortMaint3_Click();
    void SSCommand4_Click();    // "&List"
    void SSCommand5_Click();    // "&Filter"
    void SSCommand6_Click();    // "&Tally"
    void MnuFilterRecords_Click();
    void MnuBarcodedFiltered5160_Click();
    void MnuFiltered5160_Click();
    void MnuFilteredBarcode_Click();
    void MnuFilteredNoBarcode_Click();

    // The filter's formula and sort fields as the filtered report and labels get them.
    static CurrentFilterFormula filteredPrintFormula();

    // Data sources, besides Data1 (Parts: the part on screen).
    DataControl* Data2;   // Information: the vendor headings
    ColorScheme* Data3;   // MaintScreenColors in Colors.mdb

    // Frames: vendors 1..3, the part's own fields, back orders, tagged for order.
    QGroupBox* SSFrame5;
    QGroupBox* SSFrame4;
    QGroupBox* SSFrame3;
    QGroupBox* SSFrame6;
    QGroupBox* SSFrame1;
    QGroupBox* SSFrame2;

    // Label1..Label31 (index 0 unused).
    std::array<QLabel*, 32> Label{};

    // Vendor 1, 2, 3.
    QLineEdit* Text1;  QLineEdit* Text2;  QLineEdit* Text3;    // part numbers
    QCheckBox* Check1; QCheckBox* Check2; QCheckBox* Check3;   // default vendor
    QLineEdit* Text4;  QLineEdit* Text24; QLineEdit* Text25;   // books
    QLineEdit* Text5;  QLineEdit* Text8;  QLineEdit* Text11;   // pages
    QLineEdit* Text6;  QLineEdit* Text9;  QLineEdit* Text12;   // package quantities
    QLineEdit* Text27; QLineEdit* Text28; QLineEdit* Text29;   // minimum purchase
    QLineEdit* MaskEdBox1; QLineEdit* MaskEdBox2; QLineEdit* MaskEdBox3;   // prices
    QLineEdit* Text18; QLineEdit* Text19; QLineEdit* Text20;   // back ordered
    QLineEdit* Text23; QLineEdit* Text26; QLineEdit* Text30;   // tagged for order

    // The part.
    QLineEdit* Text14;       // Description
    QLineEdit* Text15;       // Area of Machine
    QLineEdit* Text16;       // In Stock
    QLineEdit* Text17;       // Minimum Stock
    QLineEdit* Text21;       // Location
    QLineEdit* Text22;       // Part Memo
    QLineEdit* MaskEdBox5;   // Date Ordered, as a long date
    DateMaskBox* MaskEdBox4; // the date entry box, shown while a date is typed

    QLabel* FilterLabel;

    QPushButton* SSCommand1;
    QPushButton* SSCommand2;
    QPushButton* SSCommand3;
    QPushButton* SSCommand4;
    QPushButton* SSCommand5;
    QPushButton* SSCommand6;
    QPushButton* SSCommand7;
    QPushButton* cmdSave;    // hidden; Enter presses it
    QPushButton* CmdEXIT;
    QPushButton* SSDBCommand1;   // "&Next"
    QPushButton* SSDBCommand2;   // "&Previous"
    QPushButton* SSDBCommand3;   // "&Begin"
    QPushButton* SSDBCommand4;   // "&End"
    DataNavigator* SSDBData1;

    QMenu* MnuMaintSort;
    QAction* MnuSortMaint1;
    QAction* MnuSortMaint2;
    QAction* MnuSortMaint3;
    QMenu* MnuMaintScreenPrint;
    QAction* MnuFilterRecords;
    QMenu* MnuFilterLabels;
    QAction* MnuBarcodedFiltered5160;
    QAction* MnuFiltered5160;
    QAction* MnuFilteredBarcode;
    QAction* MnuFilteredNoBarcode;
    QMenu* MnuMaintScreenColor;
    QAction* MnuColorBackground;
    QAction* MnuColorForeColor;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Check { MinimumBuy, Package, Price };
    // Every count the screen shows (parts or packages) is a whole number of 0 or more; a price is
    // an amount of money of 0 or more.
    enum class NumberKind { Count, Money };

    struct VendorBoxes {
        QLineEdit* partNumber;
        QCheckBox* defaultVendor;
        QLineEdit* book;
        QLineEdit* page;
        QLineEdit* package;
        QLineEdit* minimumBuy;
        QLineEdit* price;
        QLineEdit* backOrdered;
        QLineEdit* tagged;
    };
    struct NumberBox {
        QString field;
        NumberKind kind;
    };

    void buildControls() override;
    void buildMenus() override;
    void bindControls() override;
    void wireHandlers() override;

    bool hasRecord() const;
    void reopenPartsTable(const QString& index);
    void runCheck(int vendor, Check check);
    void partNumberLeft(int vendor);
    void defaultVendorClicked(int vendor);
    void commitTypedDate();
    bool acceptNumber(QLineEdit* box);
    void takeAnswer(QLineEdit* box, bool money, const QString& answer, const QString& fallback);
    bool refuseBadNumbers();
    void setPriceText(QLineEdit* box, const QString& text);
    void updateNavigatorCaption();
    void setFilterMenus(bool filterOn);
    bool saveBeforeLeaving();
    void writeBoundValues();
    void printFiltered(const QString& reportFile, bool hasA4Twin);

    std::array<VendorBoxes, 3> m_vendor{};
    QHash<QLineEdit*, NumberBox> m_numberBoxes;
    QHash<QObject*, std::function<void()>> m_lostFocus;
    QHash<QObject*, QString> m_orderNotices;   // back-ordered and tagged boxes: their notice
};
