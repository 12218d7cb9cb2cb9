#include "stock/ReceiveParts.h"

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
#include "stock/RecordGrid.h"
#include "stock/StockMath.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr int ClientHeight = 6480;
constexpr int NarrowWidth = 8235;
constexpr int WideWidth = 11400;
constexpr int AfterFullReceiptWidth = 8250;
// The window's width in twips includes its borders; the client area is this much narrower.
constexpr int BorderTwips = 120;
// Positions inside a tab count from the tab control's top-left, its tab headers included; the
// page that holds them starts below the headers.
constexpr int TabHeaderTwips = 360;
constexpr int TabFrameTwips = 30;

constexpr int ReceivedChars = 3;
constexpr int LocationChars = 15;

const int RowTops[3] = {2100, 2460, 2820};
const int ShowBackOrdersLefts[3] = {480, 3060, 5700};

const QString ShowBackOrdersTip = QStringLiteral("Click here to show a list of parts on backorder");
const QString FullReceiptTip = QStringLiteral("Click here to receive all parts that are on backorder");
const QString ShowAllTip = QStringLiteral("Click here to show all parts");
const QString ReceivedTip = QStringLiteral("Enter the number of parts you received");

const QString AllPartsSql = QStringLiteral("Select * from Parts");
const QString AllPartsAfterReceiptSql = QStringLiteral("select * from parts");

// Names of the boxes and labels on each tab (see the screen's layout).
struct TabNames {
    const char* partNumber[3];
    const char* package[3];
    const char* backOrder[3];
    const char* tagged[3];
    const char* received[3];
    const char* description;
    const char* location;
    const char* inStock;
    const char* vendorLabel[3];
    const char* heading;
    const char* taggedCaption;
    const char* descriptionCaption;
    const char* backOrderCaption;
    const char* inStockCaption;
    const char* partNumberCaption;
    const char* receivedCaption;
    const char* locationCaption;
    const char* packageCaption;
    const char* showBackOrders;
    const char* ok;
};

const TabNames Names[3] = {
    {{"Number1", "Number2", "Number3"}, {"Text42", "Text43", "Text44"}, {"Text7", "Text8", "Text9"},
     {"Text1", "Text2", "Text3"}, {"Text4", "Text5", "Text6"}, "Descript", "Text39", "Text10",
     {"Label2", "Label3", "Label4"}, "FirstVendr", "Label1", "Label5", "Backorder", "Label7", "Label6", "Label8",
     "Label9", "Label32", "Command1", "Command4"},
    {{"Text14", "Text15", "Text16"}, {"Text47", "Text46", "Text45"}, {"Text18", "Text19", "Text20"},
     {"Text13", "Text12", "Text11"}, {"Text22", "Text23", "Text24"}, "Text17", "Text40", "Text21",
     {"Label11", "Label12", "Label13"}, "Label19", "Label10", "Label14", "Label15", "Label16", "Label17", "Label18",
     "Label30", "Label33", "Command7", "Command5"},
    {{"Text28", "Text29", "Text30"}, {"Text50", "Text49", "Text48"}, {"Text32", "Text33", "Text34"},
     {"Text27", "Text26", "Text25"}, {"Text36", "Text37", "Text38"}, "Text31", "Text41", "Text35",
     {"Label21", "Label22", "Label23"}, "Label29", "Label20", "Label24", "Label25", "Label26", "Label27", "Label28",
     "Label31", "Label34", "Command3", "Command6"},
};

QString backOrderSql(int vendor)
{
    return QStringLiteral("Select * from Parts where [Back Ordered %1] >= 1 ORDER BY [Part Number %1] ASC").arg(vendor);
}

QString overReceiptText(int vendor)
{
    return vendor == 1 ? QStringLiteral("You can not receive more than is on backorder!")
                       : QStringLiteral("You can not receive more than is on backorder");
}

QString fullReceiptQuestion(int vendor)
{
    return QStringLiteral("Do you really want to receive all parts currently on backorder from vendor # %1 into your stock?")
        .arg(vendor);
}

QStringList receiveLabelNames()
{
    QStringList names;
    for (int i = 1; i <= 34; ++i)
        names << QStringLiteral("Label%1").arg(i);
    names << QStringLiteral("Backorder") << QStringLiteral("FirstVendr");
    return names;
}

