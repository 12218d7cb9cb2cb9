#include "parts/FindPartWindow.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "parts/PartsFonts.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

namespace {

constexpr int BoxChars = 14;
const int RowTops[3] = {756, 1164, 1560};
const int HeadingTops[3] = {780, 1164, 1560};

QString indexName(int vendor)
{
    return QStringLiteral("inv%1").arg(vendor);
}

// 1, 2 or 3 for the vendor indexes, 0 for any other (or none).
int vendorOfIndex(const QString& index)
{
    for (int n = 1; n <= 3; ++n)
        if (index.compare(indexName(n), Qt::CaseInsensitive) == 0)
            return n;
    return 0;
}

}  // namespace

FindPartMember FindPartMember::maintenance()
{
    FindPartMember m;
    m.name = QStringLiteral("RetWinMaintScreen");
    m.caption = QStringLiteral("Search Window");
    m.partNumberHeading = false;
    m.kindLeft = Recordset::Kind::Dynaset;
    m.notFoundText = QStringLiteral("Sorry, I couldn't find this part number!");
    return m;
}

FindPartMember FindPartMember::ordering()
{
    FindPartMember m;
    m.name = QStringLiteral("RetWinTagPart");
    m.caption = QStringLiteral("Retrieve Part Number");
    m.kindLeft = Recordset::Kind::Dynaset;
    m.notFoundText = QStringLiteral("Sorry, I couldn't find that part number!");
    return m;
}

FindPartMember FindPartMember::stockInput()
{
    FindPartMember m;
    m.name = QStringLiteral("RetWinModifyDataScreen");
    m.caption = QStringLiteral("Retrieve Part Number");
    m.kindLeft = Recordset::Kind::Table;
    m.notFoundText = QStringLiteral("Sorry, I couldn't find that part number!");
    return m;
}

FindPartMember FindPartMember::usage()
{
    FindPartMember m;
    m.name = QStringLiteral("RetWinUsePart");
    m.caption = QStringLiteral("Retrieve Part Number");
    m.disablesOpener = false;
    m.fallsBackToInv1 = false;
    m.kindLeft = Recordset::Kind::Table;
    m.notFoundText = QStringLiteral("Sorry, I couldn't find that part number!");
    m.clientHeightTwips = 3165;
    return m;
}

