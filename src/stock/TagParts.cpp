#include "stock/TagParts.h"

#include "colours/ColorScheme.h"
#include "data/Connection.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/DbError.h"
#include "data/RecordsetModel.h"
#include "data/Schema.h"
#include "parts/PartImagesWindow.h"
#include "parts/PartsFonts.h"
#include "parts/ScreenBuilding.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"
#include "platform/VendorInformation.h"
#include "query/ResultListWindow.h"
#include "reports/ReportControl.h"
#include "reports/MainMenuReports.h"
#include "reports/ReportLauncher.h"
#include "reports/ReportValue.h"
#include "stock/PartReader.h"
#include "stock/RecordGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>

#include <optional>

// ================================================================ layout

namespace {

constexpr int ClientWidth = 12450;
constexpr int ClientHeight = 6450;

// The vendor table: heading row and one row per vendor.
constexpr int HeadingTop = 870;
constexpr int HeadingHeight = 420;
const int RowTops[3] = {1320, 1716, 2076};
constexpr int RowHeight = 330;

// Columns of the vendor table, left to right: left edge and width. A price column shows every digit
// and the sign of a price up to ($99,999.9999) in the screen's font; a longer amount or count is
// shown in a smaller size of it, or as #### where even that is too wide (fitLineEditText).
struct Column {
    int left;
    int width;
};
constexpr Column VendorCol{120, 1140};
constexpr Column PartNumberCol{1290, 1230};
constexpr Column AutoOrderCol{2550, 540};
constexpr Column OrderQtyCol{3120, 600};
constexpr Column BackOrderCol{3750, 600};
constexpr Column MinBuyCol{4380, 600};
constexpr Column PackageCol{5010, 600};
constexpr Column BookPriceCol{5640, 1260};
constexpr Column PageCol{6930, 660};
constexpr Column SpecialCol{7620, 1260};
constexpr Column DiscountPriceCol{8910, 1260};
constexpr Column CostEachCol{10200, 1260};
constexpr Column CurrentDiscountCol{11490, 840};

// Typing limits (text set by code is never cut).
constexpr int QuantityChars = 5;
constexpr int CountChars = 6;
constexpr int PriceChars = 12;
constexpr int PageChars = 6;
constexpr int MemoChars = 255;

const QString TaggedQuery = QStringLiteral(
    "Select * from Parts where [Quantity Ordered 1] > 0 or [Quantity Ordered 2] > 0 or [Quantity Ordered 3] > 0");

const QString ListCaptionNeeded = QStringLiteral("Parts Needed");
const QString ListCaptionTagged = QStringLiteral("Parts Currently Tagged For Order");

QLabel* makeLabel(QWidget* parent, int number, const QString& text, int left, int top, int width, int height,
                  Qt::Alignment alignment = Qt::AlignCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setAlignment(alignment);
    placeTwips(label, left, top, width, height);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QString& tip, int left, int top, int width,
                   int height = RowHeight, Qt::Alignment alignment = Qt::AlignCenter)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setAlignment(alignment);
    placeTwips(box, left, top, width, height);
    return box;
}

// Runs one step of a command; a step that fails is skipped and its reason kept for the user.
template <typename F>
bool step(QString& failure, F&& f)
{
    try {
        f();
        return true;
    } catch (const DbError& e) {
        if (failure.isEmpty())
            failure = e.text();
    } catch (const std::exception& e) {
        if (failure.isEmpty())
            failure = QString::fromLocal8Bit(e.what());
    }
    return false;
}

}  // namespace

// ================================================================ colours

ColorSchemeConfig tagPartsColorScheme(std::function<void(bool)> showList, std::function<bool()> isAllPartsView)
{
    ColorSchemeConfig c;
    c.tableName = QStringLiteral("TagPartsColors");
    c.menuName = QStringLiteral("MnuTagPartsColors");
    c.menuCaption = QStringLiteral("C&olors");
    c.popupControls = {QStringLiteral("SSDBGrid1")};

    auto labels = [](std::initializer_list<std::pair<int, int>> runs) {
        QStringList out;
        for (const auto& [from, to] : runs)
            for (int i = from; i <= to; ++i)
                out << QStringLiteral("Label%1").arg(i);
        return out;
    };
    const QStringList checks = {QStringLiteral("Check1"), QStringLiteral("Check2"), QStringLiteral("Check3")};
    const QString navigator = QStringLiteral("SSDBData1");
    const QString dateBox = QStringLiteral("MaskEdBox1");
    const QString grid = QStringLiteral("SSDBGrid1");

    const QString gridBack = QStringLiteral("SSDBGridBackColor");
    const QString gridFore = QStringLiteral("SSDBGridForeColor");
    const QString gridEven = QStringLiteral("SSDBGridEvenColor");
    const QString gridOdd = QStringLiteral("SSDBGridOddColor");

    // The eight captions Label5, 22, 26, 27, 31..34 keep their own white text.
    bindScreenColors(c, navigator,
                     labels({{1, 4}, {6, 21}, {23, 24}}) + QStringList{dateBox} + labels({{25, 25}, {28, 29}}) + checks,
                     labels({{1, 24}}) + QStringList{dateBox} + labels({{25, 29}, {31, 34}}) + checks);
    bindListColors(c, grid);

    const ColorMenuItem background =
        screenBackgroundItem(QStringLiteral("MnuTagPartsBackgroundColor"), QStringLiteral("Background Colors"), navigator,
                             labels({{1, 29}, {31, 34}}) + checks + QStringList{dateBox});
    const ColorMenuItem text =
        screenTextItem(QStringLiteral("MnuTagPartsForegroundColor"), QStringLiteral("Text Color"), navigator,
                       labels({{1, 4}, {6, 21}, {23, 25}, {28, 29}}) + QStringList{dateBox} + checks);

    // The list items show the list while the colour is chosen, and hide it again afterwards when
    // the all-parts view (in which it is hidden) is current.
    auto pre = [showList] {
        if (showList)
            showList(true);
    };
    auto post = [showList, isAllPartsView] {
        if (showList && isAllPartsView && isAllPartsView())
            showList(false);
    };
    auto listItem = [&](const QString& name, const QString& caption, const QString& key,
                        std::initializer_list<ColorProperty> properties) {
        ColorMenuItem item = listColorItem(name, caption, QStringLiteral("List Window"), key, grid, properties);
        item.pre = pre;
        item.post = post;
        return item;
    };

    c.items = {
        background,
        text,
        listItem(QStringLiteral("MnuTagPartsListForeColor"), QStringLiteral("Text Color"), gridFore,
                 {ColorProperty::EvenRowForeColor, ColorProperty::OddRowForeColor}),
        listItem(QStringLiteral("MnuTagPartsListBackColor"), QStringLiteral("Background"), gridBack,
                 {ColorProperty::BackColor}),
        listItem(QStringLiteral("MnuTagPartsEven"), QStringLiteral("First Row"), gridEven,
                 {ColorProperty::EvenRowBackColor}),
        listItem(QStringLiteral("MnuTagPartsNext"), QStringLiteral("Next Row"), gridOdd,
                 {ColorProperty::OddRowBackColor}),
    };
    return c;
}

// ================================================================ building

TagParts::TagParts(QWidget* parent)
    : PartsScreen(parent, {.name = QStringLiteral("TagParts"),
                           .title = QStringLiteral("Tag Parts for Ordering"),
                           .helpTopic = 750})
{
    Data2 = addDataControl(QStringLiteral("Data2"));
    Data3 = addColorScheme(QStringLiteral("Data3"), tagPartsColorScheme([this](bool on) { setListVisible(on); },
                                                                        [this] { return MnuShowAll->isChecked(); }));
    CrystalReport1 = ReportControl::create();
    build();
}

TagParts::~TagParts() = default;

