#include "app/PrintMenu.h"

#include "app/MainMenu.h"
#include "reports/MainMenuReports.h"

namespace {

// A report command of the main window: its printing (parts source Data1, report control
// CrystalReport1, usage prompts), made on first use.
PrintCommand print(void (MainMenuPrinting::*handler)())
{
    return [handler](MainMenu& m) { (MainMenuPrinting::of(&m, m.Data1).*handler)(); };
}

PrintMenuItem command(const char* name, const char* caption, const char* parent = "", PrintCommand run = {})
{
    return {PrintMenuItem::Command, QString::fromLatin1(name), QString::fromLatin1(caption), QString::fromLatin1(parent), std::move(run)};
}

PrintMenuItem submenu(const char* name, const char* caption)
{
    return {PrintMenuItem::Submenu, QString::fromLatin1(name), QString::fromLatin1(caption), QString(), {}};
}

PrintMenuItem separator(const char* name, const char* parent)
{
    return {PrintMenuItem::Separator, QString::fromLatin1(name), QString(), QString::fromLatin1(parent), {}};
}

}  // namespace

const QList<PrintMenuItem>& PrintMenuItems()
{
    static const QList<PrintMenuItem> items = {
        command("MnuLocation", "Parts Location Book", "", print(&MainMenuPrinting::MnuLocation_Click)),
        command("MnuComplete", "Complete Database", "", print(&MainMenuPrinting::MnuComplete_Click)),
        command("MnuPrintBackOrders", "Back Orders", "", print(&MainMenuPrinting::MnuPrintBackOrders_Click)),
        command("MnuCurrentTagged", "Parts Currently Tagged for Order", "", print(&MainMenuPrinting::MnuCurrentTagged_Click)),
        submenu("MnuPartsOrder", "Parts Order Forms"),
        command("MnuVendor1", "Vendor # 1 Order", "MnuPartsOrder", print(&MainMenuPrinting::MnuVendor1_Click)),
        command("MnuVendor2", "Vendor # 2 Order", "MnuPartsOrder", print(&MainMenuPrinting::MnuVendor2_Click)),
        command("MnuVendor3", "Vendor # 3 Order", "MnuPartsOrder", print(&MainMenuPrinting::MnuVendor3_Click)),
        command("MnuImages", "Images", "", print(&MainMenuPrinting::MnuImages_Click)),
        submenu("mnuLabel", "Labels"),
        command("MnuLabelNoBarcode", "No Barcodes (Avery #5161   1\" x 4\")", "mnuLabel", print(&MainMenuPrinting::MnuLabelNoBarcode_Click)),
        command("mnuLabelWBarcodes", "With Barcodes (Avery #5163   2\" X 4\")", "mnuLabel", print(&MainMenuPrinting::mnuLabelWBarcodes_Click)),
        command("MnuNoBarcodesAvery5160", "No Barcodes (Avery #5160  1\" X 2-5/8\")", "mnuLabel", print(&MainMenuPrinting::MnuNoBarcodesAvery5160_Click)),
        command("MnuBarcoded5160", "With Barcodes (Avery #5160  1\" X 2-5/8\")", "mnuLabel", print(&MainMenuPrinting::MnuBarcoded5160_Click)),
        submenu("MnuRoloCards", "Rolodex Cards"),
        command("MnuRolodexCards", "Rolodex Cards (Avery # 5386  3\" X 5\")", "MnuRoloCards", print(&MainMenuPrinting::MnuRolodexCards_Click)),
        command("MnuAvery5385", "Rolodex Cards (Avery # 5385 2\" X 4\")", "MnuRoloCards", print(&MainMenuPrinting::MnuAvery5385_Click)),
        command("MnuValue", "Inventory Value", "", print(&MainMenuPrinting::MnuValue_Click)),
        submenu("MnuUsageList", "Parts Usage"),
        command("MnuUsageLane", "Parts Usage (By Lane # Range)", "MnuUsageList", print(&MainMenuPrinting::MnuUsageLane_Click)),
        command("MnuPartsUsageDateRange", "Parts Usage (By Date Range)", "MnuUsageList", print(&MainMenuPrinting::MnuPartsUsageDateRange_Click)),
        command("MnuUsageAll", "Parts Usage (All Parts)", "MnuUsageList", print(&MainMenuPrinting::MnuUsageAll_Click)),
        command("MnuGraphUsage", "Parts Usage (Bar Graph)", "MnuUsageList", print(&MainMenuPrinting::MnuGraphUsage_Click)),
        command("MnuOnePart", "Parts Usage (One Part)", "MnuUsageList", [](MainMenu& m) { m.MnuOnePart_Click(); }),
        separator("MnuPrintSpcr1", "MnuUsageList"),
        command("MnuPartsLoan", "Parts Loan Agreement", "MnuUsageList", print(&MainMenuPrinting::MnuPartsLoan_Click)),
        submenu("MnuNeeded", "Parts Needed"),
        command("MnuNoBarcode", "No Barcodes", "MnuNeeded", print(&MainMenuPrinting::mnuNoBarcode_Click)),
        command("MnuBarcode", "With Barcodes", "MnuNeeded", print(&MainMenuPrinting::MnuBarcode_Click)),
        submenu("MnuComparison", "Price Comparison"),
        command("MnuCompareAll", "All Parts", "MnuComparison", print(&MainMenuPrinting::MnuCompareAll_Click)),
        command("MnuCompareYour", "Your Parts Only", "MnuComparison", print(&MainMenuPrinting::MnuCompareYour_Click)),
        submenu("MnuPreferred", "Preferred Vendor List"),
        command("MnuPreferredAll", "All Parts", "MnuPreferred", print(&MainMenuPrinting::MnuPreferredAll_Click)),
        command("MnuPreferredYour", "Your Parts Only", "MnuPreferred", print(&MainMenuPrinting::MnuPreferredYour_Click)),
        submenu("MnuPhysical", "Physical Inventory Count"),
        command("MnuByLocation", "Sorted By Location", "MnuPhysical", print(&MainMenuPrinting::MnuByLocation_Click)),
        command("MnuSortByNumber", "Sorted By Part Number", "MnuPhysical", print(&MainMenuPrinting::MnuSortByNumber_Click)),
        submenu("MnuError", "Database Error's"),
        command("MnuError1", "Vendor #&1", "MnuError", print(&MainMenuPrinting::MnuError1_Click)),
        command("MnuError2", "Vendor #&2", "MnuError", print(&MainMenuPrinting::MnuError2_Click)),
        command("MnuError3", "Vendor #&3", "MnuError", print(&MainMenuPrinting::MnuError3_Click)),
    };
    return items;
}
