#include "utilities/ImportSetup.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "parts/PartsFonts.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/OldDataFolder.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "utilities/TrappedError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 7080;
constexpr int ClientHeight = 6120;

const QString DuplicatesCaption = QStringLiteral(
    "After your database was successfully imported, we have found the following list of part numbers that are duplicated in "
    "your database. You will need to remove these manually. ");
const QString CongratulationsCaption = QStringLiteral("Congratulations, your database was successfully imported.");

// What a pass that matched and added nothing says in place of the congratulations: how many old
// parts it read, and why none of them could be taken.
QString nothingImportedText(int vendor, const OldPartsCount& old)
{
    if (old.read == 0)
        return QStringLiteral("Nothing was imported: the older database holds no parts.");
    const auto have = [](int n) { return n == 1 ? QStringLiteral("1 has") : QStringLiteral("%1 have").arg(n); };
    QStringList why;
    if (old.badNumber > 0)
        why << QStringLiteral("%1 a vendor # %2 part number that does not sort after \"1\" (such as \"0123\", \"1\" or none)")
                   .arg(have(old.badNumber))
                   .arg(vendor);
    if (old.lowStock > 0)
        why << (why.isEmpty() ? have(old.lowStock) : QString::number(old.lowStock)) + QStringLiteral(" no minimum stock of at least 1");
    return QStringLiteral("Nothing was imported: of the %1 old part%2 read, %3, so none could be matched or added.")
        .arg(old.read)
        .arg(old.read == 1 ? QString() : QStringLiteral("s"))
        .arg(why.join(QStringLiteral(" and ")));
}

// The window's picture: the old program's disk passing its parts on to the database.
QPixmap importPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 80.0;
    p.scale(s, s);

    // A floppy disk.
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.setBrush(QColor(60, 70, 90));
    p.drawRoundedRect(QRectF(4, 6, 30, 30), 2, 2);
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(11, 6, 16, 10));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 22, 20, 12));

    // The arrow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 130, 40));
    QPainterPath arrow;
    arrow.moveTo(30, 42);
    arrow.lineTo(44, 42);
    arrow.lineTo(44, 36);
    arrow.lineTo(54, 47);
    arrow.lineTo(44, 58);
    arrow.lineTo(44, 52);
    arrow.lineTo(30, 52);
    arrow.closeSubpath();
    p.drawPath(arrow);

    // A database drum.
    p.setPen(QPen(QColor(20, 50, 110), 1.5));
    p.setBrush(QColor(90, 140, 220));
    p.drawRect(QRectF(52, 50, 24, 22));
    p.drawEllipse(QRectF(52, 67, 24, 8));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(53, 55, 22, 15));
    p.setPen(QPen(QColor(20, 50, 110), 1.5));
    p.setBrush(QColor(150, 190, 245));
    p.drawEllipse(QRectF(52, 46, 24, 8));
    return pixmap;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip, int left, int top, int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(arialFont(9, true));
    b->setToolTip(tip);
    placeTwips(b, left, top, width, height);
    return b;
}

}  // namespace

