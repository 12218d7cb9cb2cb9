#include "stock/ModifyData.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/DbError.h"
#include "data/Values.h"
#include "parts/PartsFonts.h"
#include "parts/ScreenBuilding.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "utilities/ImportSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int ClientWidth = 9480;
constexpr int ClientHeight = 4560;
constexpr int CountChars = 3;
constexpr int LocationChars = 15;

const QString MinimumQuestion =
    QStringLiteral("Please enter the minimum quantity that you prefer to have on hand at all times for ");
const QString NotANumber = QStringLiteral("You need to enter a number here");
const QString RetrieveRefused = QStringLiteral("You must select all parts before you can use the retrieve button");
const QString DefaultTip = QStringLiteral("\"Click\" here to purchase from this vendor during automatic parts orders");

// The ten column and box captions keep a white text of their own; the others show part data.
const int CaptionLabels[] = {1, 2, 3, 4, 5, 6, 10, 20, 21, 22};

QLabel* makeLabel(QWidget* parent, int number, const QString& text, int left, int top, int width, int height,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setAlignment(alignment);
    label->setAutoFillBackground(true);
    label->setIndent(4);
    const bool caption = std::find(std::begin(CaptionLabels), std::end(CaptionLabels), number) != std::end(CaptionLabels);
    if (caption) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
        label->setFont(arialFont(8.25, true));
    }
    placeTwips(label, left, top, width, height);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                        int height)
{
    QPushButton* button = buttonAt(parent, name, caption, QString(), left, top, width, height);
    button->setFont(arialFont(8.25, true));
    return button;
}

QLineEdit* makeEntry(QWidget* parent, const QString& name, const QString& tip, int left, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(arialFont(12, true));
    placeTwips(box, left, 3240, width, 450);
    return box;
}

double valueOf(const QString& text)
{
    return parseNumber(text).value_or(0.0);
}

}  // namespace

bool minimumPromptNeeded(const QString& minimum, const QString& inStock)
{
    return valueOf(minimum) == 0 && valueOf(inStock) > 0;
}

QString minimumFromAnswer(const QString& answer)
{
    if (wholeCount(answer).value_or(0) == 0)
        return QStringLiteral("1");
    return answer;
}

// ---------------------------------------------------------------- colours

ColorSchemeConfig modifyDataColorScheme()
{
    ColorSchemeConfig c;
    c.tableName = QStringLiteral("ModifyData");
    c.menuName = QStringLiteral("MnuModifyDataColors");
    c.menuCaption = QStringLiteral("&Colors");

    QStringList dataLabels, allLabels;
    for (int n : {7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 23, 24, 25, 26, 27, 28, 29, 30})
        dataLabels << QStringLiteral("Label%1").arg(n);
    for (int n = 1; n <= 30; ++n)
        allLabels << QStringLiteral("Label%1").arg(n);
    const QStringList checks = {QStringLiteral("Check1"), QStringLiteral("Check2"), QStringLiteral("Check3")};
    const QStringList frames = {QStringLiteral("Frame1"), QStringLiteral("Frame2"), QStringLiteral("Frame3")};
    const QString navigator = QStringLiteral("SSDBData1");

    bindScreenColors(c, navigator, dataLabels + checks, allLabels + checks + frames);

    c.items = {screenBackgroundItem(QStringLiteral("MnuDataBackground"), QStringLiteral("Background Colors"), navigator,
                                    allLabels + checks + frames),
               screenTextItem(QStringLiteral("MnuDataText"), QStringLiteral("Text Colors"), navigator, dataLabels + checks)};
    return c;
}

// ---------------------------------------------------------------- building

ModifyData::ModifyData(QWidget* parent)
    : PartsScreen(parent, {.name = QStringLiteral("ModifyData"),
                           .title = QStringLiteral("Data Entry "),
                           .helpTopic = 480,
                           .pointSize = 8.25,
                           .raisesMainWindow = true})
{
    Data2 = addDataControl(QStringLiteral("Data2"));
    Data3 = addColorScheme(QStringLiteral("Data3"), modifyDataColorScheme());
    build();
}

