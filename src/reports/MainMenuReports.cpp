#include "MainMenuReports.h"

#include "UsagePrompts.h"
#include "platform/Cursor.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/VendorInformation.h"

#include <QWidget>

const QString PurchaseOrderQuestion = QStringLiteral("Do you want to modify any of the purchase order data such as the PO number?");
const QString PurchaseOrderQuestionTitle = QStringLiteral("Purchase Order Information");

namespace {

using F = MainMenuFamily;
using P = MainMenuPrecondition;

MainMenuReport row(const char* item, const char* handler, F family, P pre, const char* letterFile, bool twin, int vendor = 0)
{
    return {QString::fromLatin1(item), QString::fromLatin1(handler), family, pre, QString::fromLatin1(letterFile), twin, vendor};
}

ReportPrecondition query(const char* sql, const QString& text, int style, const char* title, bool beep)
{
    return ReportPrecondition::onQuery(QString::fromLatin1(sql), {text, style, QString::fromLatin1(title), beep});
}

} // namespace

const QList<MainMenuReport>& MainMenuReports()
{
    static const QList<MainMenuReport> reports = {
        row("MnuLocation", "MnuLocation_Click", F::Checked, P::MinimumStock, "LocationBook.rpt", true),
        row("MnuComplete", "MnuComplete_Click", F::Plain, P::None, "Complete.rpt", true),
        row("MnuPrintBackOrders", "MnuPrintBackOrders_Click", F::Checked, P::BackOrders, "BackOrders.rpt", true),
        row("MnuCurrentTagged", "MnuCurrentTagged_Click", F::Checked, P::Tagged, "CurrentlyTagged.rpt", true),
        row("MnuVendor1", "MnuVendor1_Click", F::VendorOrder, P::Vendor1, "order1.rpt", true, 1),
        row("MnuVendor2", "MnuVendor2_Click", F::VendorOrder, P::Vendor2, "order2.rpt", true, 2),
        row("MnuVendor3", "MnuVendor3_Click", F::VendorOrder, P::Vendor3, "order3.rpt", true, 3),
        row("MnuImages", "MnuImages_Click", F::Plain, P::None, "Images.rpt", true),
        row("MnuLabelNoBarcode", "MnuLabelNoBarcode_Click", F::LabelSheet, P::MinimumStock, "Avery5161.rpt", false),
        row("mnuLabelWBarcodes", "mnuLabelWBarcodes_Click", F::LabelSheet, P::MinimumStock, "Barcoded5163.rpt", false),
        row("MnuNoBarcodesAvery5160", "MnuNoBarcodesAvery5160_Click", F::LabelSheet, P::MinimumStock, "Avery5160.rpt", false),
        row("MnuBarcoded5160", "MnuBarcoded5160_Click", F::LabelSheet, P::MinimumStock, "Barcoded5160.rpt", false),
        row("MnuRolodexCards", "MnuRolodexCards_Click", F::LabelSheet, P::MinimumStock, "Barcoded5386.rpt", false),
        row("MnuAvery5385", "MnuAvery5385_Click", F::LabelSheet, P::MinimumStock, "Barcoded5385.rpt", false),
        row("MnuValue", "MnuValue_Click", F::Plain, P::None, "InventoryValue.rpt", true),
        row("MnuUsageAll", "MnuUsageAll_Click", F::Checked, P::Used, "Parts Usage.rpt", true),
        row("MnuGraphUsage", "MnuGraphUsage_Click", F::Checked, P::Used, "GraphUsage.rpt", true),
        row("MnuPartsLoan", "MnuPartsLoan_Click", F::Plain, P::None, "Parts Loan.rpt", true),
        row("MnuNoBarcode", "mnuNoBarcode_Click", F::Needed, P::Needed, "PartsNeeded.rpt", true),
        row("MnuBarcode", "MnuBarcode_Click", F::Needed, P::Needed, "BarcodedPartsNeeded.rpt", true),
        row("MnuCompareAll", "MnuCompareAll_Click", F::Plain, P::None, "Prices.rpt", true),
        row("MnuCompareYour", "MnuCompareYour_Click", F::Plain, P::None, "Your Prices.rpt", true),
        row("MnuPreferredAll", "MnuPreferredAll_Click", F::Plain, P::None, "Preferred.rpt", true),
        row("MnuPreferredYour", "MnuPreferredYour_Click", F::Plain, P::None, "PreferredYour.rpt", true),
        row("MnuByLocation", "MnuByLocation_Click", F::Checked, P::MinimumStock, "PhysicalLocation.rpt", true),
        row("MnuSortByNumber", "MnuSortByNumber_Click", F::Checked, P::MinimumStock, "PhysicalNumber.rpt", true),
        row("MnuError1", "MnuError1_Click", F::Plain, P::None, "Errors1.rpt", true),
        row("MnuError2", "MnuError2_Click", F::Plain, P::None, "Errors2.rpt", true),
        row("MnuError3", "MnuError3_Click", F::Plain, P::None, "Errors3.rpt", true),
    };
    return reports;
}

const MainMenuReport* FindMainMenuReport(const QString& item)
{
    for (const MainMenuReport& r : MainMenuReports())
        if (r.item == item)
            return &r;
    return nullptr;
}