ImportSetup::ImportSetup(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ImportSetup"));
    setWindowTitle(QStringLiteral("Import Setup"));
    setFont(arialFont(8));
    setFixedSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));

    Data2 = new DataControl(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    Data2->setRecordSource(QStringLiteral("Parts"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    placeTwips(Image1, 240, 240, 1200, 1200);
    Image1->setPixmap(importPicture(twipsToPx(1200)));

    Frame1 = new QGroupBox(QStringLiteral("Import Data"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(arialFont(8, true));
    placeTwips(Frame1, 1680, 120, 5160, 1440);

    const QString click = QStringLiteral("\"Click\"");
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("Vendor # &1"), click + QStringLiteral(" to import vendor # 1 data"), 240, 480, 2220, 600);
    Command2 = makeButton(Frame1, "Command2", QStringLiteral("Continue Vendor #&1"), click + QStringLiteral(" now to continue importing vendor # 1 data"), 240, 480, 2220, 600);
    Command4 = makeButton(Frame1, "Command4", QStringLiteral("Vendor # &2"), click + QStringLiteral(" to import vendor # 2 data"), 2700, 480, 2220, 600);
    Command3 = makeButton(Frame1, "Command3", QStringLiteral("Continue Vendor #&2"), click + QStringLiteral(" now to continue importing vendor # 2 data"), 2700, 480, 2220, 600);
    Command2->hide();
    Command3->hide();

    ccrpProgressBar1 = new QProgressBar(this);
    ccrpProgressBar1->setObjectName(QStringLiteral("ccrpProgressBar1"));
    ccrpProgressBar1->setRange(0, 100);
    ccrpProgressBar1->setValue(0);
    placeTwips(ccrpProgressBar1, 240, 1740, 6600, 300);
    ccrpProgressBar1->hide();

    Label27 = new QLabel(DuplicatesCaption, this);
    Label27->setObjectName(QStringLiteral("Label27"));
    Label27->setWordWrap(true);
    Label27->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Label27, 240, 2160, 6600, 660);
    Label27->hide();

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    placeTwips(List1, 240, 2880, 6600, 2400);
    List1->hide();

    Command7 = makeButton(this, "Command7", QStringLiteral("E&xit"), QString(), 2820, 5460, 1440, 480);

    connect(Command1, &QPushButton::clicked, this, &ImportSetup::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ImportSetup::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &ImportSetup::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &ImportSetup::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &ImportSetup::Command7_Click);

    Form_Load();
}

ImportSetup::~ImportSetup() = default;

void ImportSetup::Form_Load()
{
    Data2->setDatabaseName(InventoryDatabasePath());
}

void ImportSetup::Command1_Click()
{
    preparePass(1);
}

void ImportSetup::Command2_Click()
{
    runPass(1);
}

void ImportSetup::Command4_Click()
{
    preparePass(2);
}

void ImportSetup::Command3_Click()
{
    runPass(2);
}

void ImportSetup::Command7_Click()
{
    close();
}

void ImportSetup::preparePass(int vendor)
{
    std::optional<WaitCursor> hourglass;
    if (vendor == 2)
        hourglass.emplace();
    if (!List1->isHidden()) {
        Beep();
        if (MsgBox(QStringLiteral("Do you want to clear the list of parts in the window?"), 324, QStringLiteral("Confirm?")) == Prompts::Yes)
            List1->clear();
    }
    if (!hourglass)
        hourglass.emplace();

    try {
        const QString folder = OldDataFolder::path();
        if (!QDir(folder).exists())
            throw DbError(EngineError::FileNotFound,
                          QStringLiteral("'%1' is not a valid path. Make sure that the path name is spelled correctly and that the "
                                         "folder of the older program's data (C:\\INVNTORY) is there.")
                              .arg(QDir::toNativeSeparators(folder)));
        m_pass = ImportPass::prepare(vendor, OldDataFolder::file(QStringLiteral("INVNTORY.DBF")), Data2->databaseName());
    } catch (const DbError& e) {
        // The window stays as it was before the button was pressed.
        hourglass.reset();
        MsgBox(e.text(), 48);
        return;
    }
    m_total = m_pass->total();
    m_remaining = m_total;
    m_percent = 0;

    const int other = vendor == 1 ? 2 : 1;
    continueButton(vendor)->show();
    prepareButton(vendor)->hide();
    prepareButton(other)->show();
    continueButton(other)->hide();
    Label27->hide();
    List1->hide();
}

void ImportSetup::runPass(int vendor)
{
    if (!m_pass || m_pass->vendor() != vendor)
        return;
    const OldPartsCount oldParts = m_pass->oldParts();
    ImportOutcome outcome;
    QString failure;
    {
        WaitCursor hourglass;
        ccrpProgressBar1->show();
        QElapsedTimer sincePaint;
        sincePaint.start();
        try {
            outcome = m_pass->run([&](int remaining) {
                m_remaining = remaining;
                m_percent = percentDone(m_remaining, m_total);
                ccrpProgressBar1->setValue(m_percent);
                // Nothing else repaints the bar while the pass runs.
                if (sincePaint.elapsed() > 100) {
                    ccrpProgressBar1->repaint();
                    sincePaint.restart();
                }
            });
        } catch (const DbError& e) {
            failure = e.text();
        }
        m_pass.reset();
        ccrpProgressBar1->hide();
        ccrpProgressBar1->setValue(0);
        continueButton(vendor)->hide();
        prepareButton(vendor)->show();
    }

    List1->addItems(outcome.added);
    if (!failure.isEmpty()) {
        MsgBox(QStringLiteral("The import could not be saved: %1 Nothing of this pass was imported.").arg(failure), 48);
    } else if (!outcome.failed.isEmpty()) {
        constexpr int Shown = 10;
        QStringList lines = outcome.failed.mid(0, Shown);
        if (outcome.failed.size() > Shown)
            lines << QStringLiteral("... and %1 more.").arg(outcome.failed.size() - Shown);
        MsgBox(QStringLiteral("%1 part(s) could not be imported, because a value does not fit its field:").arg(outcome.failed.size())
                   + QStringLiteral("\r\r") + lines.join(QLatin1Char('\r')),
               48);
    }

    const bool nothing = failure.isEmpty() && outcome.failed.isEmpty() && outcome.matched == 0 && outcome.added.isEmpty();
    if (nothing && List1->count() == 0) {
        Label27->setText(nothingImportedText(vendor, oldParts));
        Label27->show();
    } else if (List1->count() > 0) {
        Label27->setText(DuplicatesCaption);
        Label27->show();
        List1->show();
    } else if (failure.isEmpty() && outcome.failed.isEmpty()) {
        Label27->setText(CongratulationsCaption);
        Label27->show();
    }
    // The numbers an earlier pass added stay on show under their own heading, which tells what
    // they are; that this pass took nothing is said apart.
    if (nothing && List1->count() > 0)
        MsgBox(nothingImportedText(vendor, oldParts), 64);
}

// ---------------------------------------------------------------- ImportHelp

ImportHelp::ImportHelp(QWidget* parent)
    : QWidget(parent, Qt::Dialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ImportHelp"));
    setWindowTitle(QStringLiteral("Instructions"));
    setHelpContext(this, 1230);
    setFont(arialFont(10));
    setFixedSize(twipsToPx(5520), twipsToPx(2040));

    Label1 = new QLabel(QStringLiteral("For this import to work correctly, the file called INVNTORY.DBF must reside in a directory on your "
                                       "hard drive. It must be in a directory called C:\\INVNTORY."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Label1, 240, 240, 5040, 960);

    // This system has no drive C: the folder that stands for it.
    Label2 = new QLabel(QStringLiteral("On this computer that directory is %1").arg(QDir::toNativeSeparators(OldDataFolder::path())), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(arialFont(8));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    placeTwips(Label2, 240, 1320, 5040, 540);
}
