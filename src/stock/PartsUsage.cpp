#include "stock/PartsUsage.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/Values.h"
#include "parts/PartImagesWindow.h"
#include "parts/PartsFonts.h"
#include "parts/ScreenBuilding.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "reports/ReportControl.h"
#include "reports/ReportLauncher.h"
#include "stock/RecordGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

constexpr int ClientWidth = 8640;
// The window's height in twips includes its caption, menu bar and borders: 43 pixels at 96 dpi
// (an 18-pixel caption, a 19-pixel menu bar and 3-pixel borders), the frame the heights were
// drawn for. What is left is the client area, so that after "&OK" (4290) the compact "E&xit" still
// stands wholly inside the window with a few pixels to spare.
constexpr int NonClientTwips = 645;
constexpr int LoadHeight = 4305;
constexpr int CompactHeight = 4455;
constexpr int EnlargedHeight = 7650;
constexpr int AfterOkHeight = 4290;

constexpr int CountChars = 3;

const QString UsageSql = QStringLiteral("Select * from PartsUsage Where [Record Number] = ");
const QString GraphFormula = QStringLiteral("{PartsUsage.Record Number} =");

QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                     int height)
{
    QGroupBox* frame = frameAt(parent, name, caption, left, top, width, height);
    // The caption keeps its own colour: white on the frame's panel colour.
    QPalette p = frame->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    frame->setPalette(p);
    return frame;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                        int width, int height = 345)
{
    QPushButton* button = buttonAt(parent, name, caption, QString(), left, top, width, height);
    button->setFont(arialFont(8.25, true));
    return button;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QString& tip, int left, int top, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(arialFont(9.75, true));
    placeTwips(box, left, top, width, 360);
    return box;
}

// What each use took from the count is kept beside its quantity, in a column of its own that the
// usage table gets the first time a use is stored on it: the table's shape stays the one every
// file, report and older copy knows until then. A row with nothing there took its whole quantity.
void ensureTakenColumn(Connection& conn)
{
    const std::shared_ptr<const TableInfo> table = conn.table(QStringLiteral("PartsUsage"));
    if (table && table->columnIndex(QStringLiteral("Taken")) < 0)
        conn.execute(QStringLiteral("ALTER TABLE PartsUsage ADD COLUMN [Taken] DOUBLE"));
}

double numberOrZero(const Statement& st, int column)
{
    return st.isNull(column) ? 0.0 : st.value(column).toDouble();
}

}  // namespace

UsageCount usageNewCount(double inStock, double used)
{
    // A count found below zero (an older file's) has nothing to give.
    const double before = std::max(0.0, inStock);
    const double after = std::max(0.0, before - used);
    return {after, before - after};
}

UsageCount usageChangedCount(double inStock, double usedBefore, double takenBefore, double used)
{
    takenBefore = std::min(takenBefore, usedBefore);   // a use never took more than it asked for
    if (used > usedBefore) {
        // The more asked for is taken from the count as it is now, as far as it goes.
        const double more = std::min(used - usedBefore, std::max(0.0, inStock));
        return {inStock - more, takenBefore + more};
    }
    // Less: what the use never took (the count was short) is given up first; of what it really
    // took, only what the new quantity no longer needs goes back.
    const double taken = std::min(used, takenBefore);
    return {inStock + (takenBefore - taken), taken};
}

// ---------------------------------------------------------------- colours