ModifyData::~ModifyData() = default;

void ModifyData::buildControls()
{
    QWidget* client = addClientArea(ClientWidth, ClientHeight);

    Label[4] = makeLabel(client, 4, QStringLiteral("Description"), 120, 120, 1740, 300);
    Label[18] = makeLabel(client, 18, QString(), 1920, 120, 7440, 300);
    Label[18]->setFont(arialFont(9.75, true));
    Label[5] = makeLabel(client, 5, QStringLiteral("Area of Machine"), 120, 480, 1740, 300);
    Label[19] = makeLabel(client, 19, QString(), 1920, 480, 7440, 300);

    Label[1] = makeLabel(client, 1, QStringLiteral("Vendor"), 120, 960, 1740, 300);
    Label[2] = makeLabel(client, 2, QStringLiteral("Part Number"), 1920, 960, 2040, 300, Qt::AlignCenter);
    Label[3] = makeLabel(client, 3, QStringLiteral("Min. Buy / Pkg. Qty."), 4020, 960, 1860, 300, Qt::AlignCenter);
    Label[6] = makeLabel(client, 6, QStringLiteral("Book / Page"), 5940, 960, 2460, 300, Qt::AlignCenter);
    Label[10] = makeLabel(client, 10, QStringLiteral("Preferred"), 8460, 960, 900, 300, Qt::AlignCenter);

    // One captionless frame per vendor: make, part number, minimum purchase and package, book
    // and page, and the default-vendor box.
    const int nameLabels[3] = {25, 26, 27};
    const int numberLabels[3] = {28, 29, 30};
    const int minimumLabels[3] = {13, 12, 11};
    const int packageLabels[3] = {14, 15, 16};
    const int bookLabels[3] = {7, 8, 9};
    const int pageLabels[3] = {17, 23, 24};
    QFrame** frames[3] = {&Frame1, &Frame2, &Frame3};
    QCheckBox** checks[3] = {&Check1, &Check2, &Check3};
    for (int i = 0; i < 3; ++i) {
        auto* f = new QFrame(client);
        f->setObjectName(QStringLiteral("Frame%1").arg(i + 1));
        f->setFrameShape(QFrame::StyledPanel);
        f->setAutoFillBackground(true);
        placeTwips(f, 120, 1320 + i * 480, 9240, 420);
        *frames[i] = f;

        Label[nameLabels[i]] = makeLabel(f, nameLabels[i], QString(), 60, 60, 1680, 300);
        Label[nameLabels[i]]->setFont(arialFont(8.25, true));
        Label[numberLabels[i]] = makeLabel(f, numberLabels[i], QString(), 1800, 60, 2040, 300, Qt::AlignCenter);
        Label[numberLabels[i]]->setFont(arialFont(9.75, true));
        Label[minimumLabels[i]] = makeLabel(f, minimumLabels[i], QString(), 3900, 60, 900, 300, Qt::AlignCenter);
        Label[packageLabels[i]] = makeLabel(f, packageLabels[i], QString(), 4860, 60, 900, 300, Qt::AlignCenter);
        Label[bookLabels[i]] = makeLabel(f, bookLabels[i], QString(), 5820, 60, 1680, 300, Qt::AlignCenter);
        Label[pageLabels[i]] = makeLabel(f, pageLabels[i], QString(), 7560, 60, 720, 300, Qt::AlignCenter);
        Label[pageLabels[i]]->setToolTip(QStringLiteral("Page of the book for this part"));

        auto* check = new QCheckBox(f);
        check->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        check->setToolTip(DefaultTip);
        check->setAutoFillBackground(true);
        placeTwips(check, 8640, 60, 300, 300);
        *checks[i] = check;
    }

    Label[20] = makeLabel(client, 20, QStringLiteral("Instock Today"), 120, 2880, 2040, 300, Qt::AlignCenter);
    Label[21] = makeLabel(client, 21, QStringLiteral("Min. Stock Required"), 2280, 2880, 2040, 300, Qt::AlignCenter);
    Label[22] = makeLabel(client, 22, QStringLiteral("Location"), 4440, 2880, 2400, 300, Qt::AlignCenter);
    Instock = makeEntry(client, QStringLiteral("Instock"), QStringLiteral("Current Count In Your Inventory Room"), 120, 2040);
    Min = makeEntry(client, QStringLiteral("Min"),
                    QStringLiteral("Minimum Stock You Always Need. This number needs to be 1 or more "), 2280, 2040);
    PartLocation = makeEntry(client, QStringLiteral("PartLocation"),
                             QStringLiteral("Location of the Part in Your Inventory Room"), 4440, 2400);
    limitTyping(Instock, CountChars);
    limitTyping(Min, CountChars);
    selectAllOnFocus(Instock);
    selectAllOnFocus(Min);
    upperCaseTyping(PartLocation, LocationChars);

    Command1 = makeButton(client, QStringLiteral("Command1"), QStringLiteral("&Retrieve"), 7080, 3240, 1080, 450);
    Command2 = makeButton(client, QStringLiteral("Command2"), QStringLiteral("E&xit"), 8280, 3240, 1080, 450);

    SSDBCommand3 = makeButton(client, QStringLiteral("SSDBCommand3"), QStringLiteral("&Begin"), 120, 3960, 1200, 450);
    SSDBCommand2 = makeButton(client, QStringLiteral("SSDBCommand2"), QStringLiteral("&Previous"), 1380, 3960, 1200, 450);
    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    SSDBData1->setCaption(QStringLiteral("Inventory Parts"));
    placeTwips(SSDBData1, 2640, 3960, 4200, 450);
    SSDBCommand1 = makeButton(client, QStringLiteral("SSDBCommand1"), QStringLiteral("&Next"), 6900, 3960, 1200, 450);
    SSDBCommand4 = makeButton(client, QStringLiteral("SSDBCommand4"), QStringLiteral("&End"), 8160, 3960, 1200, 450);

    setTabOrder(Instock, Min);
    setTabOrder(Min, PartLocation);
    setTabOrder(PartLocation, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Check3);
    setTabOrder(Check3, SSDBCommand1);

    // Esc leaves; there is no default button.
    setCancelButton(this, Command2);

    keepProportions(client);
}