void TagParts::buildControls()
{
    QWidget* client = addClientArea(ClientWidth, ClientHeight);

    // Top rows: the navigator with its record buttons, the list, the count, images and retrieve.
    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    placeTwips(SSDBData1, 180, 60, 6915, 390);
    SSCommand4 = buttonAt(client, QStringLiteral("SSCommand4"), QStringLiteral("&List"),
                          QStringLiteral("Shows a list of the database"), 7200, 60, 975, 360);
    SSCommand6 = buttonAt(client, QStringLiteral("SSCommand6"), QStringLiteral("&Tally"),
                          QStringLiteral("Counts the current number of parts in the database"), 8280, 60, 975, 360);
    SSDBCommand3 = buttonAt(client, QStringLiteral("SSDBCommand3"), QStringLiteral("&Begin"),
                            QStringLiteral("\"Go\" to the beginning of the database"), 3300, 480, 915, 345);
    SSDBCommand1 = buttonAt(client, QStringLiteral("SSDBCommand1"), QStringLiteral("&Next"),
                            QStringLiteral("\"Next\" part number"), 4260, 480, 915, 345);
    SSDBCommand2 = buttonAt(client, QStringLiteral("SSDBCommand2"), QStringLiteral("&Previous"),
                            QStringLiteral("\"Previous\" part number"), 5220, 480, 915, 345);
    SSDBCommand4 = buttonAt(client, QStringLiteral("SSDBCommand4"), QStringLiteral("&End"),
                            QStringLiteral("\"Go\" to the end of the database"), 6180, 480, 915, 345);
    Command1 = buttonAt(client, QStringLiteral("Command1"), QStringLiteral("Display"), QString(), 7200, 480, 975, 360);
    SSCommand1 = buttonAt(client, QStringLiteral("SSCommand1"), QStringLiteral("&Retrieve"),
                          QStringLiteral("Click here to retrieve a part quickly"), 8280, 480, 975, 360);

    // Column headings of the vendor table.
    struct Heading {
        int label;
        const char* caption;
        Column column;
    };
    const Heading headings[] = {
        {24, "Vendor", VendorCol},          {25, "Part Number", PartNumberCol},
        {29, "Auto Order", AutoOrderCol},   {9, "Order Qty", OrderQtyCol},
        {11, "Back Order", BackOrderCol},   {28, "Min. Buy", MinBuyCol},
        {19, "Pkg. Qty.", PackageCol},      {12, "Book Price", BookPriceCol},
        {21, "Page Number", PageCol},       {10, "Special Price", SpecialCol},
        {13, "Discount Price", DiscountPriceCol}, {14, "Cost Each", CostEachCol},
        {20, "Current Discount", CurrentDiscountCol},
    };
    for (const Heading& h : headings) {
        QLabel* label = makeLabel(client, h.label, QString::fromLatin1(h.caption), h.column.left, HeadingTop,
                                  h.column.width, HeadingHeight);
        label->setWordWrap(true);
        label->setFont(arialFont(8, true));
        Label[h.label] = label;
    }

    // One row per vendor.
    const int vendorLabels[3] = {1, 2, 3};
    const int partNumberLabels[3] = {6, 7, 8};
    const char* orderNames[3] = {"Text1", "Text2", "Text3"};
    const char* backNames[3] = {"Text8", "Text9", "Text10"};
    const char* minimumNames[3] = {"Text26", "Text33", "Text34"};
    const char* packageNames[3] = {"Text20", "Text21", "Text22"};
    const char* bookNames[3] = {"MaskEdBox11", "MaskEdBox12", "MaskEdBox13"};
    const char* pageNames[3] = {"Text27", "Text28", "Text29"};
    const char* specialNames[3] = {"MaskEdBox4", "MaskEdBox5", "MaskEdBox6"};
    const char* discountPriceNames[3] = {"MaskEdBox14", "MaskEdBox15", "MaskEdBox16"};
    const char* costNames[3] = {"MaskEdBox17", "MaskEdBox18", "MaskEdBox19"};
    const char* currentDiscountNames[3] = {"Text30", "Text31", "Text32"};
    const char* discountNames[3] = {"Text23", "Text24", "Text25"};
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    for (int i = 0; i < 3; ++i) {
        VendorRow& v = m_vendor[i];
        const int n = i + 1;
        const int top = RowTops[i];
        v.heading = makeLabel(client, vendorLabels[i], QString(), VendorCol.left, top, VendorCol.width, RowHeight);
        v.heading->setFont(arialFont(8, true));
        Label[vendorLabels[i]] = v.heading;
        v.partNumber = makeLabel(client, partNumberLabels[i], QString(), PartNumberCol.left, top, PartNumberCol.width, RowHeight);
        Label[partNumberLabels[i]] = v.partNumber;

        v.autoOrder = new QCheckBox(client);
        v.autoOrder->setObjectName(QStringLiteral("Check%1").arg(n));
        v.autoOrder->setToolTip(QStringLiteral("\"Click\" here to always buy this part during automatic tagging"));
        placeTwips(v.autoOrder, AutoOrderCol.left + 135, top, 270, RowHeight);   // centred in its column

        v.orderQty = makeBox(client, QString::fromLatin1(orderNames[i]),
                             QStringLiteral("Enter the qty here of parts you would like to order from vendor # %1").arg(n),
                             OrderQtyCol.left, top, OrderQtyCol.width);
        v.backOrder = makeBox(client, QString::fromLatin1(backNames[i]),
                              QStringLiteral("Quantity of parts currently on backorder from vendor # %1").arg(n),
                              BackOrderCol.left, top, BackOrderCol.width);
        v.minimumBuy = makeBox(client, QString::fromLatin1(minimumNames[i]),
                               QStringLiteral("This is the minimum number of parts you must buy from vendor # %1").arg(n),
                               MinBuyCol.left, top, MinBuyCol.width);
        v.package = makeBox(client, QString::fromLatin1(packageNames[i]),
                            QStringLiteral("This is the number of parts in the package for vendor # %1").arg(n),
                            PackageCol.left, top, PackageCol.width);
        v.bookPrice = makeBox(client, QString::fromLatin1(bookNames[i]), QStringLiteral("This is the price for vendor # %1").arg(n),
                              BookPriceCol.left, top, BookPriceCol.width, RowHeight, right);
        v.page = makeBox(client, QString::fromLatin1(pageNames[i]), QStringLiteral("This is the page number the part can be found on"),
                         PageCol.left, top, PageCol.width);
        v.specialPrice = makeBox(client, QString::fromLatin1(specialNames[i]),
                                 QStringLiteral("Enter a price here if you are to receive special pricing"),
                                 SpecialCol.left, top, SpecialCol.width, RowHeight, right);
        v.discountPrice = makeBox(client, QString::fromLatin1(discountPriceNames[i]),
                                  QStringLiteral("This is your price with any discount you receive from vendor # %1").arg(n),
                                  DiscountPriceCol.left, top, DiscountPriceCol.width, RowHeight, right);
        v.costEach = makeBox(client, QString::fromLatin1(costNames[i]),
                             QStringLiteral("This is the cost for 1 part if it is sold in a package"),
                             CostEachCol.left, top, CostEachCol.width, RowHeight, right);
        v.currentDiscount = makeBox(client, QString::fromLatin1(currentDiscountNames[i]),
                                    QStringLiteral("This is your current discount for all parts from vendor # %1").arg(n),
                                    CurrentDiscountCol.left, top, CurrentDiscountCol.width);
        v.discount = makeBox(client, QString::fromLatin1(discountNames[i]), QString(), CurrentDiscountCol.left, top,
                             CurrentDiscountCol.width);
        v.discount->hide();
        // What is computed or read elsewhere is shown, not typed.
        for (QLineEdit* shown : {v.discountPrice, v.costEach, v.currentDiscount}) {
            shown->setReadOnly(true);
            shown->setFocusPolicy(Qt::ClickFocus);   // the Tab key goes from box to box the user types in
        }

        for (QLineEdit* number : {v.orderQty, v.backOrder, v.minimumBuy, v.package, v.bookPrice, v.specialPrice,
                                  v.discountPrice, v.costEach})
            fitLineEditText(number, OutOfRangeMark);
        limitTyping(v.orderQty, QuantityChars);
        limitTyping(v.backOrder, QuantityChars);
        limitTyping(v.minimumBuy, CountChars);
        limitTyping(v.package, CountChars);
        limitTyping(v.bookPrice, PriceChars);
        limitTyping(v.page, PageChars);
        limitTyping(v.specialPrice, PriceChars);
        selectAllOnFocus(v.orderQty);
        selectAllOnFocus(v.specialPrice);
    }
    Check1 = m_vendor[0].autoOrder;      Check2 = m_vendor[1].autoOrder;      Check3 = m_vendor[2].autoOrder;
    Text1 = m_vendor[0].orderQty;        Text2 = m_vendor[1].orderQty;        Text3 = m_vendor[2].orderQty;
    Text8 = m_vendor[0].backOrder;       Text9 = m_vendor[1].backOrder;       Text10 = m_vendor[2].backOrder;
    Text26 = m_vendor[0].minimumBuy;     Text33 = m_vendor[1].minimumBuy;     Text34 = m_vendor[2].minimumBuy;
    Text20 = m_vendor[0].package;        Text21 = m_vendor[1].package;        Text22 = m_vendor[2].package;
    MaskEdBox11 = m_vendor[0].bookPrice; MaskEdBox12 = m_vendor[1].bookPrice; MaskEdBox13 = m_vendor[2].bookPrice;
    Text27 = m_vendor[0].page;           Text28 = m_vendor[1].page;           Text29 = m_vendor[2].page;
    MaskEdBox4 = m_vendor[0].specialPrice; MaskEdBox5 = m_vendor[1].specialPrice; MaskEdBox6 = m_vendor[2].specialPrice;
    MaskEdBox14 = m_vendor[0].discountPrice; MaskEdBox15 = m_vendor[1].discountPrice; MaskEdBox16 = m_vendor[2].discountPrice;
    MaskEdBox17 = m_vendor[0].costEach;  MaskEdBox18 = m_vendor[1].costEach;  MaskEdBox19 = m_vendor[2].costEach;
    Text30 = m_vendor[0].currentDiscount; Text31 = m_vendor[1].currentDiscount; Text32 = m_vendor[2].currentDiscount;
    Text23 = m_vendor[0].discount;       Text24 = m_vendor[1].discount;       Text25 = m_vendor[2].discount;

    // Below the table, left: the part itself. Captions keep a white text of their own.
    QPalette white;
    white.setColor(QPalette::WindowText, Qt::white);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    // Captions and values keep a few pixels from the edges of their coloured boxes, so that the
    // text never touches (or, with a wider rendering, loses) its first or last letter.
    const int padding = twipsToPx(45);
    auto caption = [&](int number, const QString& text, int x, int y, int w, Qt::Alignment a) {
        QLabel* label = makeLabel(client, number, text, x, y, w, 300, a);
        label->setFont(arialFont(8, true));
        label->setPalette(white);
        label->setContentsMargins(padding, 0, padding, 0);
        Label[number] = label;
        return label;
    };
    auto value = [&](int number, int x, int y, int w) {
        QLabel* label = makeLabel(client, number, QString(), x, y, w, 300, left);
        label->setIndent(padding);
        Label[number] = label;
        return label;
    };
    const int captionLeft = 120;
    const int captionWidth = 1620;
    const int valueLeft = 1800;
    const int valueWidth = 4500;
    const int lineTops[5] = {2580, 2940, 3300, 3660, 4020};
    caption(5, QStringLiteral("Part Description"), captionLeft, lineTops[0], captionWidth, right);
    value(4, valueLeft, lineTops[0], valueWidth);
    caption(32, QStringLiteral("Area of Machine"), captionLeft, lineTops[1], captionWidth, right);
    value(15, valueLeft, lineTops[1], valueWidth);
    caption(33, QStringLiteral("Location"), captionLeft, lineTops[2], captionWidth, right);
    value(17, valueLeft, lineTops[2], valueWidth);
    caption(26, QStringLiteral("Last Ordered On"), captionLeft, lineTops[3], captionWidth, right);
    MaskEdBox1 = makeBox(client, QStringLiteral("MaskEdBox1"), QString(), valueLeft, lineTops[3], valueWidth, 300, left);
    MaskEdBox1->setReadOnly(true);
    MaskEdBox1->setFrame(false);
    MaskEdBox1->setFocusPolicy(Qt::ClickFocus);   // shown, not typed: the Tab key passes it by
    MaskEdBox1->setTextMargins(qMax(0, padding - 2), 0, 0, 0);   // its text lines up with the values above
    caption(27, QStringLiteral("Notes"), captionLeft, lineTops[4], captionWidth, right);
    Text7 = makeBox(client, QStringLiteral("Text7"), QString(), valueLeft, lineTops[4], ClientWidth - 120 - valueLeft, 300, left);
    upperCaseTyping(Text7, MemoChars);

    // Below the table, right: minimum and count in stock, and the tagged total.
    const int rightLeft = 6480;
    const int rightWidth = ClientWidth - 120 - rightLeft;
    const int halfWidth = (rightWidth - 120) / 2;
    caption(31, QStringLiteral("Minimum Quantity"), rightLeft, lineTops[0], halfWidth, Qt::AlignCenter);
    Label[16] = makeLabel(client, 16, QString(), rightLeft, lineTops[1], halfWidth, 300);
    Label[16]->setFont(arialFont(9.75, true));
    caption(34, QStringLiteral("Instock Today"), rightLeft + halfWidth + 120, lineTops[0], halfWidth, Qt::AlignCenter);
    Label[18] = makeLabel(client, 18, QString(), rightLeft + halfWidth + 120, lineTops[1], halfWidth, 300);
    Label[18]->setFont(arialFont(9.75, true));
    caption(22, QStringLiteral("$ Currently Tagged $"), rightLeft, lineTops[2] + 60, rightWidth, Qt::AlignCenter);
    Label[23] = makeLabel(client, 23, QStringLiteral("$0.00"), rightLeft, lineTops[3], rightWidth, 300);
    Label[23]->setFont(arialFont(9.75, true));
    setTaggedTotalVisible(false);

    // The list of the needed or tagged parts, with the buttons at the bottom.
    SSDBGrid1 = new RecordGrid(Data1,
                               {{QStringLiteral("Part Number 1"), {}, BindFormat::General},
                                {QStringLiteral("Part Number 2"), {}, BindFormat::General},
                                {QStringLiteral("Part Number 3"), {}, BindFormat::General}},
                               client);
    SSDBGrid1->setObjectName(QStringLiteral("SSDBGrid1"));
    SSDBGrid1->placeTwips(240, 4380, 4500, 1950);
    SSDBGrid1->setCaption(QStringLiteral(" Parts Currently Tagged For Order"));
    SSDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // The three part numbers share the list's width (see eventFilter), so no scroll bar hides one.
    SSDBGrid1->horizontalHeader()->setStretchLastSection(false);
    SSDBGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SSDBGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listViewport = SSDBGrid1->viewport();
    m_listViewport->installEventFilter(this);
    connect(SSDBGrid1->model(), &QAbstractItemModel::modelReset, this, &TagParts::fitListColumns);
    SSDBGrid1->hide();

    Command4 = buttonAt(client, QStringLiteral("Command4"), QStringLiteral("Automat&ic Tag"),
                        QStringLiteral("\"Click\" here to automatically tag all of the parts listed "), 4920, 5820, 2000, 400);
    Command4->setFont(arialFont(8.25, true));
    Command4->hide();
    cmdexit = buttonAt(client, QStringLiteral("cmdexit"), QStringLiteral("E&xit"), QString(), 7560, 5820, 1215, 400);
    cmdexit->setFont(arialFont(8.25, true));
    setCancelButton(this, cmdexit);

    // Tab order: the vendor rows box by box, then the notes.
    QWidget* previous = nullptr;
    for (const VendorRow& v : m_vendor)
        for (QWidget* w : std::initializer_list<QWidget*>{v.autoOrder, v.orderQty, v.backOrder, v.minimumBuy, v.package,
                                                          v.bookPrice, v.page, v.specialPrice}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    setTabOrder(previous, Text7);

    keepProportions(client);
}

void TagParts::buildMenus()
{
    MnuTagPartsOrder = menuBar()->addMenu(QStringLiteral("&Print Purchase Orders"));
    MnuTagPartsOrder->setObjectName(QStringLiteral("MnuTagPartsOrder"));
    MnuTagOrder1 = namedAction(MnuTagPartsOrder, QStringLiteral("MnuTagOrder1"), QStringLiteral("Vendor # &1 "));
    MnuTagOrder2 = namedAction(MnuTagPartsOrder, QStringLiteral("MnuTagOrder2"), QStringLiteral("Vendor # &2"));
    MnuTagOrder3 = namedAction(MnuTagPartsOrder, QStringLiteral("MnuTagOrder3"), QStringLiteral("Vendor # &3"));

    MnuTagPartsClear = menuBar()->addMenu(QStringLiteral("&Clear Tagged Parts"));
    MnuTagPartsClear->setObjectName(QStringLiteral("MnuTagPartsClear"));
    MnuTagClearOrder1 = namedAction(MnuTagPartsClear, QStringLiteral("MnuTagClearOrder1"), QStringLiteral("Vendor # &1 "));
    MnuTagClearOrder2 = namedAction(MnuTagPartsClear, QStringLiteral("MnuTagClearOrder2"), QStringLiteral("Vendor # &2"));
    MnuTagClearOrder3 = namedAction(MnuTagPartsClear, QStringLiteral("MnuTagClearOrder3"), QStringLiteral("Vendor # &3"));
    MnuClearAll3 = namedAction(MnuTagPartsClear, QStringLiteral("MnuClearAll3"), QStringLiteral("&All 3 Vendors"));

    MnuTagPartVendor = menuBar()->addMenu(QStringLiteral("&Sort"));
    MnuTagPartVendor->setObjectName(QStringLiteral("MnuTagPartVendor"));
    MnuTagPartSort1 = namedAction(MnuTagPartVendor, QStringLiteral("MnuTagPartSort1"), QStringLiteral("Vendor # &1 "));
    MnuTagPartSort2 = namedAction(MnuTagPartVendor, QStringLiteral("MnuTagPartSort2"), QStringLiteral("Vendor # &2"));
    MnuTagPartSort3 = namedAction(MnuTagPartVendor, QStringLiteral("MnuTagPartSort3"), QStringLiteral("Vendor # &3"));

    MnuShow = menuBar()->addMenu(QStringLiteral("S&how"));
    MnuShow->setObjectName(QStringLiteral("MnuShow"));
    MnuShowAll = namedAction(MnuShow, QStringLiteral("MnuShowAll"), QStringLiteral("&All Parts"));
    MnuShowTagged = namedAction(MnuShow, QStringLiteral("MnuShowTagged"), QStringLiteral("&Tagged Parts"));
    MnuShowNeeded = namedAction(MnuShow, QStringLiteral("MnuShowNeeded"), QStringLiteral("&Needed Parts"));
    // The checks mark the view; the view commands set them, a click alone does not toggle them.
    for (QAction* a : {MnuShowAll, MnuShowTagged, MnuShowNeeded})
        a->setCheckable(true);
    MnuShowAll->setChecked(true);

    MnuTagPartsColors = Data3->menu();
    menuBar()->addMenu(MnuTagPartsColors);
    if (auto* list = MnuTagPartsColors->findChild<QMenu*>())
        list->setObjectName(QStringLiteral("MnuTagPartsListColor"));
    setHelpContext(MnuTagPartsOrder, 1110);
    setHelpContext(MnuTagPartsClear, 1120);
    setHelpContext(MnuTagPartVendor, 1130);
    setHelpContext(MnuShow, 1140);

    // The window's client area keeps its designed size below the menu bar.
    resize(width(), height() + menuBar()->sizeHint().height());
}

void TagParts::bindControls()
{
    for (int i = 0; i < 3; ++i) {
        const VendorRow& v = m_vendor[i];
        const int n = i + 1;
        Data1->bind(v.partNumber, QStringLiteral("Part Number %1").arg(n));
        Data1->bind(v.autoOrder, QStringLiteral("Default %1").arg(n));
        Data1->bind(v.orderQty, QStringLiteral("Quantity Ordered %1").arg(n));
        Data1->bind(v.backOrder, QStringLiteral("Back Ordered %1").arg(n));
        Data1->bind(v.minimumBuy, QStringLiteral("Minimum Buy %1").arg(n));
        Data1->bind(v.package, QStringLiteral("Package %1").arg(n));
        Data1->bind(v.bookPrice, QStringLiteral("Price %1").arg(n), BindFormat::Currency);
        Data1->bind(v.page, QStringLiteral("Page %1").arg(n));
        Data1->bind(v.specialPrice, QStringLiteral("Special Price %1").arg(n), BindFormat::Currency);
        Data2->bind(v.heading, QStringLiteral("Vendor %1").arg(n));
        Data2->bind(v.discount, QStringLiteral("Discount %1").arg(n));
    }
    Data1->bind(Label[4], QStringLiteral("Description"));
    Data1->bind(Label[15], QStringLiteral("Area of Machine"));
    Data1->bind(Label[17], QStringLiteral("Location"));
    Data1->bind(Label[16], QStringLiteral("Minimum Stock"));
    Data1->bind(Label[18], QStringLiteral("In Stock"));
    Data1->bind(MaskEdBox1, QStringLiteral("Date Ordered"), BindFormat::LongDate);
    Data1->bind(Text7, QStringLiteral("Part Memo"));
    SSDBData1->setDataControl(Data1);
}

void TagParts::wireHandlers()
{
    for (int i = 0; i < 3; ++i) {
        const VendorRow& v = m_vendor[i];
        const int n = i + 1;
        connect(v.orderQty, &QLineEdit::textEdited, this, [this, n] { quantityTyped(n); });
        connect(v.autoOrder, &QCheckBox::clicked, this, [this, n] { defaultVendorClicked(n); });
        v.orderQty->installEventFilter(this);
    }

    connect(Data1, &DataControl::validate, this, &TagParts::Data1_Validate);
    connect(Data1, &DataControl::reposition, this, &TagParts::Data1_Reposition);
    connect(Data1, &DataControl::recordsetChanged, this, &TagParts::updateNavigatorCaption);
    connect(Data2, &DataControl::reposition, this, [this] {
        refreshDiscountTexts();
        Data1_Reposition();
    });

    connect(SSCommand4, &QPushButton::clicked, this, &TagParts::SSCommand4_Click);
    connect(SSCommand6, &QPushButton::clicked, this, &TagParts::SSCommand6_Click);
    wireRecordButtons(SSDBCommand3, SSDBCommand2, SSDBCommand1, SSDBCommand4);
    connect(Command1, &QPushButton::clicked, this, &TagParts::Command1_Click);
    connect(SSCommand1, &QPushButton::clicked, this, &TagParts::SSCommand1_Click);
    connect(Command4, &QPushButton::clicked, this, &TagParts::Command4_Click);
    connect(cmdexit, &QPushButton::clicked, this, &TagParts::CmdEXIT_Click);

    connect(MnuTagOrder1, &QAction::triggered, this, &TagParts::MnuTagOrder1_Click);
    connect(MnuTagOrder2, &QAction::triggered, this, &TagParts::MnuTagOrder2_Click);
    connect(MnuTagOrder3, &QAction::triggered, this, &TagParts::MnuTagOrder3_Click);
    connect(MnuTagClearOrder1, &QAction::triggered, this, &TagParts::MnuTagClearOrder1_Click);
    connect(MnuTagClearOrder2, &QAction::triggered, this, &TagParts::MnuTagClearOrder2_Click);
    connect(MnuTagClearOrder3, &QAction::triggered, this, &TagParts::MnuTagClearOrder3_Click);
    connect(MnuClearAll3, &QAction::triggered, this, &TagParts::MnuClearAll3_Click);
    connect(MnuTagPartSort1, &QAction::triggered, this, &TagParts::MnuTagPartSort1_Click);
    connect(MnuTagPartSort2, &QAction::triggered, this, &TagParts::MnuTagPartSort2_Click);
    connect(MnuTagPartSort3, &QAction::triggered, this, &TagParts::MnuTagPartSort3_Click);
    // A triggered checkable item has already flipped its own check; the command sets the checks.
    connect(MnuShowAll, &QAction::triggered, this, &TagParts::MnuShowAll_Click);
    connect(MnuShowNeeded, &QAction::triggered, this, &TagParts::MnuShowNeeded_Click);
    connect(MnuShowTagged, &QAction::triggered, this, &TagParts::MnuShowTagged_Click);
}

// ================================================================ loading, activation, closing

void TagParts::Form_Load()
{
    usePartsTable(*Data1);
    openInformation(*Data2);   // the vendor headings and discounts
    refreshDiscountTexts();
    // Data1 opens at the first activation, in the order of vendor 1's part numbers.
    Data3->OpenColorScheme();
    Data3->install();
}

void TagParts::Form_Activate()
{
    if (!firstActivation())
        return;
    reopenPartsTable(QStringLiteral("inv1"));
}

bool TagParts::reopenPartsTable(const QString& index)
{
    QString failure;
    step(failure, [&] { Data1->close(); });
    if (!failure.isEmpty()) {
        // The part on screen could not be written: it stays, and so does the view.
        MsgBox(failure, 48);
        return false;
    }
    usePartsTable(*Data1);
    if (step(failure, [&] { Data1->refresh(); })) {
        step(failure, [&] { Data1->recordset()->setIndex(index); });
        step(failure, [&] { Data1->recordset()->moveFirst(); });
    }
    if (!failure.isEmpty())
        MsgBox(failure, 48);
    return true;
}

void TagParts::showEvent(QShowEvent* event)
{
    PartsScreen::showEvent(event);
    refreshDiscountTexts();
}

void TagParts::CmdEXIT_Click()
{
    close();
}

bool TagParts::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_listViewport && event->type() == QEvent::Resize)
        fitListColumns();
    // A click into an Order Qty box selects its whole text, as entering it does.
    if (event->type() == QEvent::MouseButtonRelease) {
        for (const VendorRow& v : m_vendor)
            if (watched == v.orderQty && v.orderQty->hasFocus() && !v.orderQty->hasSelectedText())
                v.orderQty->selectAll();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TagParts::fitListColumns()
{
    QHeaderView* header = SSDBGrid1->horizontalHeader();
    const int columns = header->count();
    const int width = SSDBGrid1->viewport()->width();
    for (int c = 0; c < columns; ++c)
        header->resizeSection(c, c + 1 < columns ? width / columns : width - (columns - 1) * (width / columns));
}

QWidget* TagParts::findPartFocusTarget(int vendor)
{
    return vendor >= 1 && vendor <= 3 ? m_vendor[vendor - 1].orderQty : nullptr;
}

bool TagParts::isListVisible() const
{
    return SSDBGrid1->isVisibleTo(const_cast<TagParts*>(this));
}

QString TagParts::listCaption() const
{
    return SSDBGrid1->caption();
}

RecordsetModel* TagParts::listModel() const
{
    return SSDBGrid1->recordsetModel();
}

// ================================================================ the current part

void TagParts::refreshDiscountTexts()
{
    // The discount as the information row holds it, followed by "%": nothing is converted.
    for (VendorRow& v : m_vendor)
        v.currentDiscount->setText(v.discount->text() + u'%');
}

void TagParts::updateNavigatorCaption()
{
    SSDBData1->setCaption(hasPart() ? Label[4]->text() : QString());
}

void TagParts::Data1_Reposition()
{
    // The amount a price box shows: nothing when empty; out of range where the part stores an
    // amount beyond what money holds, so that what is computed from it shows so too.
    auto amount = [](const QString& text) -> std::optional<Currency> {
        if (text == OutOfRangeMark)
            return Currency::outOfRange();
        return text.trimmed().isEmpty() ? std::nullopt : Currency::parse(text);
    };
    for (VendorRow& v : m_vendor) {
        // An empty book price shows nothing rather than the figures of the part shown before.
        const OrderMath::PriceFigures f =
            OrderMath::priceFigures(amount(v.bookPrice->text()), OrderMath::discountPercent(v.discount->text()),
                                    amount(v.specialPrice->text()), parseNumber(v.package->text()));
        // With every decimal, as the prices they come from: a discount price cut to cents would
        // differ from the book price it equals ($0.44 for $0.4375) or show a price as $0.00.
        v.discountPrice->setText(f.discountPrice ? formatCurrencyExact(*f.discountPrice) : QString());
        v.costEach->setText(f.costEach ? formatCurrencyExact(*f.costEach) : QString());
    }
    // A part that a vendor does not sell cannot be tagged or priced for that vendor; a tag it holds
    // all the same can be cleared.
    for (VendorRow& v : m_vendor) {
        const bool sells = !v.partNumber->text().isEmpty();
        v.orderQty->setEnabled(sells || parseNumber(v.orderQty->text()).value_or(0.0) != 0);
        v.specialPrice->setEnabled(sells);
    }
    updateNavigatorCaption();
}

QLineEdit* TagParts::numberBox(int vendor, int box) const
{
    const VendorRow& v = m_vendor[vendor - 1];
    QLineEdit* const boxes[OrderMath::NumberBoxes] = {v.orderQty, v.backOrder, v.minimumBuy, v.package, v.bookPrice, v.specialPrice};
    return boxes[box];
}

OrderMath::PartBoxes TagParts::shownPart() const
{
    OrderMath::PartBoxes p;
    for (int i = 0; i < 3; ++i) {
        OrderMath::PartBoxes::Vendor& v = p.vendors[i];
        v.partNumber = OrderMath::Shown(m_vendor[i].partNumber->text());
        v.isDefault = m_vendor[i].autoOrder->isChecked();
        for (int box = 0; box < OrderMath::NumberBoxes; ++box)
            v.numbers[box] = OrderMath::Shown(numberBox(i + 1, box)->text());
    }
    p.description = OrderMath::Shown(Label[4]->text());
    p.location = OrderMath::Shown(Label[17]->text());
    p.minimumStock = OrderMath::Shown(Label[16]->text());
    p.inStock = OrderMath::Shown(Label[18]->text());
    return p;
}

void TagParts::Data1_Validate()
{
    if (!hasPart())
        return;
    // Text that a field cannot take is refused before the part is written: the box goes back to the
    // part's stored value and the user is told why. What the part stores was not typed: it stays
    // for the user to correct.
    for (const auto& [vendor, box] : OrderMath::recordCheck(shownPart()).refused) {
        QLineEdit* shown = numberBox(vendor, box);
        const QString text = shown->text();
        const QString field = OrderMath::numberField(vendor, box);
        const bool money = OrderMath::isMoneyBox(box);
        if (showsStoredValue(text, field, money))
            continue;
        if (money)
            refuseNumber(shown, notAPriceText(text), field, true);
        else if (acceptCount(shown, field))
            refuseNumber(shown, notAWholeNumberText(text), field, false);
    }
    for (int n = 1; n <= 3; ++n) {
        // An emptied count is 0, so that no count is stored empty. (One an older file left empty
        // is not changed by passing it: it counts as 0 wherever parts are chosen for ordering.)
        for (int box : {OrderMath::QuantityBox, OrderMath::BackOrderBox, OrderMath::MinimumBuyBox, OrderMath::PackageBox}) {
            QLineEdit* count = numberBox(n, box);
            if (count->text().trimmed().isEmpty()
                && !Data1->storedText(OrderMath::numberField(n, box)).trimmed().isEmpty())
                count->setText(QStringLiteral("0"));
        }
        // A vendor that has no part number for the part cannot be ordered from: a tag it holds can
        // only be cleared.
        const VendorRow& v = m_vendor[n - 1];
        const QString tag = v.orderQty->text();
        const QString field = OrderMath::numberField(n, OrderMath::QuantityBox);
        if (v.partNumber->text().isEmpty() && parseNumber(tag).value_or(0.0) > 0 && tag != Data1->storedText(field))
            refuseNumber(v.orderQty,
                         QStringLiteral("This part has no part number for vendor # %1, so it cannot be ordered from "
                                        "that vendor. Please enter 0 here.")
                             .arg(n),
                         field, false);
    }
    const OrderMath::CheckFindings check = OrderMath::recordCheck(shownPart());
    if (!check.tagged)
        return;
    // A tagged part needs a minimum stock and a location.
    if (check.lacksMinimum) {
        const QString answer = InputBox(QStringLiteral("Please enter a minimum quantity for this part."),
                                        QStringLiteral("Minimum Quantity Needed"), QString(), 3000, 5000);
        // Nothing, 0 or no whole number of parts at all (below 0, a part of one) gives 1.
        double value = answer.isEmpty() ? 0.0 : parseNumber(answer).value_or(vbVal(answer));
        if (!isWholeCount(value) || !fitsLongField(value))
            value = 0;
        Label[16]->setText(value == 0 ? QStringLiteral("1") : QString::number(qint64(value)));
    }
    if (check.lacksLocation) {
        const QString answer = InputBox(QStringLiteral("Please enter a location for this part."),
                                        QStringLiteral("Part Location Needed"), QString(), 3000, 5000);
        Label[17]->setText(answer.toUpper());
    }
    try {
        Data1->updateRecord();
    } catch (const DbError&) {
        // The save that follows the check reports it.
    }
}

void TagParts::quantityTyped(int vendor)
{
    const VendorRow& v = m_vendor[vendor - 1];
    const OrderMath::QuantityWarnings w = OrderMath::quantityWarnings(
        vendor, v.orderQty->text(), v.backOrder->text(), v.package->text(), v.heading->text());
    if (w.backOrder) {
        Beep();
        MsgBox(QStringLiteral("This part is on backorder!"));
    }
    if (w.overFifty)
        MsgBox(QStringLiteral("You are about to order more than 50 of this part!"), 48, QStringLiteral("Warning"));
}

void TagParts::defaultVendorClicked(int vendor)
{
    for (int n = 1; n <= 3; ++n)
        if (n != vendor)
            m_vendor[n - 1].autoOrder->setChecked(false);
}

// ================================================================ commands of the screen

void TagParts::Command1_Click()
{
    PartImagesWindow::ShowPartImages(Data1, PartImagesMember::ordering(), this);
}

void TagParts::SSCommand1_Click()
{
    // The find window seeks on the parts table; a list view that was left on a query result comes
    // back as the table in vendor 1's order first.
    const Recordset* rs = Data1->recordset();
    if ((!rs || rs->isClosed() || rs->kind() != Recordset::Kind::Table) && !reopenPartsTable(QStringLiteral("inv1")))
        return;
    retrievePart(FindPartMember::ordering());
}

void TagParts::SSCommand4_Click()
{
    // The list works on Data1's own recordset, whatever view the screen is in: a part chosen in
    // the list is the screen's current part when the list closes.
    ResultListWindow::ShowList(ResultListConfig::ShowData2(), Data1, this);
}

void TagParts::SSCommand6_Click()
{
    int count = 0;
    {
        WaitCursor hourglass;
        Recordset* rs = Data1->recordset();
        if (rs && !rs->isClosed() && rs->recordCount() > 0) {
            try {
                const std::optional<Bookmark> here = rs->hasCurrent() ? std::optional<Bookmark>(rs->bookmark()) : std::nullopt;
                rs->moveLast();
                count = rs->recordCount();
                if (here)
                    rs->setBookmark(*here);
            } catch (const DbError& e) {
                MsgBox(e.text(), 48);
                return;
            }
        }
    }
    MsgBox(QStringLiteral("Total Records = %1").arg(count));
}

void TagParts::sortByVendor(int vendor)
{
    if (!reopenPartsTable(QStringLiteral("inv%1").arg(vendor)))
        return;
    Command4->hide();
    setListVisible(false);
    setTaggedTotalVisible(false);
    MnuShowAll->setChecked(true);
    MnuShowTagged->setChecked(false);
    MnuShowNeeded->setChecked(false);
}

// ================================================================ views

void TagParts::setListVisible(bool on)
{
    SSDBGrid1->setVisible(on);
}

void TagParts::setTaggedTotalVisible(bool on)
{
    Label[22]->setVisible(on);
    Label[23]->setVisible(on);
}

void TagParts::showView(View view)
{
    MnuShowAll->setChecked(view == View::All);
    MnuShowNeeded->setChecked(view == View::Needed);
    MnuShowTagged->setChecked(view == View::Tagged);
}

void TagParts::returnToPartsTable(const QString& allParts)
{
    QString failure;
    Data1->setRecordSource(allParts);
    step(failure, [&] { Data1->refresh(); });
    step(failure, [&] { Data1->close(); });
    usePartsTable(*Data1);
    failure.clear();   // only whether the table itself opens matters now
    if (!step(failure, [&] { Data1->refresh(); }))
        MsgBox(failure, 48);
}

void TagParts::bringIntoAllPartsView()
{
    setListVisible(false);
    Command4->hide();
    setTaggedTotalVisible(false);
    SSCommand1->setEnabled(true);
    showView(View::All);
}

void TagParts::MnuShowAll_Click()
{
    // What was typed into the part on screen is written before the parts are read again.
    Data1->setRecordsetType(Recordset::Kind::Dynaset);
    try {
        Data1->update();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        showView(MnuShowNeeded->isChecked() ? View::Needed : MnuShowTagged->isChecked() ? View::Tagged : View::All);
        return;
    }
    showView(View::All);
    returnToPartsTable(QStringLiteral("Select * from Parts"));
    bringIntoAllPartsView();
}

// The needed or the tagged view: what was typed into the part on screen is written first (when
// it cannot be, the view stays as it was: false), then the view's parts are read, on the first.
// A failure to read them is told and left in failure.
bool TagParts::readListView(View view, const QString& query, QString& failure)
{
    // The item triggered has already flipped its own check: the view before is another one checked.
    const View other = view == View::Needed ? View::Tagged : View::Needed;
    const bool otherChecked = (other == View::Needed ? MnuShowNeeded : MnuShowTagged)->isChecked();
    const View before = otherChecked ? other : MnuShowAll->isChecked() ? View::All : view;
    Data1->setRecordsetType(Recordset::Kind::Dynaset);
    try {
        Data1->update();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        showView(before);
        return false;
    }
    Data1->setRecordSource(query);
    if (step(failure, [&] { Data1->refresh(); }) && !Data1->recordset()->eof())
        step(failure, [&] { Data1->recordset()->moveFirst(); });
    showView(view);
    if (!failure.isEmpty())
        MsgBox(failure, 48);
    return true;
}

// A list view with no parts goes back to all parts.
void TagParts::leaveEmptyListView()
{
    Label[23]->setText(formatCurrency(Currency()));
    returnToPartsTable();
    bringIntoAllPartsView();
}

void TagParts::MnuShowNeeded_Click()
{
    WaitCursor hourglass;
    QString failure;
    if (!readListView(View::Needed, NeededPartsQuery(), failure))
        return;

    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || rs->recordCount() == 0) {
        if (failure.isEmpty()) {
            Beep();
            MsgBox(QStringLiteral("There are no parts currently needed to order. ") + u'\r'
                       + QStringLiteral("Note: They may already be tagged, or they are on backorder."),
                   64, QStringLiteral("Notice"));
        }
        setTaggedTotalVisible(false);
        leaveEmptyListView();
        return;
    }
    SSDBGrid1->setCaption(ListCaptionNeeded);
    setListVisible(true);
    Command4->show();
    SSCommand1->setEnabled(false);
    setTaggedTotalVisible(false);
}