ColorSchemeConfig partsUsageColorScheme()
{
    ColorSchemeConfig c;
    c.tableName = QStringLiteral("UsageColors");
    c.menuName = QStringLiteral("MnuUsageColors");
    c.menuCaption = QStringLiteral("&Colors");

    const QStringList textLabels = labelNames({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 21, 23});
    const QStringList backLabels = labelNames({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 20, 21, 23});
    const QStringList checks = {QStringLiteral("SSCheck1"), QStringLiteral("SSCheck2")};
    QStringList frames;
    for (int i = 1; i <= 6; ++i)
        frames << QStringLiteral("SSFrame%1").arg(i);
    const QString navigator = QStringLiteral("SSDBData1");
    const QString grid = QStringLiteral("SSDBGrid2");

    bindScreenColors(c, navigator, textLabels + checks, backLabels + checks);
    bindListColors(c, grid);
    bindColor(c, QStringLiteral("LabelBackColor"), frames, ColorProperty::BackColor);

    // The list items show the list first and afterwards relist it in the enlarged window; the
    // pre- and post-steps are the screen's own and are filled in when the screen builds its scheme.
    const QString list = QStringLiteral("List Window");
    c.items = {
        screenBackgroundItem(QStringLiteral("MnuUsageBackground"), QStringLiteral("Background Colors"), navigator,
                             labelNames({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14}) + checks + frames),
        screenTextItem(QStringLiteral("MnuUsageText"), QStringLiteral("Text Color"), navigator,
                       labelNames({1, 2, 3, 4, 5, 6, 8}) + checks),
        listColorItem(QStringLiteral("MnuUsageListText"), QStringLiteral("Text Color"), list,
                      QStringLiteral("SSDBGridForeColor"), grid,
                      {ColorProperty::EvenRowForeColor, ColorProperty::OddRowForeColor}),
        listColorItem(QStringLiteral("MnuUsageListBackground"), QStringLiteral("Background"), list,
                      QStringLiteral("SSDBGridBackColor"), grid, {ColorProperty::BackColor}),
        listColorItem(QStringLiteral("MnuUsageListFirst"), QStringLiteral("First Row"), list,
                      QStringLiteral("SSDBGridEvenColor"), grid, {ColorProperty::EvenRowBackColor}),
        listColorItem(QStringLiteral("MnuUsageListNext"), QStringLiteral("Next Row"), list,
                      QStringLiteral("SSDBGridOddColor"), grid, {ColorProperty::OddRowBackColor}),
    };
    return c;
}

// ---------------------------------------------------------------- building

// The screen stands on its first part as soon as it shows, so that a command given right after
// opening it (the main window's one-part usage) finds that part.
PartsUsage::PartsUsage(QWidget* parent)
    : PartsScreen(parent, {.name = QStringLiteral("PartsUsage"),
                           .title = QStringLiteral("Use Parts"),
                           .helpTopic = 630,
                           .activation = Activation::EveryShow})
{
    Data2 = addDataControl(QStringLiteral("Data2"));
    Data3 = addDataControl(QStringLiteral("Data3"));

    // The list items of the colour menu show the list and relist it afterwards.
    ColorSchemeConfig colors = partsUsageColorScheme();
    for (ColorMenuItem& item : colors.items) {
        if (item.submenu.isEmpty())
            continue;
        item.pre = [this] { SSDBGrid2->show(); };
        item.post = [this] { Command3->click(); };
    }
    Data4 = addColorScheme(QStringLiteral("Data4"), colors);
    CrystalReport1 = ReportControl::create();
    build();
}

PartsUsage::~PartsUsage() = default;

