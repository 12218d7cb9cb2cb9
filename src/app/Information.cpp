#include "app/Information.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "platform/AppFolder.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/MainWindowLock.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

QFont windowFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.25);
    font.setBold(false);   // said outright, so that it does not follow a bold frame
    return font;
}

QFont frameFont()
{
    QFont font = windowFont();
    font.setBold(true);
    return font;
}

QLabel* addLabel(QWidget* parent, const QString& caption, int left, int top, int width)
{
    auto* label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(label, left, top, width, 300);
    return label;
}

QLineEdit* addBox(QWidget* parent, const QString& name, int left, int top, int width, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    placeTwips(box, left, top, width, 300);
    return box;
}

QGroupBox* addFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setFont(frameFont());
    placeTwips(frame, left, top, width, height);
    return frame;
}

// Controls inside a frame keep the window's plain font; only the frame's caption is bold.
void plainFontInside(QGroupBox* frame)
{
    for (QWidget* child : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->setFont(windowFont());
}

// Tab pages start below the tab bar; the rows of every frame have this pitch.
constexpr int rowPitch = 405;
constexpr int firstRow = 345;

}  // namespace

Information::Information(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Information"));
    setWindowTitle(QStringLiteral("Bowling Center/Vendor Information"));
    setFont(windowFont());
    setAttribute(Qt::WA_DeleteOnClose);
    resize(twipsToPx(9660), twipsToPx(7230));
    setHelpContext(this, 32);

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setRecordSource(QStringLiteral("Information"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    placeTwips(SSTab1, 172, 150, 9315, 6210);

    buildYourCenterTab();
    for (int vendor = 1; vendor <= 3; ++vendor)
        buildVendorTab(vendor);

    Command2 = new QPushButton(QStringLiteral("E&xit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTwips(Command2, (9660 - 1215) / 2, 6525, 1215, 450);
    setCancelButton(this, Command2);
    connect(Command2, &QPushButton::clicked, this, &Information::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Information::Command1_Click);

    m_resizer = new ProportionalResizer(this);
    m_resizer->captureDesign();

    Form_Load();
}

Information::~Information() = default;

void Information::buildYourCenterTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("YourCenterPage"));
    SSTab1->addTab(page, QStringLiteral("Your Center"));

    QGroupBox* center = addFrame(page, QStringLiteral("Bowling Center Address"), 120, 90, 4440, 3660);
    center->setObjectName(QStringLiteral("FrameCenter"));
    center->setToolTip(QStringLiteral("Enter the information about your bowling center here"));
    struct Row {
        QLineEdit** box;
        const char* name;
        const char* label;
        const char* field;
        const char* tip;
    };
    const Row centerRows[] = {
        {&Center, "Center", "Center Name", "Center Name", "Enter your bowling center name"},
        {&Address, "Address", "Address", "Address", "Enter your bowling center address"},
        {&City, "City", "City", "City", "Enter the city"},
        {&State, "State", "State", "State", "Enter the state"},
        {&Zip, "Zip", "Zip", "Zip", "Enter the zip"},
        {&Phone, "Phone", "Phone", "Phone", "Enter the phone number"},
        {&Fax, "Fax", "Fax Number", "Fax", "Enter your fax number"},
        {&Text3, "Text3", "Your Name", "Your Name", "Please enter your name here"},
    };
    int top = firstRow;
    for (const Row& row : centerRows) {
        addLabel(center, QString::fromLatin1(row.label), 150, top, 1150);
        *row.box = addBox(center, QString::fromLatin1(row.name), 1320, top, 2940, QString::fromLatin1(row.tip));
        Data1->bind(*row.box, QString::fromLatin1(row.field));
        top += rowPitch;
    }
    plainFontInside(center);

    QGroupBox* shipping = addFrame(page, QStringLiteral("Shipping Address"), 4680, 90, 4440, 3660);
    shipping->setObjectName(QStringLiteral("FrameShipping"));
    shipping->setToolTip(QStringLiteral("Enter the information about your shipping address here"));
    Command1 = new QPushButton(QStringLiteral("&Copy Bowling Center Address"), shipping);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Click here to copy your billing address over to the shipping address below"));
    placeTwips(Command1, 1320, firstRow - 30, 2940, 360);
    const Row shippingRows[] = {
        {&SName, "SName", "Center Name", "Shipping Name", "Enter the shipping address name"},
        {&SAddress, "SAddress", "Address", "shipping address", "Enter the shipping address"},
        {&SCity, "SCity", "City", "Shipping City", "Enter the city"},
        {&SState, "SState", "State", "shipping state", "Enter the state"},
        {&SZip, "SZip", "Zip", "shipping zip", "Enter the zip"},
        {&SPhone, "SPhone", "Phone", "shipping phone", "Enter the phone number"},
        {&SFax, "SFax", "Fax Number", "Shipping Fax", "Enter the fax number"},
    };
    top = firstRow + rowPitch;
    for (const Row& row : shippingRows) {
        addLabel(shipping, QString::fromLatin1(row.label), 150, top, 1150);
        *row.box = addBox(shipping, QString::fromLatin1(row.name), 1320, top, 2940, QString::fromLatin1(row.tip));
        Data1->bind(*row.box, QString::fromLatin1(row.field));
        top += rowPitch;
    }
    plainFontInside(shipping);

    QGroupBox* makers = addFrame(page, QStringLiteral("Manufacturer"), 120, 3870, 9000, 1620);
    makers->setObjectName(QStringLiteral("FrameManufacturer"));
    const Row makerRows[] = {
        {&Text14, "Text14", "Which company makes your vendor # 1 parts? ..........", "Vendor 1", "Enter Brunswick or AMF"},
        {&Text15, "Text15", "Which company makes your vendor # 2 parts? ..........", "Vendor 2", "Enter Quality Bowling"},
        {&Text16, "Text16", "Which company makes your vendor # 3 parts? ..........", "Vendor 3", ""},
    };
    top = firstRow;
    for (const Row& row : makerRows) {
        addLabel(makers, QString::fromLatin1(row.label), 150, top, 4900);
        *row.box = addBox(makers, QString::fromLatin1(row.name), 5160, top, 3600, QString::fromLatin1(row.tip));
        Data1->bind(*row.box, QString::fromLatin1(row.field));
        top += rowPitch;
    }
    plainFontInside(makers);
}

void Information::buildVendorTab(int vendor)
{
    const QString n = QString::number(vendor);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Vendor%1Page").arg(n));
    SSTab1->addTab(page, QStringLiteral("Vendor # %1").arg(n));

    VendorBoxes& v = Vendor[vendor - 1];
    v.Frame = addFrame(page, QStringLiteral("Vendor # %1 Information").arg(n), 120, 90, 9000, 5400);
    v.Frame->setObjectName(QStringLiteral("FrameVendor%1").arg(n));

    // The three tabs differ only in these tooltips.
    const QString nameTip[] = {QStringLiteral("Enter the vendor's name here"), QStringLiteral("Enter vendor # 2 name"),
                               QStringLiteral("Enter the vendor # 3 name here")};
    const QString taxTip[] = {QStringLiteral("Enter the sales tax you are charged "), QStringLiteral("Enter the sales tax you are charged here"),
                              QStringLiteral("Enter the sales tax you are charged here")};
    const QString discountTip[] = {QStringLiteral("Enter any discount you receive on all vendor # 1 parts here"),
                                   QStringLiteral("Enter any discount you receive on all parts from vendor # 2"),
                                   QStringLiteral("Enter any discount you receive on all parts from vendor # 3")};

    struct Row {
        QLineEdit** box;
        const char* name;
        const char* label;
        const char* field;
        QString tip;
    };
    // Left column: the vendor's address.
    const Row addressRows[] = {
        {&v.Name, "Name", "Vendor Name", "Name", nameTip[vendor - 1]},
        {&v.Address, "Address", "Address", "Address", QStringLiteral("Enter the address")},
        {&v.City, "City", "City", "City", QStringLiteral("Enter the city")},
        {&v.State, "State", "State", "State", QStringLiteral("Enter the state")},
        {&v.Zip, "Zip", "Zip", "Zip", QStringLiteral("Enter the zipcode")},
        {&v.Phone, "Phone", "Phone", "Phone", QStringLiteral("Enter the phone number")},
        {&v.Fax, "Fax", "Fax", "Fax", QStringLiteral("Enter the fax number")},
    };
    int top = firstRow;
    for (const Row& row : addressRows) {
        addLabel(v.Frame, QString::fromLatin1(row.label), 150, top, 1200);
        *row.box = addBox(v.Frame, QString::fromLatin1(row.name) + n, 1380, top, 3000, row.tip);
        Data1->bind(*row.box, QString::fromLatin1(row.field) + u' ' + n);
        top += rowPitch;
    }

    // Right column: the purchase-order terms. Each vendor has a shipping field of its own.
    const QString shipTip = QStringLiteral("How do you want the parts shipped. \"UPS, RPS, or Truck\"");
    const Row termRows[] = {
        {&v.Tax, "Tax", "Sales Tax", "Tax", taxTip[vendor - 1]},
        {&v.PO, "PO", "Purchase Order #", "PO", QStringLiteral("Enter a purchase order number to be printed on the purchase order")},
        {&v.Discount, "Discount", "Discount", "Discount", discountTip[vendor - 1]},
        {&v.Contact, "Contact", "Contact Person", "Contact", QStringLiteral("Who do you normally talk to about your purchase orders")},
        {&v.Via, "Via", "Preferred Shipping", "Via", shipTip},
    };
    top = firstRow;
    for (const Row& row : termRows) {
        const bool percent = row.box == &v.Tax || row.box == &v.Discount;
        addLabel(v.Frame, QString::fromLatin1(row.label), 4620, top, 1500);
        *row.box = addBox(v.Frame, QString::fromLatin1(row.name) + n, 6180, top, percent ? 900 : 2640, row.tip);
        Data1->bind(*row.box, QString::fromLatin1(row.field) + u' ' + n);
        if (percent)
            addLabel(v.Frame, QStringLiteral("%"), 7140, top, 300);
        top += rowPitch;
    }

    addLabel(v.Frame, QStringLiteral("FOB"), 4620, top, 1500);
    v.FOB = new QListWidget(v.Frame);
    v.FOB->setObjectName(QStringLiteral("FOB") + n);
    v.FOB->addItems({QStringLiteral("Origin"), QStringLiteral("Destination")});
    v.FOB->setToolTip(QStringLiteral("Enter Destination if the Vendor Pays for Freight"));
    placeTwips(v.FOB, 6180, top, 2640, 600);

    top = firstRow + 7 * rowPitch + 150;
    addLabel(v.Frame, QStringLiteral("P/O Notes"), 150, top, 1200);
    v.Notes = new QPlainTextEdit(v.Frame);
    v.Notes->setObjectName(QStringLiteral("Notes") + n);
    v.Notes->setToolTip(QStringLiteral("Enter any notes that you want printed on the bottom of the PO."));
    v.Notes->setTabChangesFocus(true);
    placeTwips(v.Notes, 1380, top, 7440, 5400 - top - 180);
    Data1->bind(v.Notes, QStringLiteral("Notes ") + n);

    plainFontInside(v.Frame);
}

void Information::Form_Load()
{
    ArrowCursor normalPointer;
    SSTab1->setCurrentIndex(0);
    Data1->setDatabaseName(AppFolder::join(QStringLiteral("\\Inventory.mdb")));
    try {
        Data1->refresh();
        // The template ships the one row; should it be missing, what is typed becomes the row
        // rather than going nowhere.
        Recordset* rs = Data1->recordset();
        if (rs && !rs->hasCurrent() && rs->isUpdatable()) {
            rs->addNew();
            Data1->reloadBoundControls();
        }
        m_loaded = true;
    } catch (const DbError& e) {
        // Nothing typed here could be kept, so nothing can be typed.
        SSTab1->setEnabled(false);
        MsgBox(QStringLiteral("The center and vendor information could not be read: %1").arg(e.text()), 48);
    }
}

void Information::Command1_Click()
{
    SName->setText(Center->text());
    SAddress->setText(Address->text());
    SCity->setText(City->text());
    SState->setText(State->text());
    SZip->setText(Zip->text());
    SPhone->setText(Phone->text());
    SFax->setText(Fax->text());
}

void Information::Command2_Click()
{
    if (!SaveBeforeClosing())
        return;
    m_saved = true;
    close();
}

bool Information::SaveBeforeClosing()
{
    if (!m_loaded)
        return true;
    for (const VendorBoxes& v : Vendor) {
        for (QLineEdit* box : {v.Tax, v.Discount})
            if (box->text().isEmpty())
                box->setText(QStringLiteral("0"));
    }
    try {
        Data1->updateRecord();
        return true;
    } catch (const DbError& e) {
        const int answer = MsgBox(QStringLiteral("The center and vendor information could not be saved: %1\r\r"
                                                 "Close this window anyway and lose your changes?").arg(e.text()), 292);
        if (answer == Prompts::Yes) {
            Data1->reloadBoundControls();   // nothing left pending for a later write
            return true;
        }
        return false;
    }
}

void Information::closeEvent(QCloseEvent* event)
{
    // The close box saves like "E&xit" does, so that no typed change is lost either way.
    if (!m_saved && !SaveBeforeClosing()) {
        event->ignore();
        return;
    }
    m_saved = true;
    event->accept();
    Form_Unload();
}

void Information::Form_Unload()
{
    MainWindowLock::release(this);
}

void Information::ShowVendorInformation(int vendor)
{
    auto* window = new Information;
    // Loading selected tab 0 first, so the vendor's tab wins.
    window->SSTab1->setCurrentIndex(vendor);
    ArrowCursor normalPointer;
    ShowModal(window);
}
