#include "utilities/ChangePrice.h"

#include "data/Connection.h"
#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "parts/PartsFonts.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/DriveA.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"
#include "utilities/PriceUpdate.h"
#include "utilities/TrappedError.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int ClientWidth = 9600;
constexpr int ClientHeight = 6540;

// The bound labels of each side, per vendor, in the order of Fields: pricing side (Data1), then
// parts side (Data2).
const int PricingLabels[2][6] = {{1, 3, 10, 30, 39, 47}, {2, 4, 11, 31, 41, 49}};
const int PartsLabels[2][6] = {{5, 7, 12, 32, 43, 51}, {6, 8, 13, 33, 45, 53}};

QString pricingField(int vendor, int row)
{
    switch (row) {
    case 0: return QStringLiteral("Part Number %1").arg(vendor);
    case 1: return QStringLiteral("Price %1").arg(vendor);
    case 2: return QStringLiteral("Book %1").arg(vendor);
    case 3: return QStringLiteral("Page %1").arg(vendor);
    case 4: return vendor == 1 ? QStringLiteral("Minimum buy 1") : QStringLiteral("Minimum Buy 2");
    default: return QStringLiteral("Package %1").arg(vendor);
    }
}

QString partsField(int vendor, int row)
{
    return row == 4 ? QStringLiteral("Minimum Buy %1").arg(vendor) : pricingField(vendor, row);
}

QString caption(int vendor, int row, bool partsSide)
{
    switch (row) {
    case 0: return QStringLiteral("PN#%1").arg(vendor);
    case 1: return QStringLiteral("Price %1").arg(vendor);
    case 2: return QStringLiteral("Book %1").arg(vendor);
    case 3: return QStringLiteral("Page %1").arg(vendor);
    case 4: return vendor == 1 && partsSide ? QStringLiteral("Min1") : QStringLiteral("Min %1").arg(vendor);
    default: return QStringLiteral("Pkg %1").arg(vendor);
    }
}

}  // namespace

ChangePrice::ChangePrice(QWidget* parent)
    : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ChangePrice"));
    setWindowTitle(QStringLiteral("Update Pricing"));
    setFont(arialFont(8));

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setRecordSource(QStringLiteral("Pricing"));
    Data2 = new DataControl(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    Data2->setRecordSource(QStringLiteral("Parts"));

    buildControls();
    buildMenus();
    Form_Load();
    fitLabelTexts(this);   // books and part numbers come from the pricing disk and the catalogue
}

ChangePrice::~ChangePrice() = default;