std::array<double, 3> TagParts::discountPercents() const
{
    std::array<double, 3> discounts{};
    for (int i = 0; i < 3; ++i)
        discounts[i] = OrderMath::discountPercent(m_vendor[i].discount->text());
    return discounts;
}

ExactMoney TagParts::taggedTotal() const
{
    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed())
        return {};
    const std::array<double, 3> discounts = discountPercents();
    PartReader reader(*rs, PartReader::ForCheck);
    ExactMoney total;
    for (int pos = 0, count = rs->recordCount(); pos < count; ++pos)
        total = total + reader.taggedAmount(pos, discounts);
    return total;
}

void TagParts::MnuShowTagged_Click()
{
    WaitCursor hourglass;
    QString failure;
    if (!readListView(View::Tagged, TaggedQuery, failure))
        return;

    Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || rs->recordCount() == 0) {
        if (failure.isEmpty()) {
            Beep();
            MsgBox(QStringLiteral("There are no parts currently tagged for order!"));
        }
        leaveEmptyListView();
        return;
    }

    // Every tagged part passes the record check on the way, which asks for a missing minimum
    // stock or location and writes the part. A part it would let pass without a word, and so
    // without a change, is passed over rather than shown. The walk reads every part, and adds up
    // their total as it goes: the total is read from the parts themselves, each vendor on its own,
    // so that a part is never left out for an empty quantity or price of another vendor.
    std::optional<ExactMoney> walkedTotal;
    int walked = 0;
    const std::shared_ptr<Connection> connection = rs->connection();
    const quint64 before = connection->dataVersion();
    try {
        const std::array<double, 3> discounts = discountPercents();
        PartReader reader(*rs, PartReader::ForCheck);
        ExactMoney total;
        auto add = [&](int pos) {   // the parts are read in their order, each once
            if (pos == walked) {
                total = total + reader.taggedAmount(pos, discounts);
                ++walked;
            }
        };
        while (!rs->eof()) {
            const int here = rs->absolutePosition();
            if (here < 0) {
                rs->moveNext();
                continue;
            }
            add(here);
            int next = here + 1;
            for (const int count = rs->recordCount(); next < count; ++next) {
                add(next);
                if (!OrderMath::recordCheck(reader.at(next)).passesQuietly())
                    break;
            }
            rs->moveToPosition(next);
        }
        if (rs->recordCount() == walked)   // no part vanished on the way
            walkedTotal = total;
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    failure.clear();
    if (!step(failure, [&] { Data1->refresh(); }))
        MsgBox(failure, 48);

    // When nothing has been written since the parts were read, the walk has added up the parts the
    // view now holds; otherwise they are read again.
    rs = Data1->recordset();
    const bool unchanged = rs && !rs->isClosed() && rs->recordCount() == walked && before != 0
        && connection->dataVersion() == before;
    const ExactMoney total = walkedTotal && unchanged ? *walkedTotal : taggedTotal();
    setTaggedTotalVisible(true);
    Label[23]->setText(moneyText(total));   // rounded once, to the cent
    setListVisible(true);
    SSDBGrid1->setCaption(ListCaptionTagged);
    SSCommand1->setEnabled(false);
    Command4->hide();
}