void PartsUsage::buildControls()
{
    QWidget* client = addClientArea();

    SSFrame2 = makeFrame(client, QStringLiteral("SSFrame2"), QStringLiteral("Part Number"), 120, 60, 8400, 1020);
    QLabel** makes[3] = {&Label12, &Label13, &Label14};
    QLabel** numbers[3] = {&Label1, &Label2, &Label3};
    for (int i = 0; i < 3; ++i) {
        const int left = 120 + i * 2760;
        QLabel* make = labelAt(SSFrame2, QStringLiteral("Label%1").arg(12 + i), QString(), left, 270, 2640, 255,
                               Qt::AlignCenter);
        QPalette white = make->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        make->setPalette(white);
        make->setFont(arialFont(8, true));
        *makes[i] = make;
        QLabel* number = labelAt(SSFrame2, QStringLiteral("Label%1").arg(1 + i), QString(), left, 570, 2640, 345,
                                 Qt::AlignCenter);
        number->setFont(arialFont(11, true));
        *numbers[i] = number;
    }

    SSFrame3 = makeFrame(client, QStringLiteral("SSFrame3"), QStringLiteral("Description"), 120, 1140, 4200, 630);
    Label4 = labelAt(SSFrame3, QStringLiteral("Label4"), QString(), 120, 255, 3960, 300);
    Label4->setFont(arialFont(9.75, true));
    SSFrame4 = makeFrame(client, QStringLiteral("SSFrame4"), QStringLiteral("Location"), 4440, 1140, 2040, 630);
    Label5 = labelAt(SSFrame4, QStringLiteral("Label5"), QString(), 120, 255, 1800, 300, Qt::AlignCenter);
    Label5->setFont(arialFont(9.75, true));
    SSFrame6 = makeFrame(client, QStringLiteral("SSFrame6"), QStringLiteral("Instock"), 6600, 1140, 1920, 630);
    Label8 = labelAt(SSFrame6, QStringLiteral("Label8"), QString(), 120, 255, 1680, 300, Qt::AlignCenter);
    Label8->setFont(arialFont(9.75, true));
    SSFrame5 = makeFrame(client, QStringLiteral("SSFrame5"), QStringLiteral("Notes"), 120, 1830, 8400, 630);
    Label6 = labelAt(SSFrame5, QStringLiteral("Label6"), QString(), 120, 255, 8160, 300);

    Label10 = labelAt(client, QStringLiteral("Label10"), QString(), 7800, 2520, 600, 255);
    Label10->hide();

    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    SSDBData1->setCaption(QStringLiteral("Parts"));
    placeTwips(SSDBData1, 120, 2580, 4200, 420);

    SSCheck2 = new QCheckBox(QStringLiteral("Keep &Visible"), client);
    SSCheck2->setObjectName(QStringLiteral("SSCheck2"));
    SSCheck2->setToolTip(QStringLiteral("Click here to keep this screen visible"));
    SSCheck2->setAutoFillBackground(true);
    placeTwips(SSCheck2, 4440, 2550, 1920, 270);
    SSCheck1 = new QCheckBox(QStringLiteral("Always Re&fresh"), client);
    SSCheck1->setObjectName(QStringLiteral("SSCheck1"));
    SSCheck1->setToolTip(QStringLiteral("Click here to alway refresh the usage screen"));
    SSCheck1->setAutoFillBackground(true);
    placeTwips(SSCheck1, 4440, 2850, 1920, 270);
    SSCheck1->setEnabled(false);

    Command2 = makeButton(client, QStringLiteral("Command2"), QStringLiteral("&Use This Part"), 120, 3237, 1500);
    Command3 = makeButton(client, QStringLiteral("Command3"), QStringLiteral("&Show Usage"), 1680, 3237, 1320);
    Command4 = makeButton(client, QStringLiteral("Command4"), QStringLiteral("Re&fresh"), 3060, 3237, 1020);
    Command8 = makeButton(client, QStringLiteral("Command8"), QStringLiteral("&Retrieve"), 4140, 3237, 1200);
    SSCommand7 = makeButton(client, QStringLiteral("SSCommand7"), QStringLiteral("&Display"), 5400, 3237, 1200);
    Command6 = makeButton(client, QStringLiteral("Command6"), QStringLiteral("E&xit"), 7027, 3237, 1380);

    // Below the compact window: the entry frame, the list and its commands.
    SSFrame1 = makeFrame(client, QStringLiteral("SSFrame1"), QString(), 120, 3720, 3000, 2700);
    Label20 = labelAt(SSFrame1, QStringLiteral("Label20"), QStringLiteral("Using How Many?"), 120, 240, 1500, 300);
    Text1 = makeBox(SSFrame1, QStringLiteral("Text1"), QStringLiteral("Enter the quantity parts you are using"), 1680, 210, 1260);
    Label21 = labelAt(SSFrame1, QStringLiteral("Label21"), QStringLiteral("Lane Number"), 120, 690, 1500, 300);
    Text2 = makeBox(SSFrame1, QStringLiteral("Text2"), QStringLiteral("Enetr the lane number you will install this part on"),
                    1680, 660, 1260);
    Label23 = labelAt(SSFrame1, QStringLiteral("Label23"), QStringLiteral("Date Used  "), 120, 1140, 1500, 300);
    Text3 = makeBox(SSFrame1, QStringLiteral("Text3"), QStringLiteral("enter the date. Month, Day, Year"), 1680, 1110, 1260);
    Label7 = labelAt(SSFrame1, QStringLiteral("Label7"), QStringLiteral("MM/DD/YY"), 1680, 1500, 1260, 255, Qt::AlignCenter);
    Label7->hide();
    Command1 = makeButton(SSFrame1, QStringLiteral("Command1"), QStringLiteral("&OK"), 900, 2010, 1200, 420);
    Command1->hide();
    Label9 = labelAt(SSFrame1, QStringLiteral("Label9"), QString(), 120, 2100, 600, 255);
    Label9->hide();
    SSFrame1->hide();
    limitTyping(Text1, CountChars);
    limitTyping(Text2, CountChars);
    selectAllOnFocus(Text3);

    SSDBGrid2 = new RecordGrid(Data2,
                               {{QStringLiteral("Used"), QStringLiteral("Quantity"), BindFormat::General},
                                {QStringLiteral("Lane Number"), QStringLiteral("Lane #"), BindFormat::General},
                                {QStringLiteral("Date Used"), QStringLiteral("Date "), BindFormat::ShortDate}},
                               client);
    SSDBGrid2->setObjectName(QStringLiteral("SSDBGrid2"));
    SSDBGrid2->setCaption(QStringLiteral("Parts Used"));
    SSDBGrid2->setToolTip(QStringLiteral("By holding the <SHIFT> key, you can select multiple rows."));
    SSDBGrid2->placeTwips(3240, 3720, 5280, 2700);
    SSDBGrid2->setColumnWidth(0, twipsToPx(1200));
    SSDBGrid2->setColumnWidth(1, twipsToPx(1200));
    SSDBGrid2->hide();

    Command5 = makeButton(client, QStringLiteral("Command5"), QStringLiteral("&Edit"), 120, 6536, 1320);
    Command5->hide();
    Command7 = makeButton(client, QStringLiteral("Command7"), QStringLiteral("&Graph Usage"), 1560, 6536, 1560);
    Command7->hide();

    setDefaultButton(this, Command1);
    setCancelButton(this, Command6);

    // The Tab key reads the window top down: the boxes, the commands, the entry frame and the
    // list when they show, and "E&xit" last wherever it stands.
    QWidget* order[] = {SSCheck2, SSCheck1, Command2, Command3, Command4, Command8, SSCommand7, Text1, Text2,
                        Text3, Command1, SSDBGrid2, Command5, Command7, Command6};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void PartsUsage::buildMenus()
{
    MnuUsePartVendor = menuBar()->addMenu(QStringLiteral("S&ort"));
    MnuUsePartVendor->setObjectName(QStringLiteral("MnuUsePartVendor"));
    MnuUsePartVendor1 = MnuUsePartVendor->addAction(QStringLiteral("Vendor # &1"));
    MnuUsePartVendor1->setObjectName(QStringLiteral("MnuUsePartVendor1"));
    MnuUsePartVendor2 = MnuUsePartVendor->addAction(QStringLiteral("Vendor # &2"));
    MnuUsePartVendor2->setObjectName(QStringLiteral("MnuUsePartVendor2"));
    MnuUsePartVendor3 = MnuUsePartVendor->addAction(QStringLiteral("Vendor # &3"));
    MnuUsePartVendor3->setObjectName(QStringLiteral("MnuUsePartVendor3"));
    MnuUsageColors = Data4->menu();
    menuBar()->addMenu(MnuUsageColors);
    for (QMenu* sub : MnuUsageColors->findChildren<QMenu*>())
        if (sub->title() == QStringLiteral("List Window"))
            sub->setObjectName(QStringLiteral("MnuUsageList"));
    setHelpContext(MnuUsePartVendor, 710);
}

void PartsUsage::bindControls()
{
    Data1->bind(Label1, QStringLiteral("Part Number 1"));
    Data1->bind(Label2, QStringLiteral("Part Number 2"));
    Data1->bind(Label3, QStringLiteral("Part Number 3"));
    Data1->bind(Label4, QStringLiteral("Description"));
    Data1->bind(Label5, QStringLiteral("Location"));
    Data1->bind(Label6, QStringLiteral("Part Memo"));
    Data1->bind(Label8, QStringLiteral("In Stock"));
    Data1->bind(Label10, QStringLiteral("Record Number"));
    Data3->bind(Label12, QStringLiteral("Vendor 1"));
    Data3->bind(Label13, QStringLiteral("Vendor 2"));
    Data3->bind(Label14, QStringLiteral("Vendor 3"));
    Data2->bind(Text1, QStringLiteral("Used"));
    Data2->bind(Text2, QStringLiteral("Lane Number"));
    Data2->bind(Text3, QStringLiteral("Date Used"), BindFormat::ShortDate);
    Data2->bind(Label9, QStringLiteral("Record Number"));
    SSDBData1->setDataControl(Data1);
}

void PartsUsage::wireHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &PartsUsage::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PartsUsage::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &PartsUsage::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PartsUsage::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &PartsUsage::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &PartsUsage::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &PartsUsage::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &PartsUsage::Command8_Click);
    connect(SSCommand7, &QPushButton::clicked, this, &PartsUsage::SSCommand7_Click);
    // Ticked or cleared, by the user or by the main window's one-part command.
    connect(SSCheck2, &QCheckBox::toggled, this, &PartsUsage::SSCheck2_Click);
    connect(MnuUsePartVendor1, &QAction::triggered, this, &PartsUsage::MnuUsePartVendor1_Click);
    connect(MnuUsePartVendor2, &QAction::triggered, this, &PartsUsage::MnuUsePartVendor2_Click);
    connect(MnuUsePartVendor3, &QAction::triggered, this, &PartsUsage::MnuUsePartVendor3_Click);
    connect(Data1, &DataControl::reposition, this, &PartsUsage::Data1_Reposition);
    connect(Data2, &DataControl::reposition, this, &PartsUsage::Data2_Reposition);
    connect(Data2, &DataControl::recordsetChanged, this, &PartsUsage::updateRowCommands);
    connect(SSDBData1, &DataNavigator::clicked, this, &PartsUsage::SSDBData1_AfterClick);
    for (QLineEdit* box : {Text1, Text2, Text3})
        box->installEventFilter(this);
}