void ModifyData::buildMenus()
{
    MnuSelect = menuBar()->addMenu(QStringLiteral("Se&lect"));
    MnuSelect->setObjectName(QStringLiteral("MnuSelect"));
    MnuSelectAllPart = MnuSelect->addMenu(QStringLiteral("&All Part Numbers"));
    MnuSelectAllPart->setObjectName(QStringLiteral("MnuSelectAllPart"));
    MnuAllByNo1 = namedAction(MnuSelectAllPart, QStringLiteral("MnuAllByNo1"), QStringLiteral("Sorted By Vendor # &1"));
    MnuAllByNo2 = namedAction(MnuSelectAllPart, QStringLiteral("MnuAllByNo2"), QStringLiteral("Sorted By Vendor # &2"));
    MnuAllByNo3 = namedAction(MnuSelectAllPart, QStringLiteral("MnuAllByNo3"), QStringLiteral("Sorted By Vendor # &3"));
    MnuAllByLocation = namedAction(MnuSelectAllPart, QStringLiteral("MnuAllByLocation"), QStringLiteral("Sorted By &Location"));
    MnuSelectYourParts = MnuSelect->addMenu(QStringLiteral("&Your Inventory Only"));
    MnuSelectYourParts->setObjectName(QStringLiteral("MnuSelectYourParts"));
    MnuMinNo1 = namedAction(MnuSelectYourParts, QStringLiteral("MnuMinNo1"), QStringLiteral("Sorted By Vendor # &1"));
    MnuMinNo2 = namedAction(MnuSelectYourParts, QStringLiteral("MnuMinNo2"), QStringLiteral("Sorted By Vendor # &2"));
    MnuMinNo3 = namedAction(MnuSelectYourParts, QStringLiteral("MnuMinNo3"), QStringLiteral("Sorted By Vendor # &3"));
    MnuMinLocation = namedAction(MnuSelectYourParts, QStringLiteral("MnuMinLocation"), QStringLiteral("Sorted By &Location"));

    MnuImport = menuBar()->addMenu(QStringLiteral("&Import"));
    MnuImport->setObjectName(QStringLiteral("MnuImport"));
    MnuImportDOS = namedAction(MnuImport, QStringLiteral("MnuImportDOS"), QStringLiteral("From Version E.&6"));

    MnuModifyDataColors = Data3->menu();
    menuBar()->addMenu(MnuModifyDataColors);
    setHelpContext(MnuSelect, 610);
    setHelpContext(MnuImport, 620);

    // The client area keeps its designed size below the menu bar.
    resize(width(), height() + menuBar()->sizeHint().height());
}

