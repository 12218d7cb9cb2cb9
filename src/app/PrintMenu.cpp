#include "app/PrintMenu.h"

#include "app/MainMenu.h"

namespace {

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
        command("MnuLocation", "Parts Location Book"),
        command("MnuComplete", "Complete Database"),
        command("MnuPrintBackOrders", "Back Orders"),
        command("MnuCurrentTagged", "Parts Currently Tagged for Order"),
        submenu("MnuPartsOrder", "Parts Order Forms"),
        command("MnuVendor1", "Vendor # 1 Order", "MnuPartsOrder"),
        command("MnuVendor2", "Vendor # 2 Order", "MnuPartsOrder"),
        command("MnuVendor3", "Vendor # 3 Order", "MnuPartsOrder"),
        command("MnuImages", "Images"),
        submenu("mnuLabel", "Labels"),
        command("MnuLabelNoBarcode", "No Barcodes (Avery #5161   1\" x 4\")", "mnuLabel"),
        command("mnuLabelWBarcodes", "With Barcodes (Avery #5163   2\" X 4\")", "mnuLabel"),
        command("MnuNoBarcodesAvery5160", "No Barcodes (Avery #5160  1\" X 2-5/8\")", "mnuLabel"),
        command("MnuBarcoded5160", "With Barcodes (Avery #5160  1\" X 2-5/8\")", "mnuLabel"),
        submenu("MnuRoloCards", "Rolodex Cards"),
        command("MnuRolodexCards", "Rolodex Cards (Avery # 5386  3\" X 5\")", "MnuRoloCards"),
        command("MnuAvery5385", "Rolodex Cards (Avery # 5385 2\" X 4\")", "MnuRoloCards"),
        command("MnuValue", "Inventory Value"),
        submenu("MnuUsageList", "Parts Usage"),
        command("MnuUsageLane", "Parts Usage (By Lane # Range)", "MnuUsageList"),
        command("MnuPartsUsageDateRange", "Parts Usage (By Date Range)", "MnuUsageList"),
        command("MnuUsageAll", "Parts Usage (All Parts)", "MnuUsageList"),
        command("MnuGraphUsage", "Parts Usage (Bar Graph)", "MnuUsageList"),
        command("MnuOnePart", "Parts Usage (One Part)", "MnuUsageList", [](MainMenu& m) { m.MnuOnePart_Click(); }),
        separator("MnuPrintSpcr1", "MnuUsageList"),
        command("MnuPartsLoan", "Parts Loan Agreement", "MnuUsageList"),
        submenu("MnuNeeded", "Parts Needed"),
        command("MnuNoBarcode", "No Barcodes", "MnuNeeded"),
        command("MnuBarcode", "With Barcodes", "MnuNeeded"),
        submenu("MnuComparison", "Price Comparison"),
        command("MnuCompareAll", "All Parts", "MnuComparison"),
        command("MnuCompareYour", "Your Parts Only", "MnuComparison"),
        submenu("MnuPreferred", "Preferred Vendor List"),
        command("MnuPreferredAll", "All Parts", "MnuPreferred"),
        command("MnuPreferredYour", "Your Parts Only", "MnuPreferred"),
        submenu("MnuPhysical", "Physical Inventory Count"),
        command("MnuByLocation", "Sorted By Location", "MnuPhysical"),
        command("MnuSortByNumber", "Sorted By Part Number", "MnuPhysical"),
        submenu("MnuError", "Database Error's"),
        command("MnuError1", "Vendor #&1", "MnuError"),
        command("MnuError2", "Vendor #&2", "MnuError"),
        command("MnuError3", "Vendor #&3", "MnuError"),
    };
    return items;
}