// ================================================================ automatic tagging

void TagParts::tagCurrentPart(QStringList& outOfRange)
{
    const OrderMath::PartTag tag = OrderMath::autoTag(shownPart());
    if (tag.vendor == 0)
        return;   // no vendor sells it: it stays untagged, and needed
    VendorRow& v = m_vendor[tag.vendor - 1];
    if (tag.checkDefault)
        v.autoOrder->setChecked(true);   // set by the screen, not clicked: the others stay as they are
    if (!tag.quantity) {
        outOfRange << tag.outOfRange;
        return;
    }
    v.orderQty->setText(*tag.quantity);
}

void TagParts::Command4_Click()
{
    Beep();
    const int answer = MsgBox(QStringLiteral("Do you really want to tag all parts based on the minimum order quantities?"),
                              324, QStringLiteral("Confirm?"));
    WaitCursor hourglass;
    if (answer != Prompts::Yes)
        return;

    QStringList outOfRange;
    QString failure;
    bool nothingKept = false;
    Recordset* rs = Data1->recordset();
    if (rs && !rs->isClosed()) {
        // Each part is written as the run moves past it, all of them in one transaction: the disk
        // is synchronised once for the run instead of once for every part. A run that stops keeps
        // the parts written before the stop.
        std::optional<Connection::Transaction> run;
        try {
            run.emplace(*rs->connection());
        } catch (const DbError&) {
            // Without it, each part is its own transaction.
        }
        try {
            if (rs->recordCount() > 0)
                rs->moveFirst();
            // The parts are tagged in their order, each checked as it is left. The part on screen
            // is tagged through its boxes; the parts after it whose record check would pass
            // without a word are tagged where they are, once the part on screen has been left,
            // and the run shows the next part that needs the user. Only a view whose order
            // nothing changes (a query's) is read ahead.
            const bool readAhead = rs->kind() == Recordset::Kind::Dynaset;
            PartReader reader(*rs, PartReader::ForTagging);
            while (!rs->eof()) {
                tagCurrentPart(outOfRange);
                const int here = rs->absolutePosition();
                if (!readAhead || here < 0) {
                    rs->moveNext();
                    continue;
                }
                QList<QuietTag> quiet;
                int next = here + 1;
                for (const int count = rs->recordCount(); next < count; ++next) {
                    std::optional<QuietTag> tag = autoTagQuietly(reader.at(next));
                    if (!tag)
                        break;
                    quiet.append(std::move(*tag));
                }
                rs->moveToPosition(next);
                for (int k = 0; k < quiet.size(); ++k) {
                    if (!quiet[k].outOfRange.isEmpty())
                        outOfRange << quiet[k].outOfRange;
                    rs->writeAt(here + 1 + k, quiet[k].writes);
                }
            }
        } catch (const DbError& e) {
            failure = e.text();
        }
        if (run) {
            try {
                run->commit();
            } catch (const DbError& e) {
                if (failure.isEmpty())
                    failure = e.text();
                nothingKept = true;
            }
        }
    }
    if (!failure.isEmpty()) {
        ArrowCursor arrow;
        MsgBox(nothingKept ? QStringLiteral("Automatic tagging stopped: %1\rNo part has been tagged.").arg(failure)
                           : QStringLiteral("Automatic tagging stopped: %1\rThe parts before this one have been tagged.").arg(failure),
               48);
    }
    if (!outOfRange.isEmpty()) {
        ArrowCursor arrow;
        MsgBox(QStringLiteral("These parts were not tagged, because the quantity to order does not fit in 32767 packages:\r")
                   + outOfRange.join(u'\r'),
               48);
    }

    QString ignored;
    Data1->setRecordSource(QStringLiteral("select * from parts"));
    step(ignored, [&] { Data1->refresh(); });
    MnuShowTagged->setChecked(false);
    MnuShowNeeded->setChecked(false);
    MnuShowAll->setChecked(true);
    setListVisible(false);
    Command4->hide();
    setTaggedTotalVisible(false);
    MnuShowAll_Click();
}