void placeInTab(QWidget* w, int left, int top, int width, int height)
{
    placeTwips(w, left - TabFrameTwips, top - TabHeaderTwips, width, height);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                  int height, Qt::Alignment alignment = Qt::AlignCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(alignment);
    placeInTab(label, left, top, width, height);
    return label;
}

// A box that only shows its field: it takes no focus and no typing, and stays legible.
QLineEdit* makeBox(QWidget* parent, const char* name, int left, int top, int width, bool input)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAlignment(Qt::AlignCenter);
    placeInTab(box, left, top, width, 300);
    if (!input) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, QColor(240, 240, 240));
        box->setPalette(p);
    }
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setFont(arialFont(8.25, true));
    return button;
}

}  // namespace

// ---------------------------------------------------------------- the booking

Receipt bookReceipt(const QString& received, const QString& backOrder, const QString& package,
                    const QString& inStock)
{
    using namespace StockMath;
    Receipt r;
    if (received.trimmed().isEmpty())
        return r;
    const std::optional<double> count = parseNumber(received);
    if (!count) {
        r.status = Receipt::NotANumber;
        return r;
    }

    // Each stored value must be a whole number that fits before anything is compared.
    auto read = [&r](const QString& text, Receipt::Field field) -> std::optional<std::int16_t> {
        if (!parseNumber(text)) {
            r.status = Receipt::UnreadablePart;
            r.field = field;
            return std::nullopt;
        }
        const std::optional<std::int16_t> v = cint16(text);
        if (!v) {
            r.status = Receipt::OutOfRange;
            r.field = field;
        }
        return v;
    };

    const std::optional<std::int16_t> back = read(backOrder, Receipt::BackOrder);
    if (!back)
        return r;
    if (*count > *back) {
        r.status = Receipt::MoreThanBackOrder;
        return r;
    }
    // A count below 0 or a part of a package books nothing: the user is told and may type it again.
    double booked = *count;
    if (booked < 0) {
        r.negative = true;
        booked = 0;
    } else if (!isWholeCount(booked)) {
        r.fraction = true;
        booked = 0;
    }
    const std::optional<std::int16_t> packages = cint16(booked);   // between 0 and the back order
    const std::optional<std::int16_t> size = read(package, Receipt::Package);
    if (!size)
        return r;
    if (*packages > 0 && *size <= 0) {
        // Packages of no parts would clear the back order and bring nothing into stock.
        r.status = Receipt::NoPackageSize;
        r.field = Receipt::Package;
        return r;
    }
    const std::optional<std::int16_t> stock = read(inStock, Receipt::InStock);
    if (!stock)
        return r;

    const std::optional<std::int16_t> newBack = sub16(*back, *packages);
    const std::optional<std::int16_t> parts = mul16(*size, *packages);
    const std::optional<std::int16_t> newStock = parts ? add16(*stock, *parts) : std::nullopt;
    if (!newBack || !newStock) {
        r.status = Receipt::OutOfRange;
        r.field = newBack ? Receipt::InStock : Receipt::BackOrder;
        return r;
    }
    r.status = Receipt::Booked;
    r.received = *packages;
    r.backOrder = *newBack;
    r.inStock = *newStock;
    return r;
}

// ---------------------------------------------------------------- colours