// ---------------------------------------------------------------- loading, activation, closing

void PartsUsage::Form_Load()
{
    setWindowHeightTwips(LoadHeight);
    centreOnScreen();
    usePartsTable(*Data1);
    // The uses are read when a part's list is first asked for; until then nothing is listed.
    Data2->setDatabaseName(InventoryDatabasePath());
    Data2->setRecordSource(QStringLiteral("PartsUsage"));
    Data2->setRecordsetType(Recordset::Kind::Dynaset);
    openInformation(*Data3);   // the vendor makes
    Data4->OpenColorScheme();
    Data4->install();
}

void PartsUsage::Form_Activate()
{
    if (!firstActivation())
        return;
    reopenParts(QStringLiteral("inv1"));
}

void PartsUsage::reopenParts(const QString& index)
{
    try {
        Data1->close();
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
        return;
    }
    try {
        openPartsTable(*Data1, index);
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
}

void PartsUsage::Command6_Click()
{
    close();
}

bool PartsUsage::closeParts()
{
    // A use being entered and not confirmed with "&OK" is not stored.
    endEntry();
    return PartsScreen::closeParts();
}

// ---------------------------------------------------------------- window size

void PartsUsage::setWindowHeightTwips(int height)
{
    m_heightTwips = height;
    setFixedSize(twipsToPx(ClientWidth), twipsToPx(height - NonClientTwips) + menuBar()->sizeHint().height());
}

void PartsUsage::enlarge()
{
    setWindowHeightTwips(EnlargedHeight);
    centreOnScreen();
    placeTwips(Command6, 6545, 6536, 1380, 345);
}

void PartsUsage::compact(int height)
{
    setWindowHeightTwips(height);
    SSDBGrid2->hide();
    placeTwips(Command6, 7027, 3237, 1380, 345);
    centreOnScreen();
}

// ---------------------------------------------------------------- the part and its uses

std::optional<qint64> PartsUsage::currentPart() const
{
    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || !rs->hasCurrent())
        return std::nullopt;
    try {
        const QVariant v = rs->value(QStringLiteral("Record Number"));
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        if (v.isNull() || !ok)
            return std::nullopt;
        return n;
    } catch (const DbError&) {
        return std::nullopt;
    }
}

