#pragma once

#include "parts/PartsScreen.h"

#include <QDate>

#include <array>
#include <memory>
#include <optional>

class ColorScheme;
class DataControl;
class DataNavigator;
class RecordGrid;
class ReportControl;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

struct ColorSchemeConfig;

// A use takes its quantity from the count in stock, but never more than the count holds: the count
// does not go below zero, and what the use really took is kept with it.
struct UsageCount {
    double inStock = 0;   // the count after the use
    double taken = 0;     // what the use took: its quantity, or less when the count ran out
};
UsageCount usageNewCount(double inStock, double used);
// A stored use of usedBefore parts, which took takenBefore of them from the count, changed to used.
// The count moves only by the change, whatever it has become since the use: more takes what more
// the count now holds; less gives back what the use took and no longer needs, never more than it
// took. The lane or the date alone changes no count.
UsageCount usageChangedCount(double inStock, double usedBefore, double takenBefore, double used);

// The colours of the usage screen: table UsageColors in Colors.mdb.
ColorSchemeConfig partsUsageColorScheme();

// "Use Parts": records that parts were taken from stock and installed on a lane. The user finds
// a part, presses "&Use This Part", enters how many, the lane and the date, and presses "&OK":
// the screen stores a usage row for the part and lowers the part's count in stock by the
// quantity, never below zero: the row and the count are written together, or neither is. It also
// lists and graphs a part's uses, and a listed use can be changed ("&Edit").
// Opened modeless from the main window, which the opener locks; the screen lets it go when it
// closes. Deleted when closed.
class PartsUsage : public PartsScreen {
    Q_OBJECT
public:
    explicit PartsUsage(QWidget* parent = nullptr);
    ~PartsUsage() override;

    // Window height as the screen sets it, in twips: 4305 at load, 4455 compact, 7650 enlarged,
    // 4290 after "&OK".
    int windowHeightTwips() const { return m_heightTwips; }
    // The part whose uses Data2 lists; nothing before the list was first filled.
    std::optional<qint64> listedPart() const { return m_listedPart; }
    bool isEntering() const;

    // As a find-part opener, the usage screen moves no focus after a seek.
    void Form_Load() override;
    void Form_Activate() override;
    void Data1_Reposition();
    void Data2_Reposition();
    void Command1_Click();     // "&OK"
    void Command2_Click();     // "&Use This Part"
    void Command3_Click();     // "&Show Usage"
    void Command4_Click();     // "Re&fresh"
    void Command5_Click();     // "&Edit"
    void Command6_Click();     // "E&xit"
    void Command7_Click();     // "&Graph Usage"
    void Command8_Click();     // "&Retrieve"
    void SSCommand7_Click();   // "&Display"
    void SSCheck2_Click();     // "Keep &Visible"
    void MnuUsePartVendor1_Click() { reopenParts(QStringLiteral("inv1")); }
    void MnuUsePartVendor2_Click() { reopenParts(QStringLiteral("inv2")); }
    void MnuUsePartVendor3_Click() { reopenParts(QStringLiteral("inv3")); }
    void Text1_LostFocus();
    void Text2_LostFocus();
    void Text3_GotFocus();
    void Text3_LostFocus();
    void SSDBData1_AfterClick() {}

    // Data sources, besides Data1 (Parts: the current part).
    DataControl* Data2;   // PartsUsage: the part's uses and the row being entered
    DataControl* Data3;   // Information: the vendor makes
    ColorScheme* Data4;   // UsageColors in Colors.mdb

    QGroupBox* SSFrame1;   // the entry frame
    QGroupBox* SSFrame2;   // "Part Number"
    QGroupBox* SSFrame3;   // "Description"
    QGroupBox* SSFrame4;   // "Location"
    QGroupBox* SSFrame5;   // "Notes"
    QGroupBox* SSFrame6;   // "Instock"
    QLabel* Label1;  QLabel* Label2;  QLabel* Label3;     // part numbers
    QLabel* Label12; QLabel* Label13; QLabel* Label14;    // vendor makes
    QLabel* Label4;   // Description
    QLabel* Label5;   // Location
    QLabel* Label6;   // Part Memo
    QLabel* Label7;   // "MM/DD/YY", while the date box has the focus
    QLabel* Label8;   // In Stock
    QLabel* Label9;   // the usage row's part record number (hidden)
    QLabel* Label10;  // the part's record number (hidden)
    QLabel* Label20;  // "Using How Many?"
    QLabel* Label21;  // "Lane Number"
    QLabel* Label23;  // "Date Used  "
    QLineEdit* Text1;  // Used
    QLineEdit* Text2;  // Lane Number
    QLineEdit* Text3;  // Date Used
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* SSCommand7;
    QCheckBox* SSCheck1;   // "Always Re&fresh"
    QCheckBox* SSCheck2;   // "Keep &Visible"
    DataNavigator* SSDBData1;
    RecordGrid* SSDBGrid2;
    std::unique_ptr<ReportControl> CrystalReport1;

    QMenu* MnuUsePartVendor;
    QAction* MnuUsePartVendor1;
    QAction* MnuUsePartVendor2;
    QAction* MnuUsePartVendor3;
    QMenu* MnuUsageColors;

protected:
    bool closeParts() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Entry { None, New, Edit };
    struct UseEntry {
        double used = 0;
        double lane = 0;
        QDate date;
    };

    void buildControls() override;
    void buildMenus() override;
    void bindControls() override;
    void wireHandlers() override;

    void setWindowHeightTwips(int height);
    void enlarge();
    void compact(int height);
    void listUsage();
    void endEntry();
    void updateRowCommands();
    void reopenParts(const QString& index);
    std::optional<qint64> currentPart() const;
    bool listIsCurrentPart() const;
    std::optional<UseEntry> entryTyped();
    qint64 storeUse(qint64 part, const UseEntry& use, std::optional<qint64> row);

    std::optional<qint64> m_listedPart;
    Entry m_entry = Entry::None;
    std::optional<qint64> m_editedRow;   // the stored use being changed
    int m_heightTwips = 4305;
};