ColorSchemeConfig receivePartsColorScheme()
{
    ColorSchemeConfig c;
    c.tableName = QStringLiteral("ReceiveColors");
    c.menuName = QStringLiteral("MnuReceiveModify");
    c.menuCaption = QStringLiteral("&Colors");

    const QStringList labels = receiveLabelNames();
    const QStringList grids = {QStringLiteral("SSDBGrid1"), QStringLiteral("SSDBGrid2"), QStringLiteral("SSDBGrid3")};
    const QString navigator = QStringLiteral("SSDBData1");

    bindScreenColors(c, navigator, labels, labels);
    for (const QString& g : grids) {
        c.bindings.append({QStringLiteral("SSDBGridBackColor"), g, ColorProperty::BackColor});
        c.bindings.append({QStringLiteral("SSDBGridForeColor"), g, ColorProperty::ForeColor});
    }
    for (const QString& g : grids) {
        c.bindings.append({QStringLiteral("SSDBGridEvenColor"), g, ColorProperty::EvenRowBackColor});
        c.bindings.append({QStringLiteral("SSDBGridOddColor"), g, ColorProperty::OddRowBackColor});
    }
    for (const QString& g : grids) {
        c.bindings.append({QStringLiteral("SSDBGridForeColor"), g, ColorProperty::EvenRowForeColor});
        c.bindings.append({QStringLiteral("SSDBGridForeColor"), g, ColorProperty::OddRowForeColor});
    }

    const ColorMenuItem background =
        screenBackgroundItem(QStringLiteral("MnuReceiveBackground"), QStringLiteral("&Background Color"), navigator, labels);
    const ColorMenuItem text = screenTextItem(QStringLiteral("MnuReceiveText"), QStringLiteral("&Text Color"), navigator, labels);

    const QString list = QStringLiteral("&List Window");
    ColorMenuItem listText;
    listText.name = QStringLiteral("MnuReceiveListText");
    listText.caption = QStringLiteral("Text Color");
    listText.submenu = list;
    for (const QString& g : grids) {
        listText.steps.append(ColorStep::apply(g, ColorProperty::OddRowForeColor));
        listText.steps.append(ColorStep::apply(g, ColorProperty::EvenRowForeColor));
    }
    listText.steps.append(ColorStep::store(QStringLiteral("SSDBGridForeColor")));

    ColorMenuItem listBack;
    listBack.name = QStringLiteral("MnuReceiveListBackground");
    listBack.caption = QStringLiteral("Background");
    listBack.submenu = list;
    applyColor(listBack.steps, grids, ColorProperty::BackColor);
    listBack.steps.append(ColorStep::store(QStringLiteral("SSDBGridBackColor")));

    ColorMenuItem first;
    first.name = QStringLiteral("MnuReceiveListFirstRow");
    first.caption = QStringLiteral("First Row");
    first.submenu = list;
    first.steps = {ColorStep::apply(grids[0], ColorProperty::EvenRowBackColor),
                   ColorStep::store(QStringLiteral("SSDBGridEvenColor"))};

    ColorMenuItem next;
    next.name = QStringLiteral("MnuReceiveListNextRow");
    next.caption = QStringLiteral("Next Row");
    next.submenu = list;
    next.steps = {ColorStep::apply(grids[0], ColorProperty::OddRowBackColor),
                  ColorStep::store(QStringLiteral("SSDBGridOddColor"))};

    c.items = {background, text, listText, listBack, first, next};
    c.popupControls = QStringList{QStringLiteral("SSTab1")} + grids;
    return c;
}

// ---------------------------------------------------------------- building

ReceiveParts::ReceiveParts(QWidget* parent)
    : PartsScreen(parent, {.name = QStringLiteral("ReceiveParts"),
                           .title = QStringLiteral("Receive Parts"),
                           .helpTopic = 720,
                           .activation = Activation::None,
                           .raisesMainWindow = true})
{
    Data2 = addDataControl(QStringLiteral("Data2"));
    Data3 = addColorScheme(QStringLiteral("Data3"), receivePartsColorScheme());
    build();
}

ReceiveParts::~ReceiveParts() = default;