void ChangePrice::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));

    QPalette valuePalette;
    valuePalette.setColor(QPalette::Window, Qt::white);
    valuePalette.setColor(QPalette::WindowText, Qt::black);

    for (int v = 0; v < 2; ++v) {
        const int vendor = v + 1;
        const int left = v == 0 ? 120 : 4860;
        for (int side = 0; side < 2; ++side) {
            auto* frame = new QGroupBox(side == 0 ? QStringLiteral("New Prices") : QStringLiteral("Inventory"), client);
            frame->setObjectName(side == 0 ? QStringLiteral("NewPrices%1").arg(vendor) : QStringLiteral("Inventory%1").arg(vendor));
            frame->setFont(arialFont(8, true));
            placeTwips(frame, left + side * 2370, 120, 2250, 2160);
            (side == 0 ? NewPrices : Inventory)[v] = frame;
            DataControl* data = side == 0 ? Data1 : Data2;
            for (int row = 0; row < 6; ++row) {
                auto* heading = new QLabel(caption(vendor, row, side == 1), frame);
                heading->setFont(arialFont(8));
                placeTwips(heading, 90, 330 + row * 300, 690, 255);
                auto* value = new QLabel(frame);
                const int number = side == 0 ? PricingLabels[v][row] : PartsLabels[v][row];
                value->setObjectName(QStringLiteral("Label%1").arg(number));
                value->setFont(arialFont(8));
                value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                value->setAutoFillBackground(true);
                value->setPalette(valuePalette);
                value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                placeTwips(value, 780, 330 + row * 300, 1380, 255);
                data->bind(value, side == 0 ? pricingField(vendor, row) : partsField(vendor, row));
            }
        }
    }

    Command1 = new QPushButton(QStringLiteral("Update Vendor # &1 "), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(arialFont(9, true));
    placeTwips(Command1, 1080, 2400, 2700, 420);
    Command2 = new QPushButton(QStringLiteral("Update Vendor # &2"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(arialFont(9, true));
    placeTwips(Command2, 5820, 2400, 2700, 420);
    Command1->hide();
    Command2->hide();

    Label9 = new QLabel(QStringLiteral("The list of part numbers below were NOT updated during the price change (update). These part numbers "
                                       "were not in our list of part numbers to be updated. Please change the prices of these parts manually. "
                                       "Note: These parts listed may no longer be available from that vendor."),
                        client);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setWordWrap(true);
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Label9, 120, 2940, 9360, 660);

    List1 = new QListWidget(client);
    List1->setObjectName(QStringLiteral("List1"));
    placeTwips(List1, 120, 3660, 4620, 2400);
    List2 = new QListWidget(client);
    List2->setObjectName(QStringLiteral("List2"));
    placeTwips(List2, 4860, 3660, 4620, 2400);

    ccrpProgressBar1 = new QProgressBar(client);
    ccrpProgressBar1->setObjectName(QStringLiteral("ccrpProgressBar1"));
    ccrpProgressBar1->setRange(0, 100);
    ccrpProgressBar1->setValue(0);
    placeTwips(ccrpProgressBar1, 120, 6180, 9360, 255);
    ccrpProgressBar1->hide();

    connect(Command1, &QPushButton::clicked, this, &ChangePrice::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ChangePrice::Command2_Click);
}

void ChangePrice::buildMenus()
{
    MnuFileprices = menuBar()->addMenu(QStringLiteral("&File"));
    MnuFileprices->setObjectName(QStringLiteral("MnuFileprices"));
    MnuFileOpenPrices = MnuFileprices->addAction(QStringLiteral("&Open"));
    MnuFileOpenPrices->setObjectName(QStringLiteral("MnuFileOpenPrices"));
    MnuFileExit = MnuFileprices->addAction(QStringLiteral("E&xit"));
    MnuFileExit->setObjectName(QStringLiteral("MnuFileExit"));
    mnuPricesOrder = menuBar()->addMenu(QStringLiteral("&Order"));
    mnuPricesOrder->setObjectName(QStringLiteral("mnuPricesOrder"));
    MnuOrderPriceDisk = mnuPricesOrder->addAction(QStringLiteral("&Price Update Disk"));
    MnuOrderPriceDisk->setObjectName(QStringLiteral("MnuOrderPriceDisk"));

    connect(MnuFileOpenPrices, &QAction::triggered, this, &ChangePrice::MnuFileOpenPrices_Click);
    connect(MnuFileExit, &QAction::triggered, this, &ChangePrice::MnuFileExit_Click);
    connect(MnuOrderPriceDisk, &QAction::triggered, this, &ChangePrice::MnuOrderPriceDisk_Click);
}

void ChangePrice::Form_Load()
{
    Data2->setDatabaseName(InventoryDatabasePath());
    try {
        Data2->refresh();
    } catch (const DbError&) {
        // The labels stay empty; an update reopens the parts itself and reports what fails.
    }
    adjustSize();
    setFixedSize(sizeHint());
}

void ChangePrice::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The file is asked for when the window has opened (and on File, Open), not every time it
    // comes to the front again: coming back from the file dialog or the help window would ask
    // once more.
    if (!m_asked) {
        m_asked = true;
        QTimer::singleShot(0, this, &ChangePrice::Form_Activate);
    }
}

QString ChangePrice::pricingFile() const
{
    return Data1->databaseName();
}