void ModifyData::bindControls()
{
    Data1->bind(Instock, QStringLiteral("In Stock"));
    Data1->bind(Min, QStringLiteral("Minimum Stock"));
    Data1->bind(PartLocation, QStringLiteral("Location"));
    Data1->bind(Check1, QStringLiteral("Default 1"));
    Data1->bind(Check2, QStringLiteral("Default 2"));
    Data1->bind(Check3, QStringLiteral("Default 3"));
    Data1->bind(Label[18], QStringLiteral("Description"));
    Data1->bind(Label[19], QStringLiteral("Area of Machine"));
    const int numberLabels[3] = {28, 29, 30};
    const int minimumLabels[3] = {13, 12, 11};
    const int packageLabels[3] = {14, 15, 16};
    const int bookLabels[3] = {7, 8, 9};
    const int pageLabels[3] = {17, 23, 24};
    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        Data1->bind(Label[numberLabels[i]], QStringLiteral("Part Number %1").arg(n));
        Data1->bind(Label[minimumLabels[i]], QStringLiteral("Minimum Buy %1").arg(n));
        Data1->bind(Label[packageLabels[i]], QStringLiteral("Package %1").arg(n));
        Data1->bind(Label[bookLabels[i]], QStringLiteral("Book %1").arg(n));
        Data1->bind(Label[pageLabels[i]], QStringLiteral("Page %1").arg(n));
        Data2->bind(Label[25 + i], QStringLiteral("Vendor %1").arg(n));
    }
    SSDBData1->setDataControl(Data1);
}

void ModifyData::wireHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &ModifyData::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ModifyData::Command2_Click);
    connect(Check1, &QCheckBox::clicked, this, &ModifyData::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &ModifyData::Check2_Click);
    connect(Check3, &QCheckBox::clicked, this, &ModifyData::Check3_Click);
    connect(Instock, &QLineEdit::textChanged, this, &ModifyData::Instock_Change);
    connect(Min, &QLineEdit::textChanged, this, &ModifyData::Min_Change);
    Min->installEventFilter(this);

    wireRecordButtons(SSDBCommand3, SSDBCommand2, SSDBCommand1, SSDBCommand4);

    connect(MnuAllByNo1, &QAction::triggered, this, &ModifyData::MnuAllByNo1_Click);
    connect(MnuAllByNo2, &QAction::triggered, this, &ModifyData::MnuAllByNo2_Click);
    connect(MnuAllByNo3, &QAction::triggered, this, &ModifyData::MnuAllByNo3_Click);
    connect(MnuAllByLocation, &QAction::triggered, this, &ModifyData::MnuAllByLocation_Click);
    connect(MnuMinNo1, &QAction::triggered, this, &ModifyData::MnuMinNo1_Click);
    connect(MnuMinNo2, &QAction::triggered, this, &ModifyData::MnuMinNo2_Click);
    connect(MnuMinNo3, &QAction::triggered, this, &ModifyData::MnuMinNo3_Click);
    connect(MnuMinLocation, &QAction::triggered, this, &ModifyData::MnuMinLocation_Click);
    connect(MnuImportDOS, &QAction::triggered, this, &ModifyData::MnuImportDOS_Click);

    connect(Data1, &DataControl::validate, this, &ModifyData::Data1_Validate);
    connect(Data1, &DataControl::reposition, this, &ModifyData::filledFromRecord);
}