void ReceiveParts::buildControls()
{
    QWidget* client = addClientArea();

    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    placeTwips(SSDBData1, 120, 140, 6195, 400);
    Command12 = makeButton(client, QStringLiteral("Command12"), QStringLiteral("Display"), QString());
    placeTwips(Command12, 6480, 140, 1512, 400);

    Command8 = makeButton(client, QStringLiteral("Command8"), QStringLiteral("&Full Receipt"), FullReceiptTip);
    Command10 = makeButton(client, QStringLiteral("Command10"), QStringLiteral("&Full Receipt"), FullReceiptTip);
    Command9 = makeButton(client, QStringLiteral("Command9"), QStringLiteral("&Full Receipt"), FullReceiptTip);
    for (QPushButton* b : {Command8, Command10, Command9}) {
        placeTwips(b, 8040, 140, 1512, 400);
        b->hide();
    }
    Command2 = makeButton(client, QStringLiteral("Command2"), QStringLiteral("Show &All Parts"), ShowAllTip);
    placeTwips(Command2, 9600, 140, 1512, 400);
    Command2->hide();

    SSTab1 = new QTabWidget(client);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    placeTwips(SSTab1, 120, 960, 7935, 4665);
    for (int n = 1; n <= 3; ++n)
        buildTab(n);

    const QList<RecordsetModel::Column> columns[3] = {
        {{QStringLiteral("Part Number 1"), {}, BindFormat::General}, {QStringLiteral("Date Ordered"), {}, BindFormat::ShortDate}},
        {{QStringLiteral("Part Number 2"), {}, BindFormat::General}, {QStringLiteral("Date Ordered"), {}, BindFormat::ShortDate}},
        {{QStringLiteral("Part Number 3"), {}, BindFormat::General}, {QStringLiteral("Date Ordered"), {}, BindFormat::ShortDate}},
    };
    RecordGrid** grids[3] = {&SSDBGrid1, &SSDBGrid2, &SSDBGrid3};
    for (int i = 0; i < 3; ++i) {
        auto* g = new RecordGrid(Data1, columns[i], client);
        g->setObjectName(QStringLiteral("SSDBGrid%1").arg(i + 1));
        g->setCaption(QStringLiteral("Back Orders"));
        g->placeTwips(8120, 960, 3075, 4650);
        g->setColumnWidth(0, twipsToPx(1260));
        g->hide();
        *grids[i] = g;
    }

    Command11 = makeButton(client, QStringLiteral("Command11"), QStringLiteral("E&xit"), QString());
    placeTwips(Command11, 3660, 5760, 1452, 432);

    const TabControls& t1 = m_tabs[0];
    const TabControls& t2 = m_tabs[1];
    const TabControls& t3 = m_tabs[2];
    Command1 = t1.showBackOrders; Command7 = t2.showBackOrders; Command3 = t3.showBackOrders;
    Command4 = t1.ok;             Command5 = t2.ok;             Command6 = t3.ok;
    Text4 = t1.received[0];   Text23 = t2.received[1];  Text38 = t3.received[2];
    Text7 = t1.backOrder[0];  Text19 = t2.backOrder[1]; Text34 = t3.backOrder[2];
    Text42 = t1.package[0];   Text46 = t2.package[1];   Text48 = t3.package[2];
    Text10 = t1.inStock;      Text21 = t2.inStock;      Text35 = t3.inStock;
    Text39 = t1.location;     Text40 = t2.location;     Text41 = t3.location;

    setDefaultButton(this, Command4);
    setCancelButton(this, Command11);
}

