#include "UsagePrompts.h"

#include "ReportLauncher.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QString laneWarning = QStringLiteral("Please enter starting and ending lane numbers!");
const QString dateWarning = QStringLiteral("A Starting & Ending Date Is Required");
constexpr int usagePromptsHelp = 470;

QFont promptFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The look both prompts share: a fixed window of the given client size in twips.
void setUpWindow(QWidget* window, const QString& objectName, const QString& caption, int widthTwips, int heightTwips)
{
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setFont(promptFont(8.25, true));
    window->resize(twipsRect(0, 0, widthTwips, heightTwips).size());
    setHelpContext(window, usagePromptsHelp);
}

QLabel* instruction(QWidget* window, const QString& text)
{
    auto* label = new QLabel(text, window);
    label->setObjectName(QStringLiteral("Label1"));
    label->setFont(promptFont(9, true));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    placeTwips(label, 120, 90, 5460, 360);
    return label;
}

QGroupBox* frame(QWidget* window, const char* name, const QString& caption, int left)
{
    auto* box = new QGroupBox(caption, window);
    box->setObjectName(QString::fromLatin1(name));
    placeTwips(box, left, 540, 2670, 900);
    return box;
}

QPushButton* button(QWidget* window, const char* name, const QString& caption, int left)
{
    auto* b = new QPushButton(caption, window);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    placeTwips(b, left, 1620, 1215, 420);
    return b;
}

// The whole text of a box is selected when it gains the focus, after the mouse press that
// gave it has placed the cursor.
void selectAllLater(QLineEdit* box)
{
    QTimer::singleShot(0, box, [box] { box->selectAll(); });
}

} // namespace

std::optional<int> ParseLaneNumber(const QString& text)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch m = wholeNumber.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

QString LaneRangeQuery(int start, int end)
{
    return QStringLiteral("Select * from PartsUsage where [Lane Number] >= ") + QString::number(start)
        + QStringLiteral(" and [Lane Number] <= ") + QString::number(end);
}

QString LaneRangeFormula(int start, int end)
{
    // No blank before "to": the formula language reads "1to" as the number and the keyword.
    return QStringLiteral("{PartsUsage.Lane Number} in ") + QString::number(start) + QStringLiteral("to ") + QString::number(end);
}

QString DateRangeFormula(const QString& startText, const QString& endText)
{
    auto date = [](const QString& t) {
        const QString month = t.left(2);
        const QString day = t.mid(3, 2);
        const QString year = t.right(4);
        return QStringLiteral("Date (") + year + u',' + month + u',' + day + u')';
    };
    return QStringLiteral("{PartsUsage.Date Used} >= ") + date(startText) + QStringLiteral(" and {PartsUsage.Date Used} <= ")
        + date(endText);
}

// ---------------------------------------------------------------------------------------------
// Lane range

LaneNumber::LaneNumber(QWidget* parent)
    : QWidget(parent)
    , CrystalReport1(ReportControl::create())
{
    setUpWindow(this, QStringLiteral("LaneNumber"), QStringLiteral("Lane Number Entry"), 5700, 2280);
    Label1 = instruction(this, QStringLiteral("To show parts used on specific lanes, fill in the blanks."));

    SSFrame1 = frame(this, "SSFrame1", QStringLiteral("Starting Lane Number"), 120);
    Text1 = new QLineEdit(SSFrame1);
    SSFrame2 = frame(this, "SSFrame2", QStringLiteral("Ending Lane Number"), 2910);
    Text2 = new QLineEdit(SSFrame2);
    int k = 1;
    for (QLineEdit* box : {Text1, Text2}) {
        box->setObjectName(QStringLiteral("Text%1").arg(k++));
        box->setAlignment(Qt::AlignCenter);
        box->setFont(promptFont(9.75, true));
        placeTwips(box, 855, 345, 960, 375);
        limitTyping(box, 3);
        box->installEventFilter(this);
    }

    Command1 = button(this, "Command1", QStringLiteral("&OK"), 1410);
    Command2 = button(this, "Command2", QStringLiteral("E&xit"), 3075);
    setDefaultButton(this, Command1);
    setCancelButton(this, Command2);
    connect(Command1, &QPushButton::clicked, this, &LaneNumber::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &LaneNumber::Command2_Click);

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setRecordSource(QStringLiteral("PartsUsage"));

    ReSize1 = new ProportionalResizer(this);
    ReSize1->captureDesign();
    Form_Load();
}

LaneNumber::~LaneNumber() = default;

void LaneNumber::Form_Load()
{
    Data1->setDatabaseName(InventoryDatabasePath());
}

bool LaneNumber::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == Text1)
            Text1_GotFocus();
        else if (watched == Text2)
            Text2_GotFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void LaneNumber::Text1_GotFocus()
{
    selectAllLater(Text1);
}

void LaneNumber::Text2_GotFocus()
{
    selectAllLater(Text2);
}