bool PartsUsage::listIsCurrentPart() const
{
    const std::optional<qint64> part = currentPart();
    return part && m_listedPart == part;
}

bool PartsUsage::isEntering() const
{
    return m_entry != Entry::None;
}

// Lists the current part's uses ("&Show Usage" steps 3 and 4). With no part, nothing is listed.
void PartsUsage::listUsage()
{
    const std::optional<qint64> part = currentPart();
    if (!part) {
        endEntry();
        Data2->close();
        m_listedPart.reset();
        SSDBGrid2->setCaption(QStringLiteral("Parts Used"));
        updateRowCommands();
        return;
    }
    if (m_entry != Entry::None)
        endEntry();   // re-reading the list drops the row being entered
    Data2->setRecordSource(UsageSql + QString::number(*part));
    m_listedPart = part;
    try {
        Data2->refresh();
    } catch (const DbError& e) {
        m_listedPart.reset();
        MsgBox(e.text(), 48);
    }
    SSDBGrid2->setCaption(Label4->text());
    updateRowCommands();
}

// Ends an entry without "&OK": the row being added or edited is left as it is stored.
void PartsUsage::endEntry()
{
    if (Recordset* rs = Data2->recordset(); rs && !rs->isClosed() && rs->editMode() != Recordset::EditMode::None)
        rs->cancelUpdate();
    if (Data2->hasPendingChanges())
        Data2->reloadBoundControls();
    m_entry = Entry::None;
    SSFrame1->hide();
    Label7->hide();
    Command1->hide();
    SSDBGrid2->setHoldRow(false);
    updateRowCommands();
}

