#pragma once

#include "parts/PartsScreen.h"

#include <QPointer>

#include <array>

class ColorScheme;
class DataNavigator;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

struct ColorSchemeConfig;

// A part counted in stock with no minimum stock is asked for one: the minimum box's text (empty
// or not a number counts as 0) is 0 while the count in stock is above 0.
bool minimumPromptNeeded(const QString& minimum, const QString& inStock);
// The minimum that an answer to that question stores: the answer as typed, or 1 when it is
// empty, not a whole number of 0 or more, or 0.
QString minimumFromAnswer(const QString& answer);

// The colours of the stock-input screen: table ModifyData in Colors.mdb.
ColorSchemeConfig modifyDataColorScheme();

// "Data Entry ": where the results of a stock count are typed, part by part: the count in stock,
// the minimum stock wanted, the storage location and the default vendor. Everything else about
// the part is shown read-only. The parts are stepped through in one of eight orders: all parts or
// only the centre's own (minimum stock 1 or more), by one of the three vendors' part numbers or by
// location. Opened modeless from the main window, which the opener locks; the screen saves the
// part on screen, lets the main window go and brings it to the front when it closes. Deleted
// when closed.
class ModifyData : public PartsScreen {
    Q_OBJECT
public:
    explicit ModifyData(QWidget* parent = nullptr);
    ~ModifyData() override;

    // FindPartOpener: after a seek the count in stock takes the focus, whatever the vendor.
    QWidget* findPartFocusTarget(int) override;

    void Form_Load() override;
    void Form_Activate() override;
    void Data1_Validate();
    void Command1_Click();   // "&Retrieve"
    void Command2_Click();   // "E&xit"
    void Check1_Click() { defaultVendorClicked(1); }
    void Check2_Click() { defaultVendorClicked(2); }
    void Check3_Click() { defaultVendorClicked(3); }
    void Instock_Change();
    void Min_Change();
    void Min_LostFocus();
    void MnuAllByNo1_Click() { openAllParts(QStringLiteral("inv1")); }
    void MnuAllByNo2_Click() { openAllParts(QStringLiteral("inv2")); }
    void MnuAllByNo3_Click() { openAllParts(QStringLiteral("inv3")); }
    void MnuAllByLocation_Click() { openAllParts(QStringLiteral("location")); }
    void MnuMinNo1_Click() { openYourParts(QStringLiteral("[Part Number 1]")); }
    void MnuMinNo2_Click() { openYourParts(QStringLiteral("[Part Number 2]")); }
    void MnuMinNo3_Click() { openYourParts(QStringLiteral("[Part Number 3]")); }
    void MnuMinLocation_Click() { openYourParts(QStringLiteral("[Location]")); }
    void MnuImportDOS_Click();   // "From Version E.&6"

    // Data sources, besides Data1 (Parts: the part on screen).
    DataControl* Data2;   // Information: the vendor makes
    ColorScheme* Data3;   // ModifyData in Colors.mdb

    QLineEdit* Instock;
    QLineEdit* Min;
    QLineEdit* PartLocation;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QFrame* Frame1;
    QFrame* Frame2;
    QFrame* Frame3;
    std::array<QLabel*, 31> Label{};   // Label1..Label30 (index 0 unused)
    DataNavigator* SSDBData1;
    QPushButton* SSDBCommand1;   // "&Next"
    QPushButton* SSDBCommand2;   // "&Previous"
    QPushButton* SSDBCommand3;   // "&Begin"
    QPushButton* SSDBCommand4;   // "&End"
    QPushButton* Command1;
    QPushButton* Command2;

    QMenu* MnuSelect;
    QMenu* MnuSelectAllPart;
    QAction* MnuAllByNo1;
    QAction* MnuAllByNo2;
    QAction* MnuAllByNo3;
    QAction* MnuAllByLocation;
    QMenu* MnuSelectYourParts;
    QAction* MnuMinNo1;
    QAction* MnuMinNo2;
    QAction* MnuMinNo3;
    QAction* MnuMinLocation;
    QMenu* MnuImport;
    QAction* MnuImportDOS;
    QMenu* MnuModifyDataColors;

protected:
    bool closeParts() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls() override;
    void buildMenus() override;
    void bindControls() override;
    void wireHandlers() override;

    void openAllParts(const QString& index);
    void openYourParts(const QString& orderField);
    void reopenAfterImport();
    void minimumPrompt();
    void defaultVendorClicked(int vendor);
    void filledFromRecord();

    QPointer<QWidget> m_import;
    QString m_orderIndex = QStringLiteral("inv1");   // the all-parts order; empty while an own-parts list shows
    QString m_orderField;                            // the own-parts list's order
    bool m_reopening = false;   // the parts are closed and opened again in another order
};