void ReceiveParts::buildTab(int vendor)
{
    const int v = vendor - 1;
    const TabNames& names = Names[v];
    TabControls& t = m_tabs[v];
    t.page = new QWidget;
    SSTab1->addTab(t.page, QStringLiteral("Vendor # %1").arg(vendor));
    QWidget* p = t.page;

    t.showBackOrders = makeButton(p, QString::fromLatin1(names.showBackOrders), QStringLiteral("Show Back &Orders"),
                                  ShowBackOrdersTip);
    placeInTab(t.showBackOrders, ShowBackOrdersLefts[v], 480, 1752, 372);

    t.heading = makeLabel(p, names.heading, QString(), 240, 1020, 7455, 420);
    t.heading->setFont(arialFont(12, true));

    makeLabel(p, names.partNumberCaption, QStringLiteral("Part Number"), 1500, 1740, 1500, 300);
    // Captions over the boxes, centred on them; a long caption reaches a little beyond its box.
    makeLabel(p, names.packageCaption, QStringLiteral("Pkg."), 3360, 1740, 760, 300);
    makeLabel(p, names.backOrderCaption, QStringLiteral("Back Ordered"), 4140, 1740, 1040, 300);
    makeLabel(p, names.taggedCaption, QStringLiteral("Tagged"), 5200, 1740, 820, 300);
    makeLabel(p, names.receivedCaption, QStringLiteral("Received"), 6240, 1740, 840, 300);

    for (int row = 0; row < 3; ++row) {
        const int top = RowTops[row];
        t.vendor[row] = makeLabel(p, names.vendorLabel[row], QString(), 120, top, 1320, 300,
                                  Qt::AlignLeft | Qt::AlignVCenter);
        t.vendor[row]->setFont(arialFont(8, true));
        t.vendor[row]->setIndent(twipsToPx(45));   // the make does not touch the edge of its box
        t.partNumber[row] = makeBox(p, names.partNumber[row], 1500, top, 1500, false);
        t.package[row] = makeBox(p, names.package[row], 3360, top, 800, false);
        t.backOrder[row] = makeBox(p, names.backOrder[row], 4260, top, 800, false);
        t.tagged[row] = makeBox(p, names.tagged[row], 5160, top, 900, false);
        t.received[row] = makeBox(p, names.received[row], 6360, top, 600, row == v);
    }
    QLineEdit* received = t.received[v];
    received->setToolTip(ReceivedTip);
    limitTyping(received, ReceivedChars);
    selectAllOnFocus(received);

    t.ok = makeButton(p, QString::fromLatin1(names.ok), QStringLiteral("O&K"), QString());
    placeInTab(t.ok, 7080, RowTops[v], 732, 312);

    makeLabel(p, names.descriptionCaption, QStringLiteral("Part Description"), 420, 3660, 3975, 240);
    makeLabel(p, names.locationCaption, QStringLiteral("Location"), 4680, 3660, 1872, 240);
    makeLabel(p, names.inStockCaption, QStringLiteral("Updated Instock"), 6660, 3660, 1200, 240);
    t.description = makeBox(p, names.description, 420, 3900, 3975, false);
    t.location = makeBox(p, names.location, 4680, 3900, 1872, true);
    t.inStock = makeBox(p, names.inStock, 6900, 3900, 840, false);
    upperCaseTyping(t.location, LocationChars);
    // A count too wide for its box (an older file's) is shown smaller, never as part of itself.
    for (int row = 0; row < 3; ++row)
        for (QLineEdit* count : {t.package[row], t.backOrder[row], t.tagged[row], t.received[row]})
            fitLineEditText(count, OutOfRangeMark);
    fitLineEditText(t.inStock, OutOfRangeMark);

    // Only the tab vendor's received box and the location box take input; tab order follows.
    QWidget::setTabOrder(received, t.ok);
    QWidget::setTabOrder(t.ok, t.location);
    QWidget::setTabOrder(t.location, t.showBackOrders);
}

void ReceiveParts::buildMenus()
{
    MnuReceiveModify = Data3->menu();
    menuBar()->addMenu(MnuReceiveModify);
    for (QMenu* sub : MnuReceiveModify->findChildren<QMenu*>())
        if (sub->title() == QStringLiteral("&List Window"))
            sub->setObjectName(QStringLiteral("MnuReceiveList"));
}

void ReceiveParts::bindControls()
{
    for (int v = 0; v < 3; ++v) {
        TabControls& t = m_tabs[v];
        for (int row = 0; row < 3; ++row) {
            const int n = row + 1;
            Data1->bind(t.partNumber[row], QStringLiteral("Part Number %1").arg(n));
            Data1->bind(t.package[row], QStringLiteral("Package %1").arg(n));
            Data1->bind(t.backOrder[row], QStringLiteral("Back Ordered %1").arg(n));
            Data1->bind(t.tagged[row], QStringLiteral("Quantity Ordered %1").arg(n));
            Data1->bind(t.received[row], QStringLiteral("Received %1").arg(n));
            Data2->bind(t.vendor[row], QStringLiteral("Vendor %1").arg(n));
        }
        Data1->bind(t.description, QStringLiteral("Description"));
        Data1->bind(t.location, QStringLiteral("Location"));
        Data1->bind(t.inStock, QStringLiteral("In Stock"));
        Data2->bind(t.heading, QStringLiteral("Name %1").arg(v + 1));
    }
    SSDBData1->setDataControl(Data1);
}

void ReceiveParts::wireHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &ReceiveParts::Command1_Click);
    connect(Command7, &QPushButton::clicked, this, &ReceiveParts::Command7_Click);
    connect(Command3, &QPushButton::clicked, this, &ReceiveParts::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &ReceiveParts::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &ReceiveParts::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ReceiveParts::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &ReceiveParts::Command6_Click);
    connect(Command8, &QPushButton::clicked, this, &ReceiveParts::Command8_Click);
    connect(Command10, &QPushButton::clicked, this, &ReceiveParts::Command10_Click);
    connect(Command9, &QPushButton::clicked, this, &ReceiveParts::Command9_Click);
    connect(Command12, &QPushButton::clicked, this, &ReceiveParts::Command12_Click);
    connect(Command11, &QPushButton::clicked, this, &ReceiveParts::Command11_Click);

    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });

    for (QLineEdit* box : {Text4, Text23, Text38})
        box->installEventFilter(this);

    // Before every save and move: a count typed and not booked is no receipt to store.
    connect(Data1, &DataControl::validate, this, &ReceiveParts::dropUnbookedReceipts);
    connect(Data1, &DataControl::reposition, this, &ReceiveParts::updateNavigatorCaption);
    connect(Data1, &DataControl::recordsetChanged, this, &ReceiveParts::updateNavigatorCaption);
}