// "&Edit" and "&Graph Usage" act on the listed uses, so they show only while the list holds uses
// of the part on screen (never another part's, listed before a move).
void PartsUsage::updateRowCommands()
{
    const Recordset* rs = Data2->recordset();
    const bool rows = rs && !rs->isClosed() && rs->recordCount() >= 1 && listIsCurrentPart();
    Command5->setVisible(rows);
    Command7->setVisible(rows);
}

void PartsUsage::Data1_Reposition()
{
    endEntry();
    if (!SSCheck2->isChecked())
        compact(CompactHeight);
    if (SSCheck1->isChecked())
        listUsage();
    updateRowCommands();
}

void PartsUsage::Data2_Reposition()
{
    updateRowCommands();
}

void PartsUsage::Command3_Click()
{
    enlarge();
    SSDBGrid2->show();
    listUsage();
}

void PartsUsage::Command4_Click()
{
    SSDBGrid2->show();
    listUsage();
}

void PartsUsage::Command2_Click()
{
    const std::optional<qint64> part = currentPart();
    if (!part)
        return;   // a use needs a part to belong to
    enlarge();
    SSFrame1->show();
    SSDBGrid2->show();
    listUsage();
    Recordset* rs = Data2->recordset();
    if (!rs || rs->isClosed() || !listIsCurrentPart()) {
        endEntry();
        return;
    }
    try {
        rs->addNew();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        endEntry();
        return;
    }
    Label9->setText(Label10->text());
    m_entry = Entry::New;
    SSFrame1->show();
    SSDBGrid2->setHoldRow(true);   // the row being entered stays the list's current row
    Command1->hide();
    Text1->setFocus(Qt::OtherFocusReason);
}

void PartsUsage::Command5_Click()
{
    Recordset* rs = Data2->recordset();
    if (!rs || rs->isClosed() || !listIsCurrentPart())
        return;
    if (rs->editMode() != Recordset::EditMode::Adding) {
        if (!rs->hasCurrent())
            return;
        m_editedRow = rs->bookmark();
        m_entry = Entry::Edit;
    }
    SSFrame1->show();
    Command1->show();
    SSDBGrid2->setHoldRow(true);
    Text1->setFocus(Qt::OtherFocusReason);
}