// ================================================================ submitting tagged orders

OrderMath::OrderLine TagParts::currentOrderLine() const
{
    OrderMath::OrderLine line;
    for (int i = 0; i < 3; ++i) {
        line.partNumbers[i] = m_vendor[i].partNumber->text();
        line.orderQuantities[i] = m_vendor[i].orderQty->text();
        line.backOrders[i] = m_vendor[i].backOrder->text();
        line.defaults[i] = m_vendor[i].autoOrder->isChecked();
    }
    return line;
}

OrderMath::OrderLine TagParts::orderLineAt(int position) const
{
    OrderMath::OrderLine line;
    const Recordset* rs = Data1->recordset();
    auto text = [&](const QString& field) {
        return DataControl::formatValue(rs->valueAt(position, rs->fieldIndex(field)), BindFormat::General);
    };
    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        line.partNumbers[i] = text(QStringLiteral("Part Number %1").arg(n));
        line.orderQuantities[i] = text(QStringLiteral("Quantity Ordered %1").arg(n));
        line.backOrders[i] = text(QStringLiteral("Back Ordered %1").arg(n));
        const QVariant d = rs->valueAt(position, rs->fieldIndex(QStringLiteral("Default %1").arg(n)));
        line.defaults[i] = d.isValid() && d.toBool();
    }
    return line;
}

