#include "parts/MaintScreen.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/DbError.h"
#include "data/Values.h"
#include "parts/PartImagesWindow.h"
#include "parts/PartsFonts.h"
#include "parts/ScreenBuilding.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"
#include "query/FindWindow.h"
#include "query/ResultListWindow.h"
#include "reports/ReportControl.h"
#include "reports/ReportLauncher.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <limits>

namespace {

constexpr int ClientWidth = 10050;
constexpr int ClientHeight = 7515;

// Typing limits of the boxes (text set by code is never cut).
constexpr int PartNumberChars = 20;
constexpr int BookChars = 20;
constexpr int PageChars = 6;
constexpr int CountChars = 6;
constexpr int PriceChars = 12;
constexpr int OrderChars = 5;
constexpr int DescriptionChars = 50;
constexpr int AreaChars = 30;
constexpr int LocationChars = 15;
constexpr int MemoChars = 255;

const QString PricePrompt = QStringLiteral("Please enter the price found in the price pages for part number ");
const QString PackagePrompt = QStringLiteral("Please enter the package quantity of this part number ");
const QString MinimumPrompt =
    QStringLiteral("Please enter the minimum quantity that has to be purchased for part number ");

const QString BackOrderNotice = QStringLiteral(
    "It is not recommended to change backorders here. You should only change this number if there is an "
    "error. All backorders should be received in the 'Receive Parts Screen.'");
const QString OnOrderNotice = QStringLiteral(
    "It is not recommended to change 'On Order' parts here. You should only change this number if there "
    "is an error.");

// The value of a box: its text read as a number ("$0.00" is 0); empty or not a number counts as 0.
// A price is the amount money holds, so a price that rounds to nothing counts as 0 too. A box that
// shows an amount beyond what money holds does not hold 0: no price is asked for it.
double boxValue(const QLineEdit* box, bool money)
{
    if (box->text() == OutOfRangeMark)
        return std::numeric_limits<double>::infinity();
    const std::optional<double> value = parseNumber(box->text());
    if (!value)
        return 0.0;
    if (money)
        if (const std::optional<Currency> amount = Currency::checked(*value); amount && *amount == Currency())
            return 0.0;
    return *value;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QString& tip, int left, int top, int width,
                   int height = 330)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    placeTwips(box, left, top, width, height);
    return box;
}

}  // namespace

// ---------------------------------------------------------------- colours

ColorSchemeConfig maintScreenColorScheme()
{
    ColorSchemeConfig c;
    c.tableName = QStringLiteral("MaintScreenColors");
    c.menuName = QStringLiteral("MnuMaintScreenColor");
    c.menuCaption = QStringLiteral("&Colors");

    QStringList labels, checks, frames;
    for (int i = 1; i <= 31; ++i)
        labels << QStringLiteral("Label%1").arg(i);
    for (int i = 1; i <= 3; ++i)
        checks << QStringLiteral("Check%1").arg(i);
    for (int i = 1; i <= 6; ++i)
        frames << QStringLiteral("SSFrame%1").arg(i);
    const QString navigator = QStringLiteral("SSDBData1");

    bindColor(c, QStringLiteral("MainFormBackColor"), {QString()}, ColorProperty::BackColor);
    bindColor(c, QStringLiteral("LabelBackColor"), labels, ColorProperty::BackColor);
    bindColor(c, QStringLiteral("LabelBackColor"), checks, ColorProperty::BackColor);
    bindColor(c, QStringLiteral("SSDataBackColor"), frames, ColorProperty::BackColor);
    bindColor(c, QStringLiteral("SSDataBackColor"), {navigator}, ColorProperty::BackColor);
    bindColor(c, QStringLiteral("SSFrameForeColor"), frames, ColorProperty::ForeColor);
    bindColor(c, QStringLiteral("SSFrameForeColor"), {navigator}, ColorProperty::ForeColor);
    bindColor(c, QStringLiteral("LabelForeColor"), labels, ColorProperty::ForeColor);

    ColorMenuItem background;
    background.name = QStringLiteral("MnuColorBackground");
    background.caption = QStringLiteral("&Background Color");
    background.steps.append(ColorStep::apply(QString(), ColorProperty::BackColor));
    background.steps.append(ColorStep::store(QStringLiteral("MainFormBackColor")));
    applyColor(background.steps, frames, ColorProperty::BackColor);
    background.steps.append(ColorStep::apply(navigator, ColorProperty::BackColor));
    background.steps.append(ColorStep::store(QStringLiteral("SSDataBackColor")));
    applyColor(background.steps, labels, ColorProperty::BackColor);
    background.steps.append(ColorStep::store(QStringLiteral("LabelBackColor")));

    ColorMenuItem text;
    text.name = QStringLiteral("MnuColorForeColor");
    text.caption = QStringLiteral("&Text Color");
    text.steps.append(ColorStep::apply(QString(), ColorProperty::ForeColor));
    text.steps.append(ColorStep::store(QStringLiteral("LabelForeColor")));
    applyColor(text.steps, frames, ColorProperty::ForeColor);
    text.steps.append(ColorStep::store(QStringLiteral("SSFrameForeColor")));
    text.steps.append(ColorStep::apply(navigator, ColorProperty::ForeColor));
    text.steps.append(ColorStep::store(QStringLiteral("SSDataForeColor")));
    applyColor(text.steps, labels, ColorProperty::ForeColor);

    c.items = {background, text};
    return c;
}

// ---------------------------------------------------------------- building

MaintScreen::MaintScreen(QWidget* parent)
    : PartsScreen(parent, {.name = QStringLiteral("MaintScreen"),
                           .title = QStringLiteral("Maintain Database Information"),
                           .helpTopic = 1150})
{
    Data2 = addDataControl(QStringLiteral("Data2"));
    Data3 = addColorScheme(QStringLiteral("Data3"), maintScreenColorScheme());
    build();
}

MaintScreen::~MaintScreen() = default;