void PartsUsage::Command1_Click()
{
    Recordset* rs = Data2->recordset();
    const std::optional<qint64> part = currentPart();
    if (m_entry == Entry::None || !rs || rs->isClosed() || !part)
        return;
    ++m_inRule;
    struct Leave { int& depth; ~Leave() { --depth; } } leave{m_inRule};

    // The box rules, in case the boxes were never left.
    Text1_LostFocus();
    Text2_LostFocus();
    if (Text3->text().isEmpty())
        Text3->setText(formatShortDate(QDate::currentDate()));
    const std::optional<UseEntry> use = entryTyped();
    if (!use)
        return;

    // A change waiting on the part itself is saved through the part's own save first, so that the
    // use's transaction holds the use and its count only, and a use that fails does not take that
    // change with it. (The part's fields on this screen are read-only: normally nothing waits.)
    qint64 stored = 0;
    try {
        Data1->update();
        stored = storeUse(*part, *use, m_entry == Entry::Edit ? m_editedRow : std::nullopt);
    } catch (const DbError& e) {
        // The entry stays as typed, to be confirmed again or left.
        MsgBox(QStringLiteral("This use could not be saved: %1\rNothing has been stored.").arg(e.text()), 48);
        return;
    }
    Data1->reloadBoundControls();   // the count as stored

    endEntry();
    if (!SSCheck2->isChecked())
        compact(AfterOkHeight);
    // The list shows the use as stored, and stands on it.
    listUsage();
    if (Recordset* list = Data2->recordset(); list && !list->isClosed()) {
        try {
            list->setBookmark(stored);
        } catch (const DbError&) {
        }
    }
    updateRowCommands();
}

// The quantity, lane and date typed, or nothing after telling the user what is wrong.
std::optional<PartsUsage::UseEntry> PartsUsage::entryTyped()
{
    auto refuse = [this](QLineEdit* box, const QString& message) {
        MsgBox(message, 48);
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        return std::nullopt;
    };
    UseEntry use;
    if (const std::optional<double> used = wholeCount(Text1->text()))
        use.used = *used;
    else
        return refuse(Text1, QStringLiteral("Please enter how many parts you are using as a whole number of 0 or more."));
    if (const std::optional<double> lane = wholeCount(Text2->text()))
        use.lane = *lane;
    else
        return refuse(Text2, QStringLiteral("Please enter the lane number as a whole number of 0 or more. "
                                            "Enter 0 for a part that is not used on a lane."));
    if (const std::optional<QDate> date = parseUsDate(Text3->text()))
        use.date = *date;
    else
        return refuse(Text3, QStringLiteral("\"%1\" is not a date. Please type the date as month/day/year, for example %2.")
                                 .arg(Text3->text(), formatShortDate(QDate::currentDate())));
    return use;
}