void TagParts::submitOrders(int vendor)
{
    const QString who = vendor == 0 ? QString() : QString::number(vendor);
    QString question, query, noTags;
    if (vendor == 0) {
        question = QStringLiteral("Are you sure you want to convert all tagged parts from all 3 vendor's into 3 submitted parts orders?")
            + u'\r'
            + QStringLiteral("By selecting yes, all tagged parts for all 3 vendor's will now be ready to be received in the Receive Parts screen");
        query = QStringLiteral("Select * from Parts where [Quantity Ordered 1] > 0 OR [Quantity Ordered 2] > 0 OR [Quantity Ordered 3] > 0");
        noTags = QStringLiteral("There are no parts tagged for order!");
    } else {
        question = QStringLiteral("Are you sure you want to convert all tagged parts from Vendor # %1 into a submitted parts order?").arg(who)
            + u'\r'
            + QStringLiteral("By selecting yes, all tagged parts for vendor # %1 will now be ready to be received in the Receive Parts screen").arg(who);
        query = QStringLiteral("Select * from Parts where [Quantity Ordered %1] > 0 ").arg(who);
        noTags = QStringLiteral("There are no vendor # %1 parts tagged for order!").arg(who);
    }

    Beep();
    if (MsgBox(question, 292, QStringLiteral("Confirm")) != Prompts::Yes)
        return;

    // A tag just typed into the part on screen is part of the order.
    try {
        Data1->update();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        return;
    }

    QString failure;
    step(failure, [&] { Data1->close(); });
    Data1->setRecordsetType(Recordset::Kind::Dynaset);
    Data1->setDatabaseName(InventoryDatabasePath());
    Data1->setRecordSource(query);
    step(failure, [&] { Data1->refresh(); });
    Recordset* rs = Data1->recordset();
    if (!failure.isEmpty() || !rs || rs->isClosed()) {
        MsgBox(QStringLiteral("The tagged parts could not be read: %1\rNothing has been submitted.").arg(failure), 48);
        returnToPartsTable();
        bringIntoAllPartsView();
        return;
    }

    if (rs->recordCount() <= 0) {
        MsgBox(noTags);
        returnToPartsTable();
        bringIntoAllPartsView();
        return;
    }

    // Every part is checked before any is changed: an order is submitted whole or not at all.
    QStringList refused;
    for (int pos = 0; pos < rs->recordCount(); ++pos) {
        const OrderMath::OrderLine line = orderLineAt(pos);
        const OrderMath::Submission s = OrderMath::submitPart(vendor, line);
        if (s.ok)
            continue;
        QString name;
        for (int i = 0; i < 3 && name.isEmpty(); ++i)
            if ((vendor == 0 || vendor == i + 1) && !line.partNumbers[i].isEmpty())
                name = line.partNumbers[i];
        if (name.isEmpty())
            name = DataControl::formatValue(rs->valueAt(pos, rs->fieldIndex(QStringLiteral("Description"))), BindFormat::General);
        refused << QStringLiteral("%1 (%2)").arg(name, s.problem);
    }
    if (!refused.isEmpty()) {
        MsgBox(QStringLiteral("Nothing has been submitted. These parts cannot be submitted:\r") + refused.join(u'\r')
                   + u'\r' + QStringLiteral("Please correct their quantities and try again."),
               48);
        returnToPartsTable();
        bringIntoAllPartsView();
        return;
    }

    // The whole run is one transaction: a failure on any part leaves every part as it was.
    const QString today = formatLongDate(QDate::currentDate());
    failure.clear();
    try {
        Connection::Transaction transaction(*rs->connection());
        rs->moveFirst();
        while (!rs->eof()) {
            const OrderMath::Submission s = OrderMath::submitPart(vendor, currentOrderLine());
            if (!s.ok)
                throw DbError(EngineError::General, s.problem);
            for (int i = 0; i < 3; ++i) {
                VendorRow& v = m_vendor[i];
                if (v.autoOrder->isChecked() != s.defaults[i])
                    v.autoOrder->setChecked(s.defaults[i]);
                if (v.backOrder->text() != s.backOrders[i])
                    v.backOrder->setText(s.backOrders[i]);
            }
            MaskEdBox1->setText(today);
            for (int i = 0; i < 3; ++i)
                if (vendor == 0 || vendor == i + 1)
                    m_vendor[i].orderQty->setText(QStringLiteral("0"));
            // A special price ends with the order it was negotiated for; another vendor's stays.
            for (int i = 0; i < 3; ++i)
                if (s.submitted[i])
                    m_vendor[i].specialPrice->setText(QStringLiteral("0"));
            rs->moveNext();   // writes the part
        }
        transaction.commit();
    } catch (const DbError& e) {
        failure = e.text();
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    if (!failure.isEmpty())
        MsgBox(QStringLiteral("The tagged parts could not be submitted: %1\rNothing has been submitted.").arg(failure), 48);

    QString ignored;
    step(ignored, [&] { Data1->refresh(); });
    RestorePartsDataSource(*Data1);
    if (!Data1->recordset())
        MsgBox(QStringLiteral("The parts could not be read again."), 48);
    bringIntoAllPartsView();
}

// ================================================================ purchase orders

void TagParts::printPurchaseOrder(int vendor)
{
    WaitCursor hourglass;
    // A tag just typed into the part on screen counts for the order.
    try {
        Data1->update();
    } catch (const DbError& e) {
        ArrowCursor arrow;
        MsgBox(e.text(), 48);
        return;
    }
    Data1->setRecordsetType(Recordset::Kind::Dynaset);

    ReportRequest request;
    request.letterFile = QStringLiteral("order%1.rpt").arg(vendor);
    request.hasA4Twin = true;
    request.placement = ReportPlacement::ProgramFolder;
    ReportPrecondition pre = ReportPrecondition::onQuery(
        QStringLiteral("Select * from Parts where [Quantity Ordered %1] > 0").arg(vendor),
        ReportNotice{QStringLiteral("There are no parts currently tagged for vendor # %1").arg(vendor), 0, QString(), false});
    pre.pointAtInventory = false;   // Data1 is on Inventory.mdb since the screen loaded
    pre.restore = nullptr;          // the screen returns to all parts itself, whatever happened
    request.precondition = pre;
    request.beforeRun = [this, vendor] {
        if (MsgBox(QStringLiteral("Do you want to modify any of the purchase order data such as the PO number?"), 4,
                   QStringLiteral("Purchase Order Information"))
            == Prompts::Yes) {
            ShowVendorInformation(vendor);
            // What was changed there (a discount too) is what this screen shows from now on.
            try {
                Data2->refresh();
            } catch (const DbError&) {
            }
        }
    };
    ReportLauncher(Data1, *CrystalReport1, request);

    // Back to all parts, whatever happened; "&Retrieve" stays as it was.
    QString ignored;
    Data1->setRecordSource(QStringLiteral("select * from parts"));
    step(ignored, [&] { Data1->refresh(); });
    showView(View::All);
    Command4->hide();
    setListVisible(false);
    setTaggedTotalVisible(false);
    step(ignored, [&] { Data1->close(); });
    Data1->setDatabaseName(InventoryDatabasePath());
    Data1->setRecordSource(QStringLiteral("Parts"));
    Data1->setRecordsetType(Recordset::Kind::Table);
    ignored.clear();
    if (!step(ignored, [&] { Data1->refresh(); })) {
        ArrowCursor arrow;
        MsgBox(ignored, 48);
    }
}