void ChangePrice::Form_Activate()
{
    try {
        MsgBox(QStringLiteral("Please select the location of the pricing update disk") + QStringLiteral("\r")
                   + QStringLiteral("by selecting the database file from the next window."),
               0, QStringLiteral("Update File Location"));
        FileDialogOptions options;
        options.filter = QStringLiteral("PriceChange.mdb|PriceChange.mdb");
        options.defaultExt = QStringLiteral("*.mdb");
        options.fileName = m_dialogFileName;
        const QString chosen = Dialogs::get().openFile(options);
        // A cancel leaves the dialog's file name as it was.
        if (!chosen.isEmpty())
            m_dialogFileName = chosen;
        Data1->setDatabaseName(m_dialogFileName);
        if (m_dialogFileName.isEmpty()) {
            Command1->hide();
            Command2->hide();
            return;
        }
        // A file whose folder has gone is on a medium that has been taken out.
        const QFileInfo file(m_dialogFileName);
        if (!file.exists() && !QDir(file.absolutePath()).exists())
            throw TrappedError{DriveA::NoDiskError, QString()};
        Data1->refresh();
        Command1->show();
        Command2->show();
    } catch (const TrappedError& e) {
        MsgBox(diskErrorText(e.number, e.description));
    } catch (const DbError& e) {
        MsgBox(diskErrorText(e.number(), e.text()));
    }
}

void ChangePrice::MnuFileOpenPrices_Click()
{
    Form_Activate();
}

void ChangePrice::Command1_Click()
{
    runUpdate(1);
}

void ChangePrice::Command2_Click()
{
    runUpdate(2);
}

void ChangePrice::runUpdate(int vendor)
{
    WaitCursor hourglass;
    QListWidget* list = vendor == 1 ? List1 : List2;
    list->hide();
    Label9->hide();
    QStringList notUpdated;
    try {
        // Both sides from their first rows: the parts in the vendor's order, the pricing rows
        // sorted the same way.
        Data2->close();
        Data2->setRecordsetType(Recordset::Kind::Table);
        Data2->setDatabaseName(InventoryDatabasePath());
        Data2->setRecordSource(QStringLiteral("Parts"));
        Data2->refresh();
        Data2->recordset()->setIndex(QStringLiteral("inv%1").arg(vendor));
        Data2->recordset()->moveFirst();
        if (!Data1->recordset())
            Data1->refresh();
        Data1->recordset()->moveFirst();
        const QList<PricingRow> pricing = readPricing(*Data1->recordset()->connection(), vendor);

        m_total = int(pricing.size());
        m_remaining = m_total;
        m_percent = 0;
        ccrpProgressBar1->show();
        auto inventory = Connection::open(InventoryDatabasePath());
        const PriceUpdateOutcome outcome = runPriceUpdate(*inventory, pricing, vendor, [this] { UpdateProgress(); });
        notUpdated = outcome.notUpdated;

        // The labels show the parts as they are now.
        Data2->refresh();
        Data2->recordset()->setIndex(QStringLiteral("inv%1").arg(vendor));
        Data2->recordset()->moveFirst();
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The prices of vendor # %1 could not be updated: %2 No part was changed.").arg(vendor).arg(e.text()), 48);
    }
    list->addItems(notUpdated);
    ccrpProgressBar1->setValue(0);
    ccrpProgressBar1->hide();
    list->show();
    Label9->show();
}

void ChangePrice::UpdateProgress()
{
    --m_remaining;
    m_percent = qMin(100, percentDone(m_remaining, m_total));
    ccrpProgressBar1->setValue(m_percent);
    // Nothing else repaints the bar while the update runs.
    static QElapsedTimer sincePaint;
    if (!sincePaint.isValid() || sincePaint.elapsed() > 100) {
        ccrpProgressBar1->repaint();
        sincePaint.restart();
    }
}

void ChangePrice::MnuOrderPriceDisk_Click()
{
    ShowHelpTopic(1650);
}

void ChangePrice::MnuFileExit_Click()
{
    MainWindowLock::release(this);
    close();
}

void ChangePrice::closeEvent(QCloseEvent* event)
{
    MainWindowLock::release(this);
    QMainWindow::closeEvent(event);
}