void LaneNumber::Command1_Click()
{
    // Only whole numbers reach the query and the formula; anything else is asked for again.
    const std::optional<int> start = ParseLaneNumber(Text1->text());
    const std::optional<int> end = ParseLaneNumber(Text2->text());
    if (!start || !end) {
        MsgBox(laneWarning, 0, QStringLiteral("Warning"));
        Text1->setFocus();
        return;
    }
    ReportRequest r;
    r.letterFile = QStringLiteral("PartsUsageByLane.rpt");
    r.hasA4Twin = true;
    r.placement = ReportPlacement::Bare;
    r.precondition = ReportPrecondition::onQuery(
        LaneRangeQuery(*start, *end),
        {QStringLiteral("No parts have been used in this lane number range."), 64, QStringLiteral("Notice"), true});
    r.precondition->moveFirst = true;
    r.selectionFormula = LaneRangeFormula(*start, *end);
    ReportLauncher(Data1, *CrystalReport1, r);
}

void LaneNumber::Command2_Click()
{
    close();
}

// ---------------------------------------------------------------------------------------------
// Date range

struct DateRange::Pointer {
    ArrowCursor arrow;
};

DateRange::DateRange(QWidget* parent)
    : QWidget(parent)
    , CrystalReport1(ReportControl::create())
{
    setUpWindow(this, QStringLiteral("DateRange"), QStringLiteral("Date"), 5700, 2280);
    Label1 = instruction(this, QStringLiteral("Enter a starting and ending date."));

    SSFrame1 = frame(this, "SSFrame1", QStringLiteral("Start Date"), 120);
    MaskEdBox1 = new DateMaskBox(QStringLiteral("99/99/9999"), SSFrame1);
    Label2 = new QLabel(QStringLiteral("MM/DD/YYYY"), SSFrame1);
    SSFrame2 = frame(this, "SSFrame2", QStringLiteral("End Date"), 2910);
    MaskEdBox2 = new DateMaskBox(QStringLiteral("99/99/9999"), SSFrame2);
    Label3 = new QLabel(QStringLiteral("MM/DD/YYYY"), SSFrame2);
    int k = 1;
    for (DateMaskBox* box : {MaskEdBox1, MaskEdBox2}) {
        box->setObjectName(QStringLiteral("MaskEdBox%1").arg(k++));
        box->setFont(promptFont(9.75, false));
        placeTwips(box, 150, 345, 1260, 375);
    }
    for (QLabel* hint : {Label2, Label3}) {
        hint->setObjectName(hint == Label2 ? QStringLiteral("Label2") : QStringLiteral("Label3"));
        hint->setFont(promptFont(8.25, false));
        placeTwips(hint, 1500, 390, 1080, 285);
    }

    Command1 = button(this, "Command1", QStringLiteral("&OK"), 1410);
    Command2 = button(this, "Command2", QStringLiteral("E&xit"), 3075);
    setDefaultButton(this, Command1);
    setCancelButton(this, Command2);
    connect(Command1, &QPushButton::clicked, this, &DateRange::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DateRange::Command2_Click);

    // Below the bottom edge of the client area: never seen, and kept out of the tab order.
    Text1 = new QPlainTextEdit(QStringLiteral("Text1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->installEventFilter(this);
    placeTwips(Text1, 120, 2400, 5460, 495);

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setRecordSource(QStringLiteral("PartsUsage"));

    ReSize1 = new ProportionalResizer(this);
    ReSize1->captureDesign();
    MaskEdBox1->setFocus();
    Form_Load();
}

DateRange::~DateRange() = default;

void DateRange::Form_Load()
{
    Data1->setDatabaseName(InventoryDatabasePath());
}

void DateRange::Form_Activate()
{
    // The menu command set the hourglass before showing the prompt.
    if (!m_pointer)
        m_pointer = std::make_unique<Pointer>();
}

bool DateRange::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WindowActivate:
        Form_Activate();
        break;
    case QEvent::Hide:
        m_pointer.reset();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool DateRange::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        Text1_GotFocus();
    return QWidget::eventFilter(watched, event);
}

void DateRange::Text1_GotFocus()
{
    Text1->selectAll();
}

void DateRange::Command1_Click()
{
    WaitCursor hourglass;
    if (MaskEdBox1->isBlank() || MaskEdBox2->isBlank()) {
        ArrowCursor arrow;
        MsgBox(dateWarning, 48, QStringLiteral("Warning"));
        MaskEdBox1->setFocus();
        return;
    }
    // A date partly typed or not on the calendar (13/45/2004) would make a formula the report
    // cannot run: it is asked for again, in the box that holds it.
    for (DateMaskBox* box : {MaskEdBox1, MaskEdBox2}) {
        if (!box->date()) {
            ArrowCursor arrow;
            MsgBox(dateWarning, 48, QStringLiteral("Warning"));
            box->setFocus();
            return;
        }
    }
    Text1->setPlainText(DateRangeFormula(MaskEdBox1->displayText(), MaskEdBox2->displayText()));

    ReportRequest r;
    r.letterFile = QStringLiteral("PartsUsageByDate.rpt");
    r.hasA4Twin = true;
    r.placement = ReportPlacement::Bare;
    r.selectionFormula = Text1->toPlainText();
    ReportLauncher(nullptr, *CrystalReport1, r);
}

void DateRange::Command2_Click()
{
    close();
}