void MaintScreen::buildControls()
{
    QWidget* client = addClientArea(ClientWidth, ClientHeight);

    // Frames first, so that the boxes' creation order below is the tab order.
    const int vendorLefts[3] = {120, 3420, 6720};
    SSFrame5 = frameAt(client, QStringLiteral("SSFrame5"), QStringLiteral("Vendor # 1"), vendorLefts[0], 120, 3210, 2520);
    SSFrame4 = frameAt(client, QStringLiteral("SSFrame4"), QStringLiteral("Vendor # 2"), vendorLefts[1], 120, 3210, 2520);
    SSFrame3 = frameAt(client, QStringLiteral("SSFrame3"), QStringLiteral("Vendor # 3"), vendorLefts[2], 120, 3210, 2520);
    SSFrame6 = frameAt(client, QStringLiteral("SSFrame6"), QStringLiteral("Part Information"), 120, 2730, 9810, 3300);
    SSFrame2 = frameAt(SSFrame6, QStringLiteral("SSFrame2"), QStringLiteral("Tagged for Order"), 5940, 240, 3750, 1110);
    SSFrame2->setToolTip(QStringLiteral("Do Not Change Data Here. Please Use The Tag Parts Screen"));
    SSFrame1 = frameAt(SSFrame6, QStringLiteral("SSFrame1"), QStringLiteral("Back Orders"), 5940, 1440, 3750, 1110);
    SSFrame1->setToolTip(QStringLiteral("Do Not Change Data Here. Please Use The Receive Parts Screen"));

    QGroupBox* vendorFrames[3] = {SSFrame5, SSFrame4, SSFrame3};
    const int headingLabels[3] = {19, 20, 21};
    const int bookLabels[3] = {10, 24, 25};
    const int pageLabels[3] = {1, 4, 28};
    const int packageLabels[3] = {2, 5, 8};
    const int priceLabels[3] = {3, 6, 9};
    const int minimumLabels[3] = {29, 30, 31};
    const char* partNumberNames[3] = {"Text1", "Text2", "Text3"};
    const char* bookNames[3] = {"Text4", "Text24", "Text25"};
    const char* pageNames[3] = {"Text5", "Text8", "Text11"};
    const char* packageNames[3] = {"Text6", "Text9", "Text12"};
    const char* minimumNames[3] = {"Text27", "Text28", "Text29"};
    const QString priceTips[3] = {QStringLiteral("Enter the book price here"), QStringLiteral("Enter the book price"),
                                  QStringLiteral("Enter the book price")};

    for (int i = 0; i < 3; ++i) {
        QGroupBox* f = vendorFrames[i];
        VendorBoxes& v = m_vendor[i];
        const int n = i + 1;

        QLabel* heading = labelAt(f, QStringLiteral("Label%1").arg(headingLabels[i]), QString(), 120, 300, 2580, 240);
        heading->setFont(arialFont(8, true));
        Label[headingLabels[i]] = heading;
        v.partNumber = makeBox(f, QString::fromLatin1(partNumberNames[i]),
                               QStringLiteral("Vendor # %1 Part Number").arg(n), 120, 555, 2580);
        v.defaultVendor = new QCheckBox(f);
        v.defaultVendor->setObjectName(QStringLiteral("Check%1").arg(n));
        v.defaultVendor->setToolTip(QStringLiteral("\"Click\" here to always buy this part when needed"));
        placeTwips(v.defaultVendor, 2790, 555, 300, 330);

        Label[bookLabels[i]] = labelAt(f, QStringLiteral("Label%1").arg(bookLabels[i]), QStringLiteral("Book"), 120, 1005, 1860, 240);
        Label[pageLabels[i]] = labelAt(f, QStringLiteral("Label%1").arg(pageLabels[i]), QStringLiteral("Page"), 2070, 1005, 1020, 240);
        v.book = makeBox(f, QString::fromLatin1(bookNames[i]), QStringLiteral("Book Description"), 120, 1245, 1860);
        v.page = makeBox(f, QString::fromLatin1(pageNames[i]), QStringLiteral("Page Number in Book"), 2070, 1245, 1020);

        // The price box shows every digit and the sign of a price up to ($99,999.9999) in the
        // screen's font; a longer amount or count is shown in a smaller size of it, or as ####
        // where even that is too wide.
        Label[packageLabels[i]] = labelAt(f, QStringLiteral("Label%1").arg(packageLabels[i]), QStringLiteral("Package"), 120, 1695, 780, 240);
        Label[minimumLabels[i]] = labelAt(f, QStringLiteral("Label%1").arg(minimumLabels[i]), QStringLiteral("Min."), 960, 1695, 780, 240);
        Label[priceLabels[i]] = labelAt(f, QStringLiteral("Label%1").arg(priceLabels[i]), QStringLiteral("Price"), 1800, 1695, 1290, 240);
        v.package = makeBox(f, QString::fromLatin1(packageNames[i]), QStringLiteral("Package Quantity"), 120, 1935, 780);
        v.minimumBuy = makeBox(f, QString::fromLatin1(minimumNames[i]), QStringLiteral("Minimum Purchase"), 960, 1935, 780);
        v.price = makeBox(f, QStringLiteral("MaskEdBox%1").arg(n), priceTips[i], 1800, 1935, 1290);
        v.price->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Text1 = m_vendor[0].partNumber;  Text2 = m_vendor[1].partNumber;  Text3 = m_vendor[2].partNumber;
    Check1 = m_vendor[0].defaultVendor; Check2 = m_vendor[1].defaultVendor; Check3 = m_vendor[2].defaultVendor;
    Text4 = m_vendor[0].book;        Text24 = m_vendor[1].book;       Text25 = m_vendor[2].book;
    Text5 = m_vendor[0].page;        Text8 = m_vendor[1].page;        Text11 = m_vendor[2].page;
    Text6 = m_vendor[0].package;     Text9 = m_vendor[1].package;     Text12 = m_vendor[2].package;
    Text27 = m_vendor[0].minimumBuy; Text28 = m_vendor[1].minimumBuy; Text29 = m_vendor[2].minimumBuy;
    MaskEdBox1 = m_vendor[0].price;  MaskEdBox2 = m_vendor[1].price;  MaskEdBox3 = m_vendor[2].price;

    // The part's own fields.
    QGroupBox* p = SSFrame6;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    Label[11] = labelAt(p, QStringLiteral("Label11"), QStringLiteral("Description:"), 120, 345, 1800, 240, right);
    Text14 = makeBox(p, QStringLiteral("Text14"), QStringLiteral("Part Description"), 2010, 300, 3720);
    Label[12] = labelAt(p, QStringLiteral("Label12"), QStringLiteral("General Area:"), 120, 825, 1800, 240, right);
    Text15 = makeBox(p, QStringLiteral("Text15"), QStringLiteral("General Area of Machine"), 2010, 780, 3720);
    Label[13] = labelAt(p, QStringLiteral("Label13"), QStringLiteral("Instock Now:"), 120, 1305, 1800, 240, right);
    Text16 = makeBox(p, QStringLiteral("Text16"), QStringLiteral("How Many Are in Stock Now"), 2010, 1260, 780);
    Label[14] = labelAt(p, QStringLiteral("Label14"), QStringLiteral("Minimum Stock Required:"), 2850, 1305, 2070, 240, right);
    Text17 = makeBox(p, QStringLiteral("Text17"), QStringLiteral("Minimum Quantity You Always Need"), 4950, 1260, 780);
    Label[15] = labelAt(p, QStringLiteral("Label15"), QStringLiteral("Part Location:"), 120, 1785, 1800, 240, right);
    Text21 = makeBox(p, QStringLiteral("Text21"), QStringLiteral("Where Can This Part Be Found In Your Inventory Room"), 2010, 1740, 1800);
    Label[7] = labelAt(p, QStringLiteral("Label7"), QStringLiteral("Last Ordered On:"), 120, 2265, 1800, 240, right);
    MaskEdBox5 = makeBox(p, QStringLiteral("MaskEdBox5"), QString(), 2010, 2220, 3720);
    MaskEdBox5->setReadOnly(true);   // typed in the entry box below
    MaskEdBox4 = new DateMaskBox(QStringLiteral("99/99/99"), p);
    MaskEdBox4->setObjectName(QStringLiteral("MaskEdBox4"));
    MaskEdBox4->setToolTip(QStringLiteral("Enter the date when this part was last ordered. "));
    placeTwips(MaskEdBox4, 2010, 2220, 1200, 330);
    MaskEdBox4->hide();
    Label[17] = labelAt(p, QStringLiteral("Label17"), QStringLiteral("Part Notes:"), 120, 2745, 1800, 240, right);
    Text22 = makeBox(p, QStringLiteral("Text22"), QStringLiteral("Enter Any Notes Here About This Part"), 2010, 2700, 7680);

    // Tagged for order, then back orders: a heading over each vendor's box.
    const int taggedLabels[3] = {16, 26, 27};
    const char* taggedNames[3] = {"Text23", "Text26", "Text30"};
    const int backLabels[3] = {18, 22, 23};
    const char* backNames[3] = {"Text18", "Text19", "Text20"};
    for (int i = 0; i < 3; ++i) {
        const int left = 120 + i * 1200;
        Label[taggedLabels[i]] = labelAt(SSFrame2, QStringLiteral("Label%1").arg(taggedLabels[i]), QString(), left, 300, 1110, 240, Qt::AlignCenter);
        m_vendor[i].tagged = makeBox(SSFrame2, QString::fromLatin1(taggedNames[i]), QStringLiteral("Currently Tagged For Order"), left, 570, 1110);
        m_vendor[i].tagged->setAlignment(Qt::AlignCenter);
    }
    for (int i = 0; i < 3; ++i) {
        const int left = 120 + i * 1200;
        Label[backLabels[i]] = labelAt(SSFrame1, QStringLiteral("Label%1").arg(backLabels[i]), QString(), left, 300, 1110, 240, Qt::AlignCenter);
        m_vendor[i].backOrdered = makeBox(SSFrame1, QString::fromLatin1(backNames[i]), QStringLiteral("Quantity On Backorder"), left, 570, 1110);
        m_vendor[i].backOrdered->setAlignment(Qt::AlignCenter);
    }
    Text23 = m_vendor[0].tagged;      Text26 = m_vendor[1].tagged;      Text30 = m_vendor[2].tagged;
    Text18 = m_vendor[0].backOrdered; Text19 = m_vendor[1].backOrdered; Text20 = m_vendor[2].backOrdered;

    // Moving through the parts.
    SSDBCommand3 = buttonAt(client, QStringLiteral("SSDBCommand3"), QStringLiteral("&Begin"),
                            QStringLiteral("Go to the beginning of the database"), 120, 6150, 1095, 450);
    SSDBCommand2 = buttonAt(client, QStringLiteral("SSDBCommand2"), QStringLiteral("&Previous"),
                            QStringLiteral("Goes to the Previous Part Number"), 1290, 6150, 1095, 450);
    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    placeTwips(SSDBData1, 2460, 6150, 3690, 450);
    SSDBCommand1 = buttonAt(client, QStringLiteral("SSDBCommand1"), QStringLiteral("&Next"),
                            QStringLiteral("Goes to the Next Part number"), 6225, 6150, 1095, 450);
    SSDBCommand4 = buttonAt(client, QStringLiteral("SSDBCommand4"), QStringLiteral("&End"),
                            QStringLiteral("Go to the End of the Database"), 7395, 6150, 1095, 450);

    FilterLabel = labelAt(client, QStringLiteral("FilterLabel"), QStringLiteral("Filter is ON"), 8565, 6150, 1365, 450, Qt::AlignCenter);
    FilterLabel->setToolTip(QStringLiteral("This lets you know there is a filter currently on"));
    FilterLabel->setFont(arialFont(9.75, true));
    QPalette red = FilterLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    FilterLabel->setPalette(red);
    FilterLabel->hide();

    // The commands.
    struct Command {
        QPushButton** button;
        const char* name;
        const char* caption;
        QString tip;
    };
    const Command commands[8] = {
        {&SSCommand1, "SSCommand1", "&Retrieve", QStringLiteral("Click here to retrieve a part quickly")},
        {&SSCommand2, "SSCommand2", "&Add", QStringLiteral("Adds a New Part Number")},
        {&SSCommand3, "SSCommand3", "&Delete", QStringLiteral("Deletes the Current Part Number")},
        {&SSCommand4, "SSCommand4", "&List", QStringLiteral("Shows a Listing of Part Numbers")},
        {&SSCommand5, "SSCommand5", "&Filter", QStringLiteral("Creates a \"Filter\" of Parts")},
        {&SSCommand6, "SSCommand6", "&Tally", QStringLiteral("Counts the Current Database")},
        {&SSCommand7, "SSCommand7", "&Display", QString()},
        {&CmdEXIT, "CmdEXIT", "E&xit", QStringLiteral("Exit's This Screen")},
    };
    for (int i = 0; i < 8; ++i) {
        *commands[i].button = buttonAt(client, QString::fromLatin1(commands[i].name),
                                       QString::fromLatin1(commands[i].caption), commands[i].tip,
                                       120 + i * 1224, 6780, 1140, 495);
        (*commands[i].button)->setFont(arialFont(8.25, true));
    }

    cmdSave = buttonAt(client, QStringLiteral("cmdSave"), QStringLiteral("&Save"), QStringLiteral("Saves Information"),
                       8688, 6780, 1140, 495);
    cmdSave->hide();

    // Typing rules.
    for (const VendorBoxes& v : m_vendor) {
        upperCaseTyping(v.partNumber, PartNumberChars);
        upperCaseTyping(v.book, BookChars);
        upperCaseTyping(v.page, PageChars);
        upperCaseTyping(v.package, CountChars);
        limitTyping(v.minimumBuy, CountChars);
        limitTyping(v.price, PriceChars);
        limitTyping(v.backOrdered, OrderChars);
        limitTyping(v.tagged, OrderChars);
        selectAllOnFocus(v.package);
        selectAllOnFocus(v.minimumBuy);
        selectAllOnFocus(v.price);
        for (QLineEdit* number : {v.package, v.minimumBuy, v.price, v.backOrdered, v.tagged})
            fitLineEditText(number, OutOfRangeMark);
    }
    fitLineEditText(Text16, OutOfRangeMark);
    fitLineEditText(Text17, OutOfRangeMark);
    upperCaseTyping(Text14, DescriptionChars);
    upperCaseTyping(Text15, AreaChars);
    upperCaseTyping(Text16, CountChars);
    upperCaseTyping(Text17, CountChars);
    upperCaseTyping(Text21, LocationChars);
    upperCaseTyping(Text22, MemoChars);
    selectAllOnFocus(Text16);
    selectAllOnFocus(Text17);

    setDefaultButton(this, cmdSave);
    setCancelButton(this, CmdEXIT);

    keepProportions(client);
}

void MaintScreen::buildMenus()
{
    MnuMaintSort = menuBar()->addMenu(QStringLiteral("&Sort"));
    MnuMaintSort->setObjectName(QStringLiteral("MnuMaintSort"));
    MnuSortMaint1 = namedAction(MnuMaintSort, QStringLiteral("MnuSortMaint1"), QStringLiteral("Vendor # &1"));
    MnuSortMaint2 = namedAction(MnuMaintSort, QStringLiteral("MnuSortMaint2"), QStringLiteral("Vendor # &2"));
    MnuSortMaint3 = namedAction(MnuMaintSort, QStringLiteral("MnuSortMaint3"), QStringLiteral("Vendor # &3"));

    MnuMaintScreenPrint = menuBar()->addMenu(QStringLiteral("&Print"));
    MnuMaintScreenPrint->setObjectName(QStringLiteral("MnuMaintScreenPrint"));
    MnuFilterRecords = namedAction(MnuMaintScreenPrint, QStringLiteral("MnuFilterRecords"), QStringLiteral("Filtered Report"));
    MnuFilterLabels = MnuMaintScreenPrint->addMenu(QStringLiteral("Filtered Labels"));
    MnuFilterLabels->setObjectName(QStringLiteral("MnuFilterLabels"));
    MnuBarcodedFiltered5160 = namedAction(MnuFilterLabels, QStringLiteral("MnuBarcodedFiltered5160"),
                                          QStringLiteral("With Barcodes (Avery #5160 1\" X 2-5/8\")"));
    MnuFiltered5160 = namedAction(MnuFilterLabels, QStringLiteral("MnuFiltered5160"),
                                  QStringLiteral("No Barcodes (Avery #5160 1\" x 2-5/8\")"));
    MnuFilteredBarcode = namedAction(MnuFilterLabels, QStringLiteral("MnuFilteredBarcode"),
                                     QStringLiteral("With Barcodes (Avery #5163   2\" X 4\")"));
    MnuFilteredNoBarcode = namedAction(MnuFilterLabels, QStringLiteral("MnuFilteredNoBarcode"),
                                       QStringLiteral("No Barcodes (Avery #5161   1\" x 4\")"));

    MnuMaintScreenColor = Data3->menu();
    menuBar()->addMenu(MnuMaintScreenColor);
    MnuColorBackground = MnuMaintScreenColor->findChild<QAction*>(QStringLiteral("MnuColorBackground"));
    MnuColorForeColor = MnuMaintScreenColor->findChild<QAction*>(QStringLiteral("MnuColorForeColor"));
    setHelpContext(MnuMaintSort, 1210);
    setHelpContext(MnuMaintScreenPrint, 1220);

    // The window's client area keeps its designed size below the menu bar.
    resize(width(), height() + menuBar()->sizeHint().height());
}

void MaintScreen::bindControls()
{
    for (int i = 0; i < 3; ++i) {
        const VendorBoxes& v = m_vendor[i];
        const int n = i + 1;
        Data1->bind(v.partNumber, QStringLiteral("Part Number %1").arg(n));
        Data1->bind(v.defaultVendor, QStringLiteral("Default %1").arg(n));
        Data1->bind(v.book, QStringLiteral("Book %1").arg(n));
        Data1->bind(v.page, QStringLiteral("Page %1").arg(n));
        Data1->bind(v.package, QStringLiteral("Package %1").arg(n));
        Data1->bind(v.minimumBuy, QStringLiteral("Minimum Buy %1").arg(n));
        Data1->bind(v.price, QStringLiteral("Price %1").arg(n), BindFormat::Currency);
        Data1->bind(v.backOrdered, QStringLiteral("Back Ordered %1").arg(n));
        Data1->bind(v.tagged, QStringLiteral("Quantity Ordered %1").arg(n));

        m_numberBoxes.insert(v.package, {QStringLiteral("Package %1").arg(n), NumberKind::Count});
        m_numberBoxes.insert(v.minimumBuy, {QStringLiteral("Minimum Buy %1").arg(n), NumberKind::Count});
        m_numberBoxes.insert(v.price, {QStringLiteral("Price %1").arg(n), NumberKind::Money});
        m_numberBoxes.insert(v.backOrdered, {QStringLiteral("Back Ordered %1").arg(n), NumberKind::Count});
        m_numberBoxes.insert(v.tagged, {QStringLiteral("Quantity Ordered %1").arg(n), NumberKind::Count});
    }
    Data1->bind(Text14, QStringLiteral("Description"));
    Data1->bind(Text15, QStringLiteral("Area of Machine"));
    Data1->bind(Text16, QStringLiteral("In Stock"));
    Data1->bind(Text17, QStringLiteral("Minimum Stock"));
    Data1->bind(Text21, QStringLiteral("Location"));
    Data1->bind(Text22, QStringLiteral("Part Memo"));
    Data1->bind(MaskEdBox5, QStringLiteral("Date Ordered"), BindFormat::LongDate);
    m_numberBoxes.insert(Text16, {QStringLiteral("In Stock"), NumberKind::Count});
    m_numberBoxes.insert(Text17, {QStringLiteral("Minimum Stock"), NumberKind::Count});

    const int headingSets[3][3] = {{19, 20, 21}, {16, 26, 27}, {18, 22, 23}};
    for (const auto& set : headingSets)
        for (int i = 0; i < 3; ++i)
            Data2->bind(Label[set[i]], QStringLiteral("Vendor %1").arg(i + 1));

    SSDBData1->setDataControl(Data1);
}

void MaintScreen::wireHandlers()
{
    for (int i = 0; i < 3; ++i) {
        const VendorBoxes& v = m_vendor[i];
        const int n = i + 1;
        m_lostFocus.insert(v.partNumber, [this, n] { partNumberLeft(n); });
        m_lostFocus.insert(v.minimumBuy, [this, n] { runCheck(n, Check::MinimumBuy); });
        m_lostFocus.insert(v.package, [this, n] { runCheck(n, Check::Package); });
        m_lostFocus.insert(v.price, [this, n] { runCheck(n, Check::Price); });
        QLineEdit* back = v.backOrdered;
        QLineEdit* tagged = v.tagged;
        m_lostFocus.insert(back, [this, back] { acceptNumber(back); });
        m_lostFocus.insert(tagged, [this, tagged] { acceptNumber(tagged); });
        m_orderNotices.insert(back, BackOrderNotice);
        m_orderNotices.insert(tagged, OnOrderNotice);
        connect(v.defaultVendor, &QCheckBox::clicked, this, [this, n] { defaultVendorClicked(n); });
    }
    m_lostFocus.insert(Text16, [this] { acceptNumber(Text16); });
    m_lostFocus.insert(Text17, [this] { acceptNumber(Text17); });
    m_lostFocus.insert(MaskEdBox4, [this] { MaskEdBox4_LostFocus(); });
    for (auto it = m_lostFocus.cbegin(); it != m_lostFocus.cend(); ++it)
        it.key()->installEventFilter(this);
    MaskEdBox5->installEventFilter(this);

    connect(Data1, &DataControl::collectInput, this, &MaintScreen::commitTypedDate);
    connect(Data1, &DataControl::validate, this, &MaintScreen::Data1_Validate);
    connect(Data1, &DataControl::reposition, this, [this] {
        MaskEdBox4->clearDate();   // a date typed for the part left stays with it
        updateNavigatorCaption();
    });
    connect(Data1, &DataControl::recordsetChanged, this, &MaintScreen::updateNavigatorCaption);

    connect(cmdSave, &QPushButton::clicked, this, &MaintScreen::cmdSave_Click);
    connect(SSCommand1, &QPushButton::clicked, this, &MaintScreen::SSCommand1_Click);
    connect(SSCommand2, &QPushButton::clicked, this, &MaintScreen::SSCommand2_Click);
    connect(SSCommand3, &QPushButton::clicked, this, &MaintScreen::SSCommand3_Click);
    connect(SSCommand4, &QPushButton::clicked, this, &MaintScreen::SSCommand4_Click);
    connect(SSCommand5, &QPushButton::clicked, this, &MaintScreen::SSCommand5_Click);
    connect(SSCommand6, &QPushButton::clicked, this, &MaintScreen::SSCommand6_Click);
    connect(SSCommand7, &QPushButton::clicked, this, &MaintScreen::SSCommand7_Click);
    connect(CmdEXIT, &QPushButton::clicked, this, &MaintScreen::CmdEXIT_Click);
    wireRecordButtons(SSDBCommand3, SSDBCommand2, SSDBCommand1, SSDBCommand4, [this] { updateNavigatorCaption(); });
    connect(SSDBData1, &DataNavigator::clicked, this, &MaintScreen::updateNavigatorCaption);

    connect(MnuSortMaint1, &QAction::triggered, this, &MaintScreen::MnuSortMaint1_Click);
    connect(MnuSortMaint2, &QAction::triggered, this, &MaintScreen::MnuSortMaint2_Click);
    connect(MnuSortMaint3, &QAction::triggered, this, &MaintScreen::MnuSortMaint3_Click);
    connect(MnuFilterRecords, &QAction::triggered, this, &MaintScreen::MnuFilterRecords_Click);
    connect(MnuBarcodedFiltered5160, &QAction::triggered, this, &MaintScreen::MnuBarcodedFiltered5160_Click);
    connect(MnuFiltered5160, &QAction::triggered, this, &MaintScreen::MnuFiltered5160_Click);
    connect(MnuFilteredBarcode, &QAction::triggered, this, &MaintScreen::MnuFilteredBarcode_Click);
    connect(MnuFilteredNoBarcode, &QAction::triggered, this, &MaintScreen::MnuFilteredNoBarcode_Click);
}

// ---------------------------------------------------------------- loading, activation, closing

void MaintScreen::Form_Load()
{
    usePartsTable(*Data1);
    openInformation(*Data2);   // the vendor headings
    // Data1 opens at the first activation, in the order of vendor 1's part numbers.
    Data3->OpenColorScheme();
    Data3->install();
}

void MaintScreen::Form_Activate()
{
    if (!firstActivation())
        return;
    if (filterOn())
        return;
    setFilterMenus(false);
    reopenPartsTable(QStringLiteral("inv1"));
}

void MaintScreen::reopenPartsTable(const QString& index)
{
    try {
        Data1->close();
        openPartsTable(*Data1, index);
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    updateNavigatorCaption();
}

// ---------------------------------------------------------------- filter indicators

void MaintScreen::SetFilterIndicators(bool on)
{
    FilterLabel->setVisible(on);
    setFilterMenus(on);
    SSCommand1->setEnabled(!on);
}

void MaintScreen::setFilterMenus(bool on)
{
    // The menus themselves, not their actions: a menu sets its action's state afresh whenever the
    // window is disabled and enabled again (as the find window does), but keeps its own.
    MnuMaintScreenPrint->setEnabled(on);
    MnuMaintSort->setEnabled(!on);
}

bool MaintScreen::filterOn() const
{
    return FilterLabel->isVisibleTo(const_cast<MaintScreen*>(this));
}

QWidget* MaintScreen::findPartFocusTarget(int vendor)
{
    return vendor >= 1 && vendor <= 3 ? m_vendor[vendor - 1].partNumber : nullptr;
}

// ---------------------------------------------------------------- field rules

bool MaintScreen::hasRecord() const
{
    const Recordset* rs = Data1->recordset();
    return rs && !rs->isClosed() && (rs->hasCurrent() || rs->editMode() == Recordset::EditMode::Adding);
}

bool MaintScreen::refuseBadNumbers()
{
    bool all = true;
    for (const VendorBoxes& v : m_vendor)
        for (QLineEdit* box : {v.package, v.minimumBuy, v.price, v.backOrdered, v.tagged})
            all = acceptNumber(box) && all;
    all = acceptNumber(Text16) && all;
    all = acceptNumber(Text17) && all;
    return all;
}

void MaintScreen::writeBoundValues()
{
    // What cannot be stored goes back to its stored value first, so that the rest is written.
    refuseBadNumbers();
    try {
        Data1->updateRecord();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    updateNavigatorCaption();
}

void MaintScreen::setPriceText(QLineEdit* box, const QString& text)
{
    const std::optional<Currency> amount = Currency::parse(text);
    box->setText(amount ? formatCurrencyExact(*amount) : text);
}

// A number box holds a count (a whole number of 0 or more) or a price (an amount of money of 0 or
// more). Other text is refused: the box goes back to the part's stored value and the user is told
// why. An emptied count is 0, so that no count is stored empty. What the part already stores was
// not typed: it is left for the user to correct (a value too large to be used is said once while
// the part is shown).
bool MaintScreen::acceptNumber(QLineEdit* box)
{
    const auto it = m_numberBoxes.constFind(box);
    if (it == m_numberBoxes.constEnd() || !hasRecord())
        return true;
    const bool money = it->kind == NumberKind::Money;
    const QString text = box->text();
    if (text.trimmed().isEmpty()) {
        // A count an older file left empty was not emptied here: passing it changes nothing (it
        // counts as 0 wherever parts are chosen for ordering).
        const bool storedEmpty = Data1->recordset()->editMode() != Recordset::EditMode::Adding
            && Data1->storedText(it->field).trimmed().isEmpty();
        if (!money && !storedEmpty)
            box->setText(QStringLiteral("0"));
        return true;
    }
    if (money) {
        const std::optional<Currency> amount = Currency::parse(text);
        if (amount && *amount >= Currency()) {
            // Shown as money, with every decimal typed: the text is what the part stores.
            const QString shown = formatCurrencyExact(*amount);
            if (shown != text)
                box->setText(shown);
            return true;
        }
        if (showsStoredValue(text, it->field, true))
            return true;
    } else {
        const std::optional<double> n = parseNumber(text);
        if (n && isWholeCount(*n) && fitsLongField(*n))
            return true;
        if (showsStoredValue(text, it->field, false))
            return true;
        if (!acceptCount(box, it->field))
            return false;
    }
    ++m_inRule;
    refuseNumber(box, money ? notAPriceText(text) : notAWholeNumberText(text), it->field, money);
    --m_inRule;
    return false;
}

// The answer a check takes: a price above 0 that money holds, or a whole number of 1 or more that
// a count holds. Nothing, 0, or any other answer (not a number, a part of one, below 0) puts the
// default in, so that the check is not asked again at every leaving; a price below 0 or too large
// is refused with its reason first, as a typed one is.
void MaintScreen::takeAnswer(QLineEdit* box, bool money, const QString& answer, const QString& fallback)
{
    box->setText(answer);
    if (money) {
        const std::optional<Currency> amount = Currency::parse(answer);
        if ((amount && *amount < Currency()) || (!amount && parseNumber(answer)))
            MsgBox(notAPriceText(answer), 48);
        if (!amount || *amount <= Currency())
            box->setText(fallback);
        return;
    }
    const std::optional<double> n = wholeCount(answer);
    if (!n || *n == 0 || !fitsLongField(*n))
        box->setText(fallback);
}

void MaintScreen::runCheck(int vendor, Check check)
{
    if (!hasRecord() || vendor < 1 || vendor > 3)
        return;
    const VendorBoxes& v = m_vendor[vendor - 1];
    QLineEdit* box = check == Check::MinimumBuy ? v.minimumBuy : check == Check::Package ? v.package : v.price;
    const QString partNumber = v.partNumber->text();
    const bool money = check == Check::Price;
    if (partNumber.isEmpty() || boxValue(box, money) != 0) {
        acceptNumber(box);
        return;
    }
    ++m_inRule;
    const QString prompt = check == Check::MinimumBuy ? MinimumPrompt : check == Check::Package ? PackagePrompt : PricePrompt;
    const QString fallback = check == Check::Price ? QStringLiteral("0.01") : QStringLiteral("1");
    takeAnswer(box, money, InputBox(prompt + partNumber, QStringLiteral("Warning"), QString(), 3000, 5000), fallback);
    if (acceptNumber(box) && check != Check::Package)
        writeBoundValues();
    --m_inRule;
}

void MaintScreen::Data1_Validate()
{
    if (!hasRecord())
        return;
    for (int n = 1; n <= 3; ++n) {
        if (m_vendor[n - 1].partNumber->text().isEmpty())
            continue;
        runCheck(n, Check::MinimumBuy);
        runCheck(n, Check::Package);
        runCheck(n, Check::Price);
    }
    // Whatever else cannot be stored goes back to its stored value before the part is written.
    refuseBadNumbers();
}

void MaintScreen::partNumberLeft(int vendor)
{
    if (!hasRecord() || vendor < 1 || vendor > 3)
        return;
    const VendorBoxes& v = m_vendor[vendor - 1];
    if (!v.partNumber->text().isEmpty())
        return;
    v.minimumBuy->setText(QStringLiteral("0"));
    v.package->setText(QStringLiteral("0"));
    setPriceText(v.price, QStringLiteral("0"));
    v.book->clear();
    v.page->clear();
    // The focus moves on at once; the box it was going to was not entered, so it is not left.
    QWidget* next = vendor == 1 ? Text2 : vendor == 2 ? Text3 : static_cast<QWidget*>(Text14);
    ++m_inRule;
    next->setFocus(Qt::TabFocusReason);
    --m_inRule;
}

void MaintScreen::defaultVendorClicked(int vendor)
{
    for (int n = 1; n <= 3; ++n)
        if (n != vendor)
            m_vendor[n - 1].defaultVendor->setChecked(false);
}

void MaintScreen::MaskEdBox5_GotFocus()
{
    ++m_inRule;
    MaskEdBox4->show();
    MaskEdBox4->setFocus(Qt::OtherFocusReason);
    MaskEdBox5->hide();
    --m_inRule;
}

void MaintScreen::MaskEdBox4_LostFocus()
{
    MaskEdBox5->show();
    commitTypedDate();
    MaskEdBox4->clearDate();
    MaskEdBox4->hide();
}

// A date typed in the entry box becomes the part's Date Ordered in the bound date box: when the
// entry box is left, and whenever Data1 collects what was typed before then (a save, a move,
// closing), so that no way of leaving the part loses it. The entry box then shows the date
// handed over, which is not handed over again; text that is no date is refused.
void MaintScreen::commitTypedDate()
{
    if (!MaskEdBox4->isModified() || MaskEdBox4->isBlank())
        return;
    if (const std::optional<QDate> date = MaskEdBox4->date()) {
        MaskEdBox5->setText(formatLongDate(*date));
        MaskEdBox4->setDate(*date);
        return;
    }
    const QString typed = MaskEdBox4->displayText();
    MaskEdBox4->clearDate();
    ++m_inRule;
    MsgBox(QStringLiteral("\"%1\" is not a date. Please type the date as month/day/year, for example 03/15/07.").arg(typed),
           48);
    --m_inRule;
}

bool MaintScreen::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusOut: {
        // A box opening over the window or a popup takes the focus without the box being left.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_inRule > 0 || isUnloaded())
            break;
        const auto it = m_lostFocus.constFind(watched);
        if (it != m_lostFocus.constEnd()) {
            const std::function<void()> rule = *it;
            rule();
        }
        break;
    }
    case QEvent::FocusIn:
        if (watched == MaskEdBox5 && m_inRule == 0)
            MaskEdBox5_GotFocus();
        break;
    case QEvent::KeyPress: {
        const auto it = m_orderNotices.constFind(watched);
        if (it == m_orderNotices.constEnd())
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        if (key->text().isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) || k == Qt::Key_Tab
            || k == Qt::Key_Backtab || k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape)
            break;
        // The notice first; then the key goes into the box as typed.
        ++m_inRule;
        Beep();
        MsgBox(*it, 48, QStringLiteral("Notice"));
        --m_inRule;
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MaintScreen::keyPressEvent(QKeyEvent* event)
{
    // Enter that no control took presses the hidden "&Save".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        cmdSave_Click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- commands

void MaintScreen::cmdSave_Click()
{
    writeBoundValues();
}

void MaintScreen::SSCommand1_Click()
{
    if (filterOn()) {
        MsgBox(QStringLiteral("You must cancel all filters before you can retrieve part numbers!"));
        return;
    }
    setFilterMenus(false);
    // After a re-read as a query result there is no index to seek on: the parts table comes back
    // in the order of vendor 1's part numbers.
    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || rs->kind() != Recordset::Kind::Table)
        reopenPartsTable(QStringLiteral("inv1"));
    retrievePart(FindPartMember::maintenance());
}

void MaintScreen::SSCommand2_Click()
{
    if (filterOn()) {
        MsgBox(QStringLiteral("You must cancel all filters before adding a new record!"));
        return;
    }
    setFilterMenus(false);
    Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed())
        return;
    try {
        rs->addNew();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        return;
    }
    updateNavigatorCaption();
    Text1->setFocus(Qt::OtherFocusReason);
}

void MaintScreen::SSCommand3_Click()
{
    if (!hasRecord())
        return;
    Beep();
    const QString text = QString(44, u' ') + QStringLiteral("Are you sure you want to delete this part?") + u'\r'
        + QString(8, u' ')
        + QStringLiteral("By selecting yes, all data about this part in the 'Parts Usage' report will be lost.") + u'\r'
        + QStringLiteral("It is better to leave this part alone and make the description say 'No Longer Available'");
    if (MsgBox(text, 292, QStringLiteral("Confirm")) != Prompts::Yes)
        return;
    try {
        if (Recordset* rs = Data1->recordset()) {
            rs->deleteCurrent();
            Data1->refresh();
        }
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    updateNavigatorCaption();
}

void MaintScreen::SSCommand7_Click()
{
    PartImagesWindow::ShowPartImages(Data1, PartImagesMember::maintenance(), this);
}

bool MaintScreen::saveBeforeLeaving()
{
    const Recordset* rs = Data1->recordset();
    if (!hasRecord() || !(Data1->hasPendingChanges() || rs->isDirty()))
        return true;
    try {
        Data1->update();   // the record check, then the write
        return true;
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        return false;
    }
}

void MaintScreen::CmdEXIT_Click()
{
    // The part on screen is saved before the re-read, which would drop what was typed.
    if (!saveBeforeLeaving())
        return;
    try {
        Data1->refresh();
    } catch (const DbError&) {
    }
    close();
}

void MaintScreen::updateNavigatorCaption()
{
    SSDBData1->setCaption(partPositionCaption(Data1->recordset()));
}

// ---------------------------------------------------------------- sort, list, filter, tally

// The Sort menu is enabled only while no filter is on, so a sort always reopens the whole table
// and the screen stands on the first part in the new order.
void MaintScreen::MnuSortMaint1_Click()
{
    reopenPartsTable(QStringLiteral("inv1"));
}

void MaintScreen::MnuSortMaint2_Click()
{
    reopenPartsTable(QStringLiteral("inv2"));
}

void MaintScreen::MnuSortMaint3_Click()
{
    reopenPartsTable(QStringLiteral("inv3"));
}

void MaintScreen::SSCommand4_Click()
{
    ResultListWindow::ShowList(ResultListConfig::ShowData1(), Data1, this, [this] { return filterOn(); });
    updateNavigatorCaption();
}

void MaintScreen::SSCommand5_Click()
{
    {
        WaitCursor hourglass;
        // Takes effect at the next re-read, which the filter window makes when it applies a filter.
        Data1->setRecordsetType(Recordset::Kind::Dynaset);
    }
    FindWindow::ShowFilter(this);
    updateNavigatorCaption();
}

void MaintScreen::SSCommand6_Click()
{
    int count = 0;
    {
        WaitCursor hourglass;
        // The count is exact without moving: the current part stays as it is.
        const Recordset* rs = Data1->recordset();
        if (rs && !rs->isClosed())
            count = rs->recordCount();
    }
    MsgBox(QStringLiteral("Total Records = ") + QString::number(count));
}

// ---------------------------------------------------------------- filtered printing

CurrentFilterFormula MaintScreen::filteredPrintFormula()
{
    const FindWindow* w = FindWindow::existingInstance();
    return w ? w->currentFilterFormula() : CurrentFilterFormula();
}

void MaintScreen::printFiltered(const QString& reportFile, bool hasA4Twin)
{
    const CurrentFilterFormula filter = filteredPrintFormula();
    ReportRequest request;
    request.letterFile = reportFile;
    request.hasA4Twin = hasA4Twin;
    request.placement = ReportPlacement::Bare;
    request.precondition = ReportPrecondition::onCheck(
        [this] { return filterOn(); },
        ReportNotice{QStringLiteral("You must set a filter on this screen before you can print this report!"), 48,
                     QStringLiteral("Notice"), true});
    request.beforeRun = [this] { MnuMaintSort->setEnabled(false); };
    request.selectionFormula = filter.formula;   // handed over as it is, also when empty
    for (const QString& sort : filter.sortFields)
        request.sortFields.append(sort);         // the first empty one ends them
    const std::unique_ptr<ReportControl> CrystalReport1 = ReportControl::create();
    ReportLauncher(Data1, *CrystalReport1, request);
}

void MaintScreen::MnuFilterRecords_Click()
{
    printFiltered(QStringLiteral("Filter.rpt"), true);
}

void MaintScreen::MnuBarcodedFiltered5160_Click()
{
    printFiltered(QStringLiteral("FilteredBarcoded5160.Rpt"), false);
}

void MaintScreen::MnuFiltered5160_Click()
{
    printFiltered(QStringLiteral("FilteredAvery5160.Rpt"), false);
}

void MaintScreen::MnuFilteredBarcode_Click()
{
    printFiltered(QStringLiteral("FilteredBarcoded5163.Rpt"), false);
}

void MaintScreen::MnuFilteredNoBarcode_Click()
{
    printFiltered(QStringLiteral("FilteredAvery5161.Rpt"), false);
}