FindPartWindow::FindPartWindow(FindPartOpener* opener, FindPartMember member)
    : QWidget(nullptr, Qt::Dialog)
    , m_member(std::move(member))
    , m_opener(opener)
{
    // Not a child of the opener: a disabled parent would disable this window too.
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(m_member.name);
    setWindowTitle(m_member.caption);
    setFont(arialFont(8));
    setFixedSize(twipsToPx(6135), twipsToPx(m_member.clientHeightTwips));

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));

    SSFrame1 = new QGroupBox(QStringLiteral("Vendor"), this);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    placeTwips(SSFrame1, 360, 180, 5412, 2292);

    QPalette blue;
    blue.setColor(QPalette::WindowText, Qt::blue);

    Label5 = new QLabel(QStringLiteral("Part Number"), SSFrame1);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setPalette(blue);
    placeTwips(Label5, 2160, 480, 1992, 252);
    Label5->setVisible(m_member.partNumberHeading);

    QLabel** headings[3] = {&Label2, &Label3, &Label4};
    QLineEdit** boxes[3] = {&Text1, &Text2, &Text3};
    for (int i = 0; i < 3; ++i) {
        QLabel* heading = new QLabel(SSFrame1);
        heading->setObjectName(QStringLiteral("Label%1").arg(i + 2));
        heading->setPalette(blue);
        heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        placeTwips(heading, 144, HeadingTops[i], 2004, 200);
        *headings[i] = heading;

        QLineEdit* box = new QLineEdit(SSFrame1);
        box->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        placeTwips(box, 2160, RowTops[i], 2000, 300);
        limitTyping(box, BoxChars);
        *boxes[i] = box;
    }

    Command1 = new QPushButton(QStringLiteral("&Search"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(arialFont(9, true));
    placeTwips(Command1, 1557, 2640, 1452, 432);
    Command2 = new QPushButton(QStringLiteral("E&xit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(arialFont(9, true));
    placeTwips(Command2, 3075, 2640, 1500, 432);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);
    setTabOrder(Command1, Command2);

    setDefaultButton(this, Command1);
    setCancelButton(this, Command2);
    connect(Command1, &QPushButton::clicked, this, &FindPartWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FindPartWindow::Command2_Click);

    if (m_opener) {
        m_openerWindow = m_opener->findPartOpenerWindow();
        m_openerData = m_opener->findPartDataControl();
    }
    if (m_openerWindow) {
        // The window lives and dies with its opener.
        m_openerWindow->installEventFilter(this);
        connect(m_openerWindow.data(), &QObject::destroyed, this, &QWidget::close);
        winId();
        if (QWindow* parent = m_openerWindow->window()->windowHandle())
            windowHandle()->setTransientParent(parent);
    }

    Form_Load();
    fitLabelTexts(this);   // the vendor makes are what the user typed
}

FindPartWindow::~FindPartWindow()
{
    if (m_openerWindow)
        m_openerWindow->removeEventFilter(this);
}

QLineEdit* FindPartWindow::box(int vendor) const
{
    switch (vendor) {
    case 1: return Text1;
    case 2: return Text2;
    case 3: return Text3;
    default: return nullptr;
    }
}

void FindPartWindow::Form_Load()
{
    Data1->setDatabaseName(InventoryDatabasePath());
    Data1->setRecordSource(QStringLiteral("Information"));
    Data1->setRecordsetType(Recordset::Kind::Table);
    Data1->bind(Label2, QStringLiteral("Vendor 1"));
    Data1->bind(Label3, QStringLiteral("Vendor 2"));
    Data1->bind(Label4, QStringLiteral("Vendor 3"));
    try {
        Data1->refresh();
    } catch (const DbError&) {
        // No headings: the window still searches.
    }
}

FindPartWindow* FindPartWindow::RetrievePart(FindPartOpener* opener, const FindPartMember& member,
                                             QPointer<FindPartWindow>& window)
{
    if (!opener)
        return nullptr;
    DataControl* dc = opener->findPartDataControl();
    Recordset* rs = dc ? dc->recordset() : nullptr;
    const bool open = rs && !rs->isClosed();
    int vendor = open ? vendorOfIndex(rs->index()) : 0;
    if (vendor == 0) {
        if (!member.fallsBackToInv1)
            return nullptr;
        vendor = 1;
    }
    if (member.fallsBackToInv1 && open) {
        // The same index again (or vendor 1's), so that the seek runs on the order shown.
        try {
            rs->setIndex(indexName(vendor));
        } catch (const DbError&) {
            // A query result has no index; the search then skips its seeks.
        }
    }
    if (window && window->m_unloaded)
        window = nullptr;   // closed, waiting to be deleted: a new opening loads afresh
    if (!window) {
        window = new FindPartWindow(opener, member);
        window->show();
    }
    window->raise();
    window->activateWindow();
    window->focusBox(vendor);
    if (member.disablesOpener)
        if (QWidget* w = opener->findPartOpenerWindow())
            w->setEnabled(false);
    return window;
}

void FindPartWindow::focusBox(int vendor)
{
    if (QLineEdit* b = box(vendor))
        b->setFocus(Qt::OtherFocusReason);
}

bool FindPartWindow::openerAlive() const
{
    return m_openerWindow && m_openerWindow->isVisible() && m_openerData;
}

void FindPartWindow::enableOpener()
{
    if (m_openerWindow)
        m_openerWindow->setEnabled(true);
}

void FindPartWindow::Command1_Click()
{
    if (!openerAlive()) {
        close();
        return;
    }
    DataControl* dc = m_openerData;
    QLineEdit* boxes[3] = {Text1, Text2, Text3};
    // With nothing to search for, nothing happens: no seek, no message, no move.
    if (Text1->text().isEmpty() && Text2->text().isEmpty() && Text3->text().isEmpty())
        return;
    bool notFound = false;   // the last seek made found nothing
    for (int n = 1; n <= 3; ++n) {
        const QString text = boxes[n - 1]->text();   // as typed: blanks and letter case kept
        if (text.isEmpty())
            continue;
        // Each step that fails is skipped; the search goes on.
        if (Recordset* rs = dc->recordset()) {
            try {
                rs->setIndex(indexName(n));
            } catch (const DbError&) {
            }
            try {
                rs->seek(QStringLiteral(">="), text);
                notFound = rs->noMatch();
            } catch (const DbError&) {
                notFound = false;
            }
        }
        if (m_member.disablesOpener && openerAlive()) {
            enableOpener();
            if (QWidget* target = m_opener->findPartFocusTarget(n))
                target->setFocus(Qt::OtherFocusReason);
        }
        if (!openerAlive()) {   // a check on leaving the part may have ended the screen
            close();
            return;
        }
    }
    Recordset* rs = dc->recordset();
    if (notFound && rs && !rs->isClosed()) {
        MsgBox(m_member.notFoundText, 0);
        if (openerAlive()) {
            try {
                rs->moveFirst();
            } catch (const DbError&) {
            }
        }
    }
    enableOpener();
    if (m_openerData)
        m_openerData->setRecordsetType(m_member.kindLeft);
    close();
}

void FindPartWindow::Command2_Click()
{
    enableOpener();
    close();
}

void FindPartWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_member.disablesOpener && m_openerWindow) {
        enableOpener();
        m_openerWindow->activateWindow();
    }
}

void FindPartWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool FindPartWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_openerWindow && event->type() == QEvent::Hide && !m_openerWindow->isVisible())
        close();   // the opener has been closed
    return QWidget::eventFilter(watched, event);
}