// ---------------------------------------------------------------- loading and closing

void ReceiveParts::Form_Load()
{
    setWindowWidthTwips(NarrowWidth);
    // Centred vertically; across as well, so that the window is not pushed to an edge.
    centreOnScreen();
    SSTab1->setCurrentIndex(0);

    usePartsTable(*Data1);
    openInformation(*Data2);   // the vendor names and makes
    try {
        Data1->refresh();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    Data3->OpenColorScheme();
    Data3->install();
}

bool ReceiveParts::closeParts()
{
    // A location typed on the part is kept, as the part is left; a count typed and not booked is
    // no receipt and is not stored.
    dropUnbookedReceipts();
    return PartsScreen::closeParts();
}

void ReceiveParts::Command11_Click()
{
    close();
}

// ---------------------------------------------------------------- window size and views

void ReceiveParts::setWindowWidthTwips(int width)
{
    m_widthTwips = width;
    const int clientHeight = twipsToPx(ClientHeight);
    setFixedSize(twipsToPx(width - BorderTwips), clientHeight + menuBar()->sizeHint().height());
}

RecordGrid* ReceiveParts::grid(int vendor) const
{
    switch (vendor) {
    case 1: return SSDBGrid1;
    case 2: return SSDBGrid2;
    case 3: return SSDBGrid3;
    default: return nullptr;
    }
}

QPushButton* ReceiveParts::fullReceiptButton(int vendor) const
{
    switch (vendor) {
    case 1: return Command8;
    case 2: return Command10;
    case 3: return Command9;
    default: return nullptr;
    }
}

// A count typed into a received box and not booked is no receipt: it goes back to the stored
// value, so that a save made for another reason never stores it.
void ReceiveParts::dropUnbookedReceipts()
{
    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || !rs->hasCurrent())
        return;
    for (int n = 1; n <= 3; ++n) {
        QLineEdit* box = m_tabs[n - 1].received[n - 1];
        QString stored;
        try {
            stored = DataControl::formatValue(rs->value(QStringLiteral("Received %1").arg(n)), BindFormat::General);
        } catch (const DbError&) {
            continue;
        }
        // "0" is what a booking leaves; it is written whatever was stored.
        if (box->text() != stored && box->text() != QStringLiteral("0"))
            box->setText(stored);
    }
}

// Whatever was typed on the part (its location) is saved before the view is read again, which
// would otherwise drop it.
bool ReceiveParts::saveBeforeRequery()
{
    if (!hasPart())
        return true;
    dropUnbookedReceipts();
    try {
        Data1->update();
        return true;
    } catch (const DbError& e) {
        ++m_inRule;
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
        --m_inRule;
        return false;
    }
}

void ReceiveParts::requery()
{
    try {
        Data1->refresh();
    } catch (const DbError& e) {
        ++m_inRule;
        MsgBox(e.text(), 48);
        --m_inRule;
    }
}