// ---------------------------------------------------------------- loading, activation, closing

void ModifyData::Form_Load()
{
    usePartsTable(*Data1);
    openInformation(*Data2);   // the vendor makes
    // Data1 opens at the first activation, in the order of vendor 1's part numbers.
    Data3->OpenColorScheme();
    Data3->install();
}

void ModifyData::Form_Activate()
{
    if (!firstActivation())
        return;
    openAllParts(QStringLiteral("inv1"));
}

void ModifyData::Command2_Click()
{
    close();
}

bool ModifyData::closeParts()
{
    // The checks of leaving a part, then the save.
    return writeOrCloseAnyway([this] { Data1->update(); }, unsavedChangesQuestion());
}

// ---------------------------------------------------------------- orders

void ModifyData::openAllParts(const QString& index)
{
    try {
        if (hasPart())
            Data1->update();   // the part on screen is checked and saved as it is left
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
        return;
    }
    try {
        m_reopening = true;   // closing empties the boxes
        Data1->close();
        m_reopening = false;
        usePartsTable(*Data1);
        Data1->refresh();
        Data1->recordset()->setIndex(index);
        m_orderIndex = index;
        m_orderField.clear();
        Data1->recordset()->moveFirst();
    } catch (const DbError& e) {
        m_reopening = false;
        MsgBox(e.text(), 48);
    }
}

