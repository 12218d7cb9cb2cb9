#pragma once

#include "ReportControl.h"
#include "ReportLauncher.h"
#include "UsagePrompts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class DataControl;
class QWidget;

// The main window's Print menu: reports, purchase-order forms, label and card sheets, each one
// launch of ReportLauncher on the main window's parts source Data1 with a fixed request.

// Which rows must exist before a command prints anything, and the notice shown otherwise.
enum class MainMenuPrecondition {
    None,
    MinimumStock,   // a part with a minimum stock above 0
    BackOrders,     // a part on back order with any vendor
    Tagged,         // a part tagged for any vendor
    Needed,         // a part below its minimum stock that is neither tagged nor on back order
    Used,           // a usage row on lane 1 or above
    Vendor1,        // a part tagged for vendor 1 (2, 3)
    Vendor2,
    Vendor3,
};

// How a command prints.
enum class MainMenuFamily {
    LabelSheet,    // a label or card sheet: precondition, one file whatever the paper
    Plain,         // no precondition
    Checked,       // precondition, A4 twin
    Needed,        // as Checked, with the needed parts' two-line notice
    VendorOrder,   // purchase-order form: precondition, question, information window, run
};

struct MainMenuReport {
    QString item;            // the menu item's name, "MnuLocation"
    QString handler;         // its handler, "MnuLocation_Click"
    MainMenuFamily family;
    MainMenuPrecondition precondition;
    QString letterFile;      // in the program's folder, spelled as the windows ask for it
    bool hasA4Twin;
    int vendor = 0;          // VendorOrder: 1, 2 or 3
};

// The 29 report commands of the Print menu, in menu order.
const QList<MainMenuReport>& MainMenuReports();
const MainMenuReport* FindMainMenuReport(const QString& item);   // nullptr for other items

// The parts needed: below their minimum stock, and neither tagged nor on back order with any
// vendor. A count, minimum, tag or back order left empty by an older file counts as 0. The ordering
// screen's needed view and the Parts Needed reports' precondition select with it.
QString NeededPartsQuery();

// The query and notice of a precondition (None: no precondition).
std::optional<ReportPrecondition> MainMenuReportPrecondition(MainMenuPrecondition p);

// The purchase-order question asked before a vendor's order form prints.
extern const QString PurchaseOrderQuestion;
extern const QString PurchaseOrderQuestionTitle;

// The launch request of a command. A vendor's order form asks the purchase-order question
// once rows are found and, on Yes, opens the information window on the vendor's tab first.
ReportRequest MainMenuReportRequest(const MainMenuReport& report);

// The main window's printing: its parts source and its own report control, and the two usage
// prompts it opens. One per main window, made on first use and owned by it.
class MainMenuPrinting : public QObject
{
    Q_OBJECT
public:
    MainMenuPrinting(QWidget* mainWindow, DataControl* Data1);
    ~MainMenuPrinting() override;

    static MainMenuPrinting& of(QWidget* mainWindow, DataControl* Data1);

    // Runs the report command of a Print menu item ("MnuLocation").
    ReportOutcome print(const QString& item);

    DataControl* Data1;
    std::unique_ptr<ReportControl> CrystalReport1;

    void MnuLocation_Click() { print(QStringLiteral("MnuLocation")); }
    void MnuComplete_Click() { print(QStringLiteral("MnuComplete")); }
    void MnuPrintBackOrders_Click() { print(QStringLiteral("MnuPrintBackOrders")); }
    void MnuCurrentTagged_Click() { print(QStringLiteral("MnuCurrentTagged")); }
    void MnuVendor1_Click() { print(QStringLiteral("MnuVendor1")); }
    void MnuVendor2_Click() { print(QStringLiteral("MnuVendor2")); }
    void MnuVendor3_Click() { print(QStringLiteral("MnuVendor3")); }
    void MnuImages_Click() { print(QStringLiteral("MnuImages")); }
    void MnuLabelNoBarcode_Click() { print(QStringLiteral("MnuLabelNoBarcode")); }
    void mnuLabelWBarcodes_Click() { print(QStringLiteral("mnuLabelWBarcodes")); }
    void MnuNoBarcodesAvery5160_Click() { print(QStringLiteral("MnuNoBarcodesAvery5160")); }
    void MnuBarcoded5160_Click() { print(QStringLiteral("MnuBarcoded5160")); }
    void MnuRolodexCards_Click() { print(QStringLiteral("MnuRolodexCards")); }
    void MnuAvery5385_Click() { print(QStringLiteral("MnuAvery5385")); }
    void MnuValue_Click() { print(QStringLiteral("MnuValue")); }
    void MnuUsageAll_Click() { print(QStringLiteral("MnuUsageAll")); }
    void MnuGraphUsage_Click() { print(QStringLiteral("MnuGraphUsage")); }
    void MnuPartsLoan_Click() { print(QStringLiteral("MnuPartsLoan")); }
    void mnuNoBarcode_Click() { print(QStringLiteral("MnuNoBarcode")); }
    void MnuBarcode_Click() { print(QStringLiteral("MnuBarcode")); }
    void MnuCompareAll_Click() { print(QStringLiteral("MnuCompareAll")); }
    void MnuCompareYour_Click() { print(QStringLiteral("MnuCompareYour")); }
    void MnuPreferredAll_Click() { print(QStringLiteral("MnuPreferredAll")); }
    void MnuPreferredYour_Click() { print(QStringLiteral("MnuPreferredYour")); }
    void MnuByLocation_Click() { print(QStringLiteral("MnuByLocation")); }
    void MnuSortByNumber_Click() { print(QStringLiteral("MnuSortByNumber")); }
    void MnuError1_Click() { print(QStringLiteral("MnuError1")); }
    void MnuError2_Click() { print(QStringLiteral("MnuError2")); }
    void MnuError3_Click() { print(QStringLiteral("MnuError3")); }

    // "Parts Usage (By Lane # Range)": the lane prompt, modeless; the main window stays usable
    // and choosing the item again brings up the same prompt.
    void MnuUsageLane_Click();
    // "Parts Usage (By Date Range)": the date prompt, modal, under the hourglass until it shows.
    void MnuPartsUsageDateRange_Click();

    LaneNumber* laneNumber() const { return m_laneNumber; }

private:
    QPointer<LaneNumber> m_laneNumber;
};