void ReceiveParts::showBackOrders(int vendor)
{
    WaitCursor hourglass;
    ++m_inRule;
    saveBeforeRequery();
    Data1->setRecordSource(backOrderSql(vendor));
    int count = 0;
    try {
        Data1->refresh();
        count = Data1->recordset() ? Data1->recordset()->recordCount() : 0;
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    if (count == 0) {
        {
            ArrowCursor arrow;
            Beep();
            MsgBox(QStringLiteral("There are no parts on backorder for this vendor"));
        }
        Data1->setRecordSource(AllPartsSql);
        requery();
        --m_inRule;
        return;
    }
    grid(vendor)->show();
    setWindowWidthTwips(WideWidth);
    fullReceiptButton(vendor)->show();
    Command2->show();
    m_tabs[vendor - 1].showBackOrders->hide();
    m_listVendor = vendor;
    centreOnScreen();
    --m_inRule;
}

void ReceiveParts::Command2_Click()
{
    ++m_inRule;
    saveBeforeRequery();
    showAllParts();
    --m_inRule;
}

void ReceiveParts::showAllParts()
{
    for (int n = 1; n <= 3; ++n) {
        grid(n)->hide();
        fullReceiptButton(n)->hide();
        m_tabs[n - 1].showBackOrders->show();
    }
    Command2->hide();
    m_listVendor = 0;
    Data1->setRecordSource(AllPartsSql);
    requery();
    setWindowWidthTwips(NarrowWidth);
    centreOnScreen();
}

void ReceiveParts::SSTab1_Click()
{
    ++m_inRule;
    for (int n = 1; n <= 3; ++n)
        grid(n)->hide();
    saveBeforeRequery();
    showAllParts();
    QPushButton* oks[3] = {Command4, Command5, Command6};
    const int index = qBound(0, SSTab1->currentIndex(), 2);
    setDefaultButton(this, oks[index]);
    --m_inRule;
}

// ---------------------------------------------------------------- receiving

void ReceiveParts::pressOk(int vendor)
{
    QString failure;
    book(vendor, true, &failure);
}

ReceiveParts::Booking ReceiveParts::book(int vendor, bool interactive, QString* failure)
{
    if (!hasPart())
        return Booking::NothingDone;
    const TabControls& t = m_tabs[vendor - 1];
    QLineEdit* received = t.received[vendor - 1];
    QLineEdit* backOrder = t.backOrder[vendor - 1];
    QLineEdit* package = t.package[vendor - 1];
    QLineEdit* inStock = t.inStock;

    ++m_inRule;
    struct Leave { int& depth; ~Leave() { --depth; } } leave{m_inRule};

    auto refuse = [&](const QString& text, int style) {
        *failure = text;
        if (interactive)
            MsgBox(text, style);
        received->setText(QStringLiteral("0"));
        if (interactive) {
            received->setFocus(Qt::OtherFocusReason);
            received->selectAll();
        }
        return Booking::Refused;
    };

    const Receipt r = bookReceipt(received->text(), backOrder->text(), package->text(), inStock->text());
    auto fieldName = [vendor](Receipt::Field f) {
        switch (f) {
        case Receipt::BackOrder: return QStringLiteral("back order from vendor # %1").arg(vendor);
        case Receipt::Package: return QStringLiteral("package quantity for vendor # %1").arg(vendor);
        case Receipt::InStock: return QStringLiteral("count in stock");
        case Receipt::NoField: break;
        }
        return QString();
    };

    // A count below 0 or a part of a package is refused: the user is told, the box shows 0, and a
    // booking of nothing follows.
    const std::optional<double> typed = parseNumber(received->text());
    auto tellNotACount = [&] {
        // A count below 0 is told as this screen has always told it.
        if (!interactive
            || acceptCount(received, QString(), typed && *typed < 0 ? QStringLiteral("You can only enter positive numbers!") : QString(), 0))
            return;
        received->setFocus(Qt::OtherFocusReason);
        received->selectAll();
    };
    // A count of no packages books nothing whatever the part holds: when the part's values cannot
    // take a booking, there is nothing to refuse either.
    const bool noPackages = typed && (!isWholeCount(*typed) || *typed == 0);
    if (noPackages && (r.status == Receipt::UnreadablePart || r.status == Receipt::OutOfRange)) {
        tellNotACount();
        return Booking::NothingDone;
    }

    switch (r.status) {
    case Receipt::Nothing:
        return Booking::NothingDone;
    case Receipt::NotANumber:
        return refuse(QStringLiteral("\"%1\" is not a number. Please enter the number of packages you received.")
                          .arg(received->text()),
                      48);
    case Receipt::MoreThanBackOrder:
        return refuse(overReceiptText(vendor), 0);
    case Receipt::UnreadablePart:
        return refuse(QStringLiteral("Nothing was received: this part's %1 is empty or is not a number. "
                                     "Please correct it on the maintenance screen first.")
                          .arg(fieldName(r.field)),
                      48);
    case Receipt::NoPackageSize: {
        QString part = t.partNumber[vendor - 1]->text();
        if (part.isEmpty())
            part = t.description->text();
        // The list of a Full Receipt names the part itself.
        return refuse(QStringLiteral("Nothing was received%1: its package quantity for vendor # %2 is %3, so the parts "
                                     "received cannot be counted into your stock. Please enter the package quantity "
                                     "on the maintenance screen first.")
                          .arg(interactive && !part.isEmpty() ? QStringLiteral(" for part %1").arg(part) : QString())
                          .arg(vendor)
                          .arg(package->text()),
                      48);
    }
    case Receipt::OutOfRange:
        return refuse(QStringLiteral("Nothing was received: the %1 would go beyond %2, the largest number this "
                                     "screen can book.")
                          .arg(fieldName(r.field))
                          .arg(StockMath::Max16),
                      48);
    case Receipt::Booked:
        break;
    }

    tellNotACount();
    backOrder->setText(QString::number(r.backOrder));
    inStock->setText(QString::number(r.inStock));
    received->setText(QStringLiteral("0"));
    try {
        Data1->update();
    } catch (const DbError& e) {
        *failure = e.text();
        Data1->reloadBoundControls();
        if (interactive)
            MsgBox(QStringLiteral("The receipt could not be saved: %1").arg(e.text()), 48);
        return Booking::Refused;
    }
    requery();
    if (interactive)
        received->selectAll();
    return Booking::Saved;
}

void ReceiveParts::fullReceipt(int vendor)
{
    ++m_inRule;
    struct Leave { int& depth; ~Leave() { --depth; } } leave{m_inRule};
    Beep();
    if (MsgBox(fullReceiptQuestion(vendor), 324, QStringLiteral("Confirm?")) != Prompts::Yes)
        return;

    WaitCursor hourglass;
    const TabControls& t = m_tabs[vendor - 1];
    // Every listed part once, in list order: a part whose booking is refused stays listed and is
    // passed over, so the receipt always comes to an end.
    QList<Bookmark> parts;
    if (Recordset* rs = Data1->recordset(); rs && !rs->isClosed()) {
        try {
            for (rs->moveFirst(); !rs->eof(); rs->moveNext())
                parts << rs->bookmark();
            if (rs->recordCount() > 0)
                rs->moveFirst();
        } catch (const DbError&) {
        }
    }
    QStringList refused;
    for (const Bookmark part : std::as_const(parts)) {
        Recordset* rs = Data1->recordset();
        if (!rs || rs->isClosed())
            break;
        try {
            rs->setBookmark(part);
        } catch (const DbError&) {
            continue;   // gone from the list meanwhile
        }
        if (!rs->hasCurrent())
            continue;
        const QString number = t.partNumber[vendor - 1]->text();
        t.received[vendor - 1]->setText(t.backOrder[vendor - 1]->text());
        QString failure;
        if (book(vendor, false, &failure) == Booking::Refused)
            refused << QStringLiteral("%1: %2").arg(number.isEmpty() ? QStringLiteral("(no part number)") : number,
                                                   failure);
    }

    Data1->setRecordSource(AllPartsAfterReceiptSql);
    requery();
    grid(vendor)->hide();
    fullReceiptButton(vendor)->hide();
    t.showBackOrders->show();
    m_listVendor = 0;
    setWindowWidthTwips(AfterFullReceiptWidth);
    centreOnScreen();

    if (!refused.isEmpty()) {
        ArrowCursor arrow;
        MsgBox(QStringLiteral("These parts could not be received and are still on backorder:\r\r%1")
                   .arg(refused.join(u'\r')),
               48);
    }
}

// ---------------------------------------------------------------- images

void ReceiveParts::Command12_Click()
{
    PartImagesWindow::ShowPartImages(Data1, PartImagesMember::receiving(), this);
}

// ---------------------------------------------------------------- events

bool ReceiveParts::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    const int vendor = box == Text4 ? 1 : box == Text23 ? 2 : box == Text38 ? 3 : 0;
    if (vendor == 0)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusOut: {
        // A message box or a menu taking the focus is not a leaving of the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_inRule > 0 || isUnloaded())
            break;
        QString failure;
        book(vendor, true, &failure);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            box->selectAll();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void ReceiveParts::updateNavigatorCaption()
{
    SSDBData1->setCaption(partPositionCaption(Data1->recordset()));   // no part is ever added here
}