void ModifyData::openYourParts(const QString& orderField)
{
    try {
        if (hasPart())
            Data1->update();   // the part on screen is checked and saved before the list is read
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
        return;
    }
    try {
        Data1->setRecordsetType(Recordset::Kind::Dynaset);
        Data1->setRecordSource(QStringLiteral("Select * from Parts Where [Minimum Stock] >= 1 Order By %1 ASC ").arg(orderField));
        Data1->refresh();
        m_orderIndex.clear();
        m_orderField = orderField;
        if (Data1->recordset()->recordCount() > 0)
            Data1->recordset()->moveFirst();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
}

// After an import the parts are read again in the order shown, on the same part, so that nothing
// on screen is older than what the import stored. What the user typed meanwhile is saved first:
// only the fields typed into are written, never the rest of what the screen showed.
void ModifyData::reopenAfterImport()
{
    if (isUnloaded())
        return;
    std::optional<Bookmark> part;
    try {
        if (hasPart()) {
            part = Data1->recordset()->bookmark();
            Data1->update();
        }
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
    }
    try {
        Data1->refresh();
        if (!m_orderIndex.isEmpty())
            Data1->recordset()->setIndex(m_orderIndex);
        if (part)
            Data1->recordset()->setBookmark(*part);
        else if (Data1->recordset()->recordCount() > 0)
            Data1->recordset()->moveFirst();
    } catch (const DbError&) {
        try {
            if (Data1->recordset() && Data1->recordset()->recordCount() > 0)
                Data1->recordset()->moveFirst();
        } catch (const DbError&) {
        }
    }
}

// ---------------------------------------------------------------- field rules

// A part read with no count in stock shows 0 (the box's own rule) and stores it when it is left.
void ModifyData::filledFromRecord()
{
    Recordset* rs = Data1->recordset();
    if (!hasPart() || !rs->isUpdatable())
        return;
    try {
        if (!parseNumber(DataControl::formatValue(rs->value(QStringLiteral("In Stock")), BindFormat::General))) {
            if (rs->editMode() == Recordset::EditMode::None)
                rs->edit();
            rs->setValue(QStringLiteral("In Stock"), 0);
        }
    } catch (const DbError&) {
    }
}

void ModifyData::Instock_Change()
{
    if (!parseNumber(Instock->text()))
        Instock->setText(QStringLiteral("0"));
}

void ModifyData::Min_Change()
{
    // Boxes emptied because no part is shown (the parts closed to open them in another order,
    // a move past the last part) hold nothing the user typed.
    if (m_reopening || !hasPart() || parseNumber(Min->text()))
        return;
    ++m_inRule;
    MsgBox(NotANumber);
    --m_inRule;
}

void ModifyData::minimumPrompt()
{
    ++m_inRule;
    const QString answer = InputBox(MinimumQuestion + Label[18]->text() + u'!', QStringLiteral("Warning"), QString(),
                                    3000, 5000);
    Min->setText(answer);
    const QString stored = minimumFromAnswer(answer);
    if (Min->text() != stored)
        Min->setText(stored);
    try {
        Data1->updateRecord();
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
    }
    --m_inRule;
}

void ModifyData::Min_LostFocus()
{
    if (!hasPart())
        return;
    // A count below 0, or with a fraction in it, is not stored.
    acceptCount(Min, QStringLiteral("Minimum Stock"));
    // An empty minimum, or one that is not a number, counts as none.
    if (!parseNumber(Min->text())) {
        ++m_inRule;
        Min->setText(QStringLiteral("0"));
        --m_inRule;
    }
    if (minimumPromptNeeded(Min->text(), Instock->text()))
        minimumPrompt();
}

void ModifyData::Data1_Validate()
{
    if (!hasPart())
        return;
    acceptCount(Instock, QStringLiteral("In Stock"));
    acceptCount(Min, QStringLiteral("Minimum Stock"));
    ++m_inRule;
    if (Instock->text().isEmpty())
        Instock->setText(QStringLiteral("0"));
    if (!parseNumber(Min->text()))
        Min->setText(QStringLiteral("0"));
    if (minimumPromptNeeded(Min->text(), Instock->text()))
        minimumPrompt();
    --m_inRule;
}

void ModifyData::defaultVendorClicked(int vendor)
{
    QCheckBox* boxes[3] = {Check1, Check2, Check3};
    for (int n = 1; n <= 3; ++n)
        if (n != vendor)
            boxes[n - 1]->setChecked(false);
}

// ---------------------------------------------------------------- commands

QWidget* ModifyData::findPartFocusTarget(int)
{
    return Instock;
}

void ModifyData::Command1_Click()
{
    const Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || rs->kind() != Recordset::Kind::Table) {
        MsgBox(RetrieveRefused);
        return;
    }
    // The location order has no part number to seek on: the list takes vendor 1's order.
    retrievePart(FindPartMember::stockInput());
    if (const Recordset* now = Data1->recordset(); now && !now->isClosed() && !now->index().isEmpty())
        m_orderIndex = now->index();
}

void ModifyData::MnuImportDOS_Click()
{
    // The part on screen is saved first; the import may store over any part.
    try {
        if (hasPart())
            Data1->update();
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The changes to this part could not be saved: %1").arg(e.text()), 48);
    }
    // The import window is modeless and leaves this screen usable; when it closes, the parts are
    // read again so that nothing on screen is older than what it stored.
    auto* import = new ImportSetup;
    m_import = import;
    connect(import, &QObject::destroyed, this, &ModifyData::reopenAfterImport);
    import->show();
    QPointer<ImportHelp> help = new ImportHelp;
    ShowModal(help);
    if (help && !help->isVisible())
        help->deleteLater();
}

bool ModifyData::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Min && event->type() == QEvent::FocusOut) {
        // A message box or a menu taking the focus is not a leaving of the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && m_inRule == 0 && !isUnloaded())
            Min_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}