// Stores a new use of the part, or the changes to the stored use `row`, together with the part's
// new count: one transaction, so that the uses and the count never disagree. The count and the
// stored use are read inside it, as they are now, not as the screen last showed them. Returns the
// use's row; throws DbError, and then nothing has been stored.
qint64 PartsUsage::storeUse(qint64 part, const UseEntry& use, std::optional<qint64> row)
{
    Recordset& parts = *Data1->recordset();
    Connection& conn = *parts.connection();
    ensureTakenColumn(conn);
    Connection::Transaction transaction(conn);

    double inStock = 0;
    {
        Statement st = conn.prepare(QStringLiteral("SELECT [In Stock] FROM Parts WHERE [Record Number] = ?"));
        st.bind(1, part);
        if (!st.step())
            throw DbError(EngineError::NoCurrentRecord, QStringLiteral("The part has been deleted by another part of the program."));
        inStock = numberOrZero(st, 0);
    }
    UsageCount after;
    if (row) {
        Statement st = conn.prepare(QStringLiteral("SELECT Used, Taken FROM PartsUsage WHERE rowid = ?"));
        st.bind(1, *row);
        if (!st.step())
            throw DbError(EngineError::NoCurrentRecord, QStringLiteral("The use has been deleted by another part of the program."));
        const double usedBefore = numberOrZero(st, 0);
        const double takenBefore = st.isNull(1) ? usedBefore : numberOrZero(st, 1);
        after = usageChangedCount(inStock, usedBefore, takenBefore, use.used);
    } else {
        after = usageNewCount(inStock, use.used);
    }
    const QVariantList values = {use.used, use.lane, dateToStorage(use.date), after.taken};
    if (row) {
        conn.execute(QStringLiteral("UPDATE PartsUsage SET Used = ?, [Lane Number] = ?, [Date Used] = ?, Taken = ? "
                                    "WHERE rowid = ?"),
                     values + QVariantList{*row});
    } else {
        conn.execute(QStringLiteral("INSERT INTO PartsUsage (Used, [Lane Number], [Date Used], Taken, [Record Number]) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                     values + QVariantList{part});
        row = conn.lastInsertRowid();
    }
    parts.writeAt(parts.absolutePosition(), {{QStringLiteral("In Stock"), after.inStock}});
    transaction.commit();
    return *row;
}

void PartsUsage::Command7_Click()
{
    WaitCursor hourglass;
    // The graph is of the uses stored: a use being entered and not confirmed is left, not stored
    // by the graph's moves through the list.
    if (m_entry != Entry::None)
        endEntry();
    // The graph is of the part on screen: its uses are listed first when the list holds
    // another part's (or none).
    if (!listIsCurrentPart())
        listUsage();
    Recordset* rs = Data2->recordset();
    if (rs && !rs->isClosed() && !rs->eof()) {
        try {
            rs->moveFirst();
        } catch (const DbError&) {
        }
    }
    ReportRequest request;
    request.letterFile = QStringLiteral("UsedByPartNumber.rpt");
    request.hasA4Twin = true;
    request.placement = ReportPlacement::ProgramFolder;
    request.precondition = ReportPrecondition::onHeldRows(
        {QStringLiteral("You can not graph this parts usage because it has not been used."), 64,
         QStringLiteral("Notice"), true});
    request.selectionFormula = GraphFormula + Label9->text();
    ReportLauncher(Data2, *CrystalReport1, request);
}

void PartsUsage::Command8_Click()
{
    retrievePart(FindPartMember::usage());
}

void PartsUsage::SSCommand7_Click()
{
    PartImagesWindow::ShowPartImages(Data1, PartImagesMember::usage(), this);
}

void PartsUsage::SSCheck2_Click()
{
    if (SSCheck2->isChecked()) {
        SSCheck1->setEnabled(true);
    } else {
        SSCheck1->setChecked(false);
        SSCheck1->setEnabled(false);
    }
}

// ---------------------------------------------------------------- entry rules

void PartsUsage::Text1_LostFocus()
{
    if (!parseNumber(Text1->text()))
        Text1->setText(QStringLiteral("0"));
}

void PartsUsage::Text2_LostFocus()
{
    if (!parseNumber(Text2->text()))
        Text2->setText(QStringLiteral("0"));
}

void PartsUsage::Text3_GotFocus()
{
    Label7->show();
    if (Text3->text().isEmpty())
        Text3->setText(formatShortDate(QDate::currentDate()));
    Text3->selectAll();
}

void PartsUsage::Text3_LostFocus()
{
    Label7->hide();
    Command1->show();
    if (Text3->text().isEmpty())
        Text3->setText(formatShortDate(QDate::currentDate()));
    ++m_inRule;
    Command1->setFocus(Qt::OtherFocusReason);
    --m_inRule;
}

bool PartsUsage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // A message box or a menu taking the focus is not a leaving of the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_inRule > 0 || isUnloaded()
            || !SSFrame1->isVisible())
            return QMainWindow::eventFilter(watched, event);
        if (watched == Text1)
            Text1_LostFocus();
        else if (watched == Text2)
            Text2_LostFocus();
        else if (watched == Text3)
            Text3_LostFocus();
    } else if (event->type() == QEvent::FocusIn && watched == Text3) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && m_inRule == 0)
            Text3_GotFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}