QString NeededPartsQuery()
{
    // A count an older file left empty (NULL) is 0, so that its part is not left out for good.
    QString sql = QStringLiteral("Select * from Parts where ([In Stock] < [Minimum Stock] or [In Stock] is null and "
                                 "[Minimum Stock] > 0 or [Minimum Stock] is null and [In Stock] < 0)");
    for (const char* field : {"Quantity Ordered", "Back Ordered"})
        for (int n = 1; n <= 3; ++n)
            sql += QStringLiteral(" and ([%1 %2] = 0 or [%1 %2] is null)").arg(QLatin1String(field)).arg(n);
    return sql;
}

std::optional<ReportPrecondition> MainMenuReportPrecondition(MainMenuPrecondition p)
{
    switch (p) {
    case P::None:
        return std::nullopt;
    case P::MinimumStock:
        return query("Select * from Parts where [Minimum Stock] > 0",
                     QStringLiteral("Please check your minimum stock levels"), 64, "Notice", true);
    case P::BackOrders:
        return query("Select * from Parts where [Back Ordered 1] > 0 or [Back Ordered 2] > 0 or [Back Ordered 3] > 0",
                     QStringLiteral("There are NO parts on back order!"), 64, "Notice", true);
    case P::Tagged:
        return query("Select * from Parts where [Quantity Ordered 1] > 0 or [Quantity Ordered 2] > 0 or [Quantity Ordered 3] > 0",
                     QStringLiteral("There are no parts currently tagged for ordering!"), 0, "", false);
    case P::Needed:
        // The two sentences are joined by a carriage return alone; the box shows two lines.
        return ReportPrecondition::onQuery(NeededPartsQuery(),
                                           {QStringLiteral("There are no parts currently needed to order. ") + QChar(13)
                                                + QStringLiteral("Note: They may already be tagged, or they are on backorder."),
                                            64, QStringLiteral("Notice"), true});
    case P::Used:
        return query("Select * from PartsUsage where [Lane Number] >= 1",
                     QStringLiteral("There are no parts that have been used."), 64, "Notice", true);
    case P::Vendor1:
    case P::Vendor2:
    case P::Vendor3: {
        const int n = p == P::Vendor1 ? 1 : p == P::Vendor2 ? 2 : 3;
        return ReportPrecondition::onQuery(QStringLiteral("Select * from Parts where [Quantity Ordered %1] > 0").arg(n),
                                           {QStringLiteral("There are no parts currently tagged for vendor # %1").arg(n), 0, QString(), false});
    }
    }
    return std::nullopt;
}

ReportRequest MainMenuReportRequest(const MainMenuReport& report)
{
    ReportRequest r;
    r.letterFile = report.letterFile;
    r.hasA4Twin = report.hasA4Twin;
    r.placement = ReportPlacement::ProgramFolder;
    r.precondition = MainMenuReportPrecondition(report.precondition);
    if (report.family == MainMenuFamily::VendorOrder) {
        const int vendor = report.vendor;
        r.beforeRun = [vendor] {
            // The launch's hourglass is still up: the question and the window show the arrow
            // while they are open, and the hourglass is back when they have closed.
            const int answer = [] {
                ArrowCursor arrow;
                return MsgBox(PurchaseOrderQuestion, 4, PurchaseOrderQuestionTitle);
            }();
            if (answer == Prompts::Yes)
                ShowVendorInformation(vendor);
        };
    }
    return r;
}

// ---------------------------------------------------------------------------------------------

MainMenuPrinting::MainMenuPrinting(QWidget* mainWindow, DataControl* data)
    : QObject(mainWindow)
    , Data1(data)
    , CrystalReport1(ReportControl::create())
{
    setObjectName(QStringLiteral("MainMenuPrinting"));
}

MainMenuPrinting::~MainMenuPrinting()
{
    // The lane prompt is a window of its own; it does not outlive the main window.
    delete m_laneNumber.data();
}

MainMenuPrinting& MainMenuPrinting::of(QWidget* mainWindow, DataControl* data)
{
    if (auto* existing = mainWindow->findChild<MainMenuPrinting*>(QStringLiteral("MainMenuPrinting"), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new MainMenuPrinting(mainWindow, data);
}

ReportOutcome MainMenuPrinting::print(const QString& item)
{
    const MainMenuReport* report = FindMainMenuReport(item);
    if (!report)
        return ReportOutcome::Failed;
    return ReportLauncher(Data1, *CrystalReport1, MainMenuReportRequest(*report));
}

void MainMenuPrinting::MnuUsageLane_Click()
{
    if (!m_laneNumber)
        m_laneNumber = new LaneNumber;   // deletes itself when "E&xit" or the close box unloads it
    m_laneNumber->show();
    m_laneNumber->raise();
    m_laneNumber->activateWindow();
}

void MainMenuPrinting::MnuPartsUsageDateRange_Click()
{
    WaitCursor hourglass;   // the prompt shows the normal pointer once it is active
    auto* prompt = new DateRange;   // deletes itself when "E&xit" or the close box unloads it
    ShowModal(prompt);
}
