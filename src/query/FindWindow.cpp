#include "query/FindWindow.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/JetSql.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "query/FilterHost.h"
#include "query/QueryFonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

// Client sizes: the compact window, and the advanced one that also shows the statement and the
// report formula (their lowest label ends at 7260).
constexpr int ClientWidth = 8970;
constexpr int CompactHeight = 3720;
constexpr int AdvancedHeight = 7380;
constexpr int RowStep = 330;
const QColor WindowGrey(0xC0, 0xC0, 0xC0);

const QStringList Comparisons = {
    QStringLiteral("Equals"),
    QStringLiteral("Is Not Equal To"),
    QStringLiteral("Is Greater Than"),
    QStringLiteral("Is Less Than"),
    QStringLiteral("Is Greater Than or Equal To"),
    QStringLiteral("Is Less Than or Equal To"),
};
const QStringList TextOperators = Comparisons + QStringList{
    QStringLiteral("Contains"),
    QStringLiteral("Does Not Contain"),
    QStringLiteral("Begins With"),
};

QPointer<FindWindow> theWindow;

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);   // drawn over the frames' lines
    placeTwips(label, left, top, width, height);
    return label;
}

QLabel* makeOutputLabel(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* label = makeLabel(parent, name, QString(), left, top, width, height);
    label->setFrameShape(QFrame::Box);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(3, 1, 3, 1);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::white);
    label->setPalette(p);
    return label;
}

QComboBox* makeList(QWidget* parent, const QString& name, const QString& tip, int left, int top, int width, int height)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setMaxVisibleItems(20);
    placeTwips(box, left, top, width, height);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int left, int top)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    placeTwips(button, left, top, 1300, 345);
    return button;
}

void moveByRows(QWidget* w, QWidget* first, int rows)
{
    w->setGeometry(first->geometry().translated(0, twipsToPx(RowStep * rows)));
}

int ask(const QString& text, int style, const QString& title = QString())
{
    ArrowCursor arrow;
    return MsgBox(text, style, title);
}

}  // namespace

// ---------------------------------------------------------------- the one window

FindWindow* FindWindow::instance()
{
    if (!theWindow) {
        theWindow = new FindWindow;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, theWindow.data(), &QObject::deleteLater);
    }
    return theWindow;
}

FindWindow* FindWindow::existingInstance()
{
    return theWindow;
}

void FindWindow::destroyInstance()
{
    delete theWindow.data();
}

void FindWindow::ShowFilter(FilterHost* host)
{
    FindWindow* w = nullptr;
    {
        WaitCursor hourglass;
        w = instance();
        w->prepare(host);
    }
    if (QWidget* owner = host->filterHostWindow(); owner && owner->windowHandle()) {
        w->winId();
        if (w->windowHandle())
            w->windowHandle()->setTransientParent(owner->windowHandle());
    }
    ShowModal(w);
}

FindWindow::FindWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindWindow"));
    setWindowTitle(QStringLiteral("Set Filter"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(queryFont(8));
    QPalette p = palette();
    p.setColor(QPalette::Window, WindowGrey);
    setPalette(p);
    setAutoFillBackground(true);
    buildControls();
    setCompactHeight();
    setHelpContext(this, 22);
}

void FindWindow::buildControls()
{
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral(" Find Records When:"), 225, 120, 1920, 195);
    Label1->setFont(queryFont(8, true));
    for (int i = 0; i < 5; ++i) {
        Field[i] = makeList(this, QStringLiteral("Field%1").arg(i), QStringLiteral("Select the database field to search on"),
                            300, 420 + RowStep * i, 2400, 288);
        Operator[i] = makeList(this, QStringLiteral("Operator%1").arg(i),
                               QStringLiteral("Select an operator from the drop down list"), 2880, 420 + RowStep * i, 2460, 288);
        Criteria[i] = new QLineEdit(this);
        Criteria[i]->setObjectName(QStringLiteral("Criteria%1").arg(i));
        placeTwips(Criteria[i], 5520, 420 + RowStep * i, 2000, 300);
        upperCaseTyping(Criteria[i]);
        if (i < 4)
            Condition[i] = makeList(this, QStringLiteral("Condition%1").arg(i),
                                    QStringLiteral("Pick from the drop down list to make or more defined filter"), 7740,
                                    420 + RowStep * i, 792, 288);
    }
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral(" Sort Found Records By:"), 240, 2250, 2175, 195);
    Label2->setFont(queryFont(8, true));
    for (int j = 0; j < 3; ++j) {
        SortField[j] = makeList(this, QStringLiteral("SortField%1").arg(j),
                                QStringLiteral("Enter a database field here to sort all filtered records on"), 225,
                                2535 + RowStep * j, 2400, 300);
        SortOrder[j] = makeList(this, QStringLiteral("SortOrder%1").arg(j), QString(), 2655, 2535 + RowStep * j, 1650, 300);
    }
    // The two grey squares took the focus to reset the rows when tabbed onto; they stay out of
    // the tab order, so moving through the window with Tab never wipes what was entered.
    Picture2 = new QFrame(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    placeTwips(Picture2, 5100, 2190, 255, 270);
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    placeTwips(Picture1, 4680, 2190, 255, 270);
    for (QFrame* f : {Picture1, Picture2})
        f->setFocusPolicy(Qt::NoFocus);

    CountCheck = new QCheckBox(QStringLiteral("Count &Records "), this);
    CountCheck->setObjectName(QStringLiteral("CountCheck"));
    CountCheck->setToolTip(QStringLiteral("Check this box to count all records you specify in the filter"));
    placeTwips(CountCheck, 4620, 2580, 1680, 204);
    DeleteCheck = new QCheckBox(QStringLiteral("&Delete Found Records"), this);
    DeleteCheck->setObjectName(QStringLiteral("DeleteCheck"));
    DeleteCheck->setToolTip(QStringLiteral("Check this box to delete all records you specify in the filter"));
    placeTwips(DeleteCheck, 6360, 2580, 2325, 200);

    ClearSortButton = makeButton(this, QStringLiteral("ClearSortButton"), QStringLiteral("Clear &Sort"),
                                 QStringLiteral("Clears all of the \"Sort\" windows"), 4608, 2880);
    ClearButton = makeButton(this, QStringLiteral("ClearButton"), QStringLiteral("Clear &Find"),
                             QStringLiteral("Clears all of the find windows above"), 6036, 2880);
    AdvancedButton = makeButton(this, QStringLiteral("AdvancedButton"), QStringLiteral("&Advanced..."),
                                QStringLiteral("Click here to show \"Advanced\" features"), 7488, 2880);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("&Cancel Filter"),
                          QStringLiteral("Click here to cancel all active filters"), 4608, 3300);
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("E&xit"),
                              QStringLiteral("Click here to return"), 6036, 3300);
    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("&OK"),
                          QStringLiteral("Click here to \"Build\" the filter"), 7488, 3300);
    OKButton->setDefault(true);

    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Filter Statement"), 120, 3840, 2172, 192);
    SQLLabel = makeOutputLabel(this, QStringLiteral("SQLLabel"), 80, 4080, 8700, 900);
    Label5 = makeLabel(this, QStringLiteral("Label5"), QStringLiteral("Report Filter"), 120, 5040, 2292, 192);
    Label4 = makeOutputLabel(this, QStringLiteral("Label4"), 80, 5244, 8700, 900);
    Label6 = makeOutputLabel(this, QStringLiteral("Label6"), 80, 6240, 8700, 300);
    Label7 = makeOutputLabel(this, QStringLiteral("Label7"), 80, 6600, 8700, 300);
    Label8 = makeOutputLabel(this, QStringLiteral("Label8"), 80, 6960, 8700, 300);
    SQLLabel->installEventFilter(this);

    // The tab order: each criteria row, then the sort rows, then the buttons and boxes.
    QList<QWidget*> order;
    for (int i = 0; i < 5; ++i) {
        order << Field[i] << Operator[i] << Criteria[i];
        if (i < 4)
            order << Condition[i];
    }
    for (int j = 0; j < 3; ++j)
        order << SortField[j] << SortOrder[j];
    order << OKButton << CancelButton << AdvancedButton << ClearSortButton << ClearButton << CountCheck << DeleteCheck
          << Command1;
    for (int k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);

    // Everything but the first field and sort lists starts hidden; rows appear as they are filled.
    for (int i = 0; i < 5; ++i) {
        Operator[i]->hide();
        Criteria[i]->hide();
        if (i < 4)
            Condition[i]->hide();
        if (i > 0)
            Field[i]->hide();
    }
    for (int j = 0; j < 3; ++j) {
        SortOrder[j]->hide();
        if (j > 0)
            SortField[j]->hide();
    }
    CountCheck->hide();
    DeleteCheck->hide();
    m_fieldLoaded[0] = true;
    m_rowLoaded[0] = true;
    m_sortFieldLoaded[0] = true;
    m_sortOrderLoaded[0] = true;

    for (int i = 0; i < 5; ++i) {
        connect(Field[i], &QComboBox::activated, this, [this, i] { Field_Click(i); });
        connect(Operator[i], &QComboBox::activated, this, [this, i] { Operator_Click(i); });
        connect(Criteria[i], &QLineEdit::textEdited, this, [this, i] { Criteria_KeyUp(i); });
        if (i < 4)
            connect(Condition[i], &QComboBox::activated, this, [this, i] { Condition_Click(i); });
    }
    for (int j = 0; j < 3; ++j)
        connect(SortField[j], &QComboBox::activated, this, [this, j] { SortField_Click(j); });
    connect(AdvancedButton, &QPushButton::clicked, this, &FindWindow::AdvancedButton_Click);
    connect(ClearButton, &QPushButton::clicked, this, &FindWindow::ClearButton_Click);
    connect(ClearSortButton, &QPushButton::clicked, this, &FindWindow::ClearSortButton_Click);
    // Cleared by code (Exit) as well as by a click: both re-enable the sort rows.
    connect(DeleteCheck, &QCheckBox::toggled, this, &FindWindow::DeleteCheck_Click);
    connect(OKButton, &QPushButton::clicked, this, &FindWindow::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &FindWindow::Command1_Click);
    connect(CancelButton, &QPushButton::clicked, this, &FindWindow::CancelButton_Click);
}

void FindWindow::setCompactHeight()
{
    setFixedSize(twipsToPx(ClientWidth), twipsToPx(CompactHeight));
}

void FindWindow::setAdvancedHeight()
{
    setFixedSize(twipsToPx(ClientWidth), twipsToPx(AdvancedHeight));
    // It grows downwards from where it stands; on a low screen it moves up so that all of it shows.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QRect frame = frameGeometry();
        if (frame.bottom() > area.bottom())
            move(pos().x(), qMax(area.top(), pos().y() - (frame.bottom() - area.bottom())));
    }
}

// ---------------------------------------------------------------- host and loading

void FindWindow::prepare(FilterHost* host)
{
    m_host = host;
    m_hostGuard = dynamic_cast<QObject*>(host);
    if (!m_loaded)
        Form_Load();
}

FilterHost* FindWindow::host() const
{
    return m_hostGuard ? m_host : nullptr;
}

DataControl* FindWindow::data() const
{
    FilterHost* h = host();
    return h ? h->filterDataControl() : nullptr;
}

void FindWindow::Form_Load()
{
    WaitCursor hourglass;
    m_loaded = true;

    // The fields of the data source, in the order the recordset holds them.
    m_fields.clear();
    if (DataControl* dc = data()) {
        try {
            std::shared_ptr<Recordset> rs = dc->sharedRecordset();
            if (!rs || rs->isClosed()) {
                // Not open yet: the table's own definition gives the same fields.
                auto conn = Connection::open(resolveNoCase(dc->databaseName()));
                rs = Recordset::openTable(conn, ::GetTableName(dc->recordSource()).remove(u'[').remove(u']'));
            }
            for (int k = 0; k < rs->fieldCount(); ++k)
                m_fields.append({rs->fieldName(k), fieldTypeCode(rs->fieldType(k))});
        } catch (const DbError&) {
            // No fields to offer: the lists hold only their first entries.
        }
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    ResetFindRows();
    Field[0]->setCurrentIndex(0);
    Field_Click(0);
    ResetSortRows();
    SortField[0]->setCurrentIndex(0);
    SortField_Click(0);
}

void FindWindow::FillFieldList(int i)
{
    QComboBox* box = Field[i];
    box->clear();
    if (i == 0)
        box->addItem(FindAllRecords, 0);
    // A field of no type group could not be filtered on: it is not offered.
    for (const auto& [name, code] : std::as_const(m_fields))
        if (fieldGroup(code) != FieldGroup::None)
            box->addItem(name, code);
    box->setCurrentIndex(-1);
    m_operatorTag[i].clear();
}

void FindWindow::FillSortFieldList(int j)
{
    QComboBox* box = SortField[j];
    box->clear();
    if (j == 0)
        box->addItem(DoNotSort, 0);
    for (const auto& [name, code] : std::as_const(m_fields))
        if (code != TypeCode::Memo && code != TypeCode::Binary && code != TypeCode::LongBinary)
            box->addItem(name, code);
    box->setCurrentIndex(-1);
}

void FindWindow::unloadRow(int i)
{
    if (i < 4) {
        Condition[i]->clear();
        Condition[i]->hide();
    }
    Criteria[i]->clear();
    Criteria[i]->hide();
    Field[i]->clear();
    Field[i]->hide();
    Operator[i]->clear();
    Operator[i]->hide();
    m_operatorTag[i].clear();
    m_fieldLoaded[i] = false;
    m_rowLoaded[i] = false;
}

void FindWindow::unloadSortRow(int j)
{
    SortField[j]->clear();
    SortField[j]->hide();
    SortOrder[j]->clear();
    SortOrder[j]->hide();
    m_sortFieldLoaded[j] = false;
    m_sortOrderLoaded[j] = false;
}

void FindWindow::ResetFindRows()
{
    Field[0]->clear();
    Operator[0]->clear();
    Operator[0]->hide();
    Criteria[0]->hide();
    Criteria[0]->clear();
    Condition[0]->clear();
    Condition[0]->addItems({QStringLiteral("And"), QStringLiteral("Or")});
    Condition[0]->setCurrentIndex(-1);
    Condition[0]->hide();
    for (int i = 1; i < 5; ++i)
        unloadRow(i);
    FillFieldList(0);
}

void FindWindow::ResetSortRows()
{
    SortField[0]->clear();
    SortOrder[0]->clear();
    SortOrder[0]->hide();
    for (int j = 1; j < 3; ++j)
        unloadSortRow(j);
    FillSortFieldList(0);
}

// ---------------------------------------------------------------- rows

void FindWindow::fillOperators(int i, int typeCode)
{
    QString tag;
    QStringList operators;
    QString criteria;
    switch (typeCode) {
    case TypeCode::YesNo:
        tag = QStringLiteral("Boolean");
        operators = {QStringLiteral("Equals")};
        criteria = QStringLiteral("Yes");
        break;
    case TypeCode::Byte:
    case TypeCode::Integer:
    case TypeCode::Long:
    case TypeCode::Currency:
    case TypeCode::Single:
    case TypeCode::Double:
        tag = QStringLiteral("Number");
        operators = Comparisons;
        break;
    case TypeCode::Date:
        tag = QStringLiteral("Date");
        operators = Comparisons;
        break;
    case TypeCode::Text:
    case TypeCode::Memo:
        tag = QStringLiteral("Text");
        operators = TextOperators;
        break;
    default:
        return;   // the operator box keeps its list
    }
    // The same kind of field keeps the operator and the criterion already chosen.
    if (m_operatorTag[i] == tag)
        return;
    m_operatorTag[i] = tag;
    Criteria[i]->setText(criteria);
    Operator[i]->clear();
    Operator[i]->addItems(operators);
    Operator[i]->show();
    Operator[i]->setCurrentIndex(0);
}

void FindWindow::Field_Click(int i)
{
    if (Field[0]->currentText() == FindAllRecords) {
        if (!Operator[0]->isHidden())
            Picture1_GotFocus();
        UpdateFilterPreview();
        return;
    }
    if (i < 0 || i > 4 || Field[i]->currentText().isEmpty())
        return;

    if (i > 0) {
        if (!m_rowLoaded[i]) {
            moveByRows(Criteria[i], Criteria[0], i);
            moveByRows(Operator[i], Operator[0], i);
            if (i < 4)
                moveByRows(Condition[i], Condition[0], i);
        }
        Criteria[i]->clear();
        m_operatorTag[i].clear();
        if (i < 4 && Condition[i]->count() == 0) {
            Condition[i]->addItems({QStringLiteral("And"), QStringLiteral("Or")});
            Condition[i]->setCurrentIndex(-1);
        }
    }
    m_rowLoaded[i] = true;
    Criteria[i]->show();
    Operator[i]->show();
    if (i < 4)
        Condition[i]->show();

    fillOperators(i, Field[i]->currentData().toInt());

    Criteria[i]->setFocus(Qt::OtherFocusReason);
    UpdateFilterPreview();
}

void FindWindow::Operator_Click(int)
{
    UpdateFilterPreview();
}

void FindWindow::Criteria_KeyUp(int)
{
    UpdateFilterPreview();
}

void FindWindow::Condition_Click(int i)
{
    if (i < 0 || i > 3 || Condition[i]->currentIndex() < 0 || m_fieldLoaded[i + 1]) {
        UpdateFilterPreview();
        return;
    }
    const int next = i + 1;
    m_fieldLoaded[next] = true;
    moveByRows(Field[next], Field[0], next);
    Field[next]->show();
    FillFieldList(next);
    UpdateFilterPreview();
}

void FindWindow::SortField_Click(int j)
{
    if (SortField[0]->currentText() == DoNotSort) {
        if (!SortOrder[0]->isHidden())
            Picture2_GotFocus();
        UpdateFilterPreview();
        return;
    }
    if (j < 0 || j > 2 || SortField[j]->currentText().isEmpty())
        return;
    m_sortOrderLoaded[j] = true;
    moveByRows(SortOrder[j], SortOrder[0], j);
    if (SortOrder[j]->count() == 0) {
        SortOrder[j]->addItems({QStringLiteral("Ascending"), QStringLiteral("Descending")});
        SortOrder[j]->setCurrentIndex(0);
    }
    SortOrder[j]->show();
    if (j < 2) {
        const int next = j + 1;
        m_sortFieldLoaded[next] = true;
        moveByRows(SortField[next], SortField[0], next);
        if (SortField[next]->count() == 0)
            FillSortFieldList(next);
        SortField[next]->show();
    }
    UpdateFilterPreview();
}

void FindWindow::Picture1_GotFocus()
{
    ResetFindRows();
    Field[0]->setCurrentIndex(0);
    Field[0]->setFocus(Qt::OtherFocusReason);
}

void FindWindow::Picture2_GotFocus()
{
    ResetSortRows();
    SortField[0]->setCurrentIndex(0);
    SortField[0]->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- buttons and boxes

bool FindWindow::isAdvanced() const
{
    return AdvancedButton->isHidden();
}

void FindWindow::AdvancedButton_Click()
{
    WaitCursor hourglass;
    CountCheck->show();
    DeleteCheck->show();
    AdvancedButton->hide();
    // Taller, so that the statement and the report formula below the buttons can be read.
    setAdvancedHeight();
    update();
    CountCheck->setFocus(Qt::OtherFocusReason);
    UpdateFilterPreview();
}

void FindWindow::ClearButton_Click()
{
    {
        WaitCursor hourglass;
        ResetFindRows();
    }
    Field[0]->setCurrentIndex(0);
    Field_Click(0);
    Field[0]->setFocus(Qt::OtherFocusReason);
}

void FindWindow::ClearSortButton_Click()
{
    {
        WaitCursor hourglass;
        SortOrder[0]->hide();
        ResetSortRows();
    }
    SortField[0]->setCurrentIndex(0);
    SortField_Click(0);
    SortField[0]->setFocus(Qt::OtherFocusReason);
}

void FindWindow::DeleteCheck_Click()
{
    // A delete takes no sort order.
    if (DeleteCheck->isChecked()) {
        if (SortField[0]->currentIndex() != 0) {
            {
                WaitCursor hourglass;
                SortOrder[0]->hide();
                ResetSortRows();
            }
            SortField[0]->setCurrentIndex(0);
        }
        SortField[0]->setEnabled(false);
    } else {
        SortField[0]->setEnabled(true);
    }
    UpdateFilterPreview();
}

void FindWindow::SQLLabel_Click()
{
    UpdateFilterPreview();
}

void FindWindow::UpdateFilterPreview()
{
    // Only what the window shows changes: the filter in effect and its formula stay as applied.
    if (isAdvanced())
        SQLLabel->setText(CreateSQLStatement());
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SQLLabel && event->type() == QEvent::MouseButtonPress)
        SQLLabel_Click();
    return QDialog::eventFilter(watched, event);
}

void FindWindow::reject()
{
    CancelButton_Click();
}

// ---------------------------------------------------------------- building

QList<FilterRow> FindWindow::criteriaRows() const
{
    QList<FilterRow> rows;
    for (int i = 0; i < 5 && m_fieldLoaded[i]; ++i) {
        FilterRow r;
        r.field = Field[i]->currentText();
        r.typeCode = Field[i]->currentIndex() >= 0 ? Field[i]->currentData().toInt() : 0;
        if (m_rowLoaded[i]) {
            r.op = Operator[i]->currentText();
            r.criteria = Criteria[i]->text();
            if (i < 4)
                r.condition = Condition[i]->currentText();
        }
        rows.append(r);
    }
    return rows;
}

FilterRequest FindWindow::request() const
{
    FilterRequest r;
    if (DataControl* dc = data())
        r.recordSource = dc->recordSource();
    r.rows = criteriaRows();
    for (int j = 0; j < 3 && m_sortFieldLoaded[j]; ++j)
        r.sorts.append({SortField[j]->currentText(), m_sortOrderLoaded[j] ? SortOrder[j]->currentText() : QString()});
    r.deleteMode = DeleteCheck->isChecked();
    return r;
}

QString FindWindow::GetTableName() const
{
    const DataControl* dc = data();
    return ::GetTableName(dc ? dc->recordSource() : QStringLiteral("Parts"));
}

FilterStatement FindWindow::build()
{
    const FilterStatement built = ::CreateSQLStatement(request());
    Label4->setText(built.report.formula);
    Label6->setText(built.report.sortFields[0]);
    Label7->setText(built.report.sortFields[1]);
    Label8->setText(built.report.sortFields[2]);
    return built;
}

QString FindWindow::CreateSQLStatement()
{
    return build().statement;
}

bool FindWindow::CheckCriteria()
{
    QList<FilterRow> rows;
    for (const FilterRow& r : criteriaRows()) {
        if (r.field.isEmpty())
            break;   // no entry chosen: the rows end here
        rows.append(r);
    }
    const CriteriaCheck check = ::CheckCriteria(rows);
    const int rewritten = check.ok ? int(rows.size()) : check.failedRow;
    for (int i = 0; i < rewritten; ++i)
        if (Criteria[i]->text() != check.criteria[i])
            Criteria[i]->setText(check.criteria[i]);
    if (check.ok)
        return true;
    const int i = check.failedRow;
    Beep();
    ask(check.message, 48, check.title);
    if (Criteria[i]->text() != check.criteria[i])
        Criteria[i]->setText(check.criteria[i]);
    Criteria[i]->setFocus(Qt::OtherFocusReason);
    return false;
}

// ---------------------------------------------------------------- applying

FindWindow::Kept FindWindow::keep() const
{
    Kept k;
    DataControl* dc = data();
    k.source = dc->recordSource();
    if (const Recordset* rs = dc->recordset(); rs && !rs->isClosed()) {
        k.openKind = int(rs->kind());
        k.index = rs->index();
    }
    return k;
}

// Puts the data source back on what it showed before a statement was tried.
bool FindWindow::restore(const Kept& kept)
{
    DataControl* dc = data();
    const Recordset::Kind setting = dc->recordsetType();
    try {
        dc->setRecordSource(kept.source);
        if (kept.openKind >= 0)
            dc->setRecordsetType(Recordset::Kind(kept.openKind));
        dc->refresh();
        if (!kept.index.isEmpty() && dc->recordset()->kind() == Recordset::Kind::Table) {
            dc->recordset()->setIndex(kept.index);
            if (dc->recordset()->recordCount() > 0)
                dc->recordset()->moveFirst();
        }
        dc->setRecordsetType(setting);
        return true;
    } catch (const DbError& e) {
        dc->setRecordsetType(setting);
        ask(e.text(), 48);
        return false;
    }
}

// A re-read drops what was typed into the current part, so it is saved first (with the screen's
// record check). False when it cannot be saved: the command stops and nothing is lost.
bool FindWindow::savePending()
{
    DataControl* dc = data();
    Recordset* rs = dc->recordset();
    if (!rs || rs->isClosed() || !(dc->hasPendingChanges() || rs->isDirty()))
        return true;
    try {
        dc->update();
        return true;
    } catch (const DbError& e) {
        ask(e.text(), 48);
        return false;
    }
}

FindWindow::Applied FindWindow::apply(const QString& statement, bool indicatorsWhenFound, const CurrentFilterFormula& formula)
{
    FilterHost* h = host();
    DataControl* dc = data();
    const bool wasOn = h->filterOn();
    if (!savePending())
        return Applied::Failed;
    const Kept kept = keep();
    {
        WaitCursor hourglass;
        dc->setRecordSource(statement);
        try {
            dc->refresh();
        } catch (const DbError& e) {
            // The screen goes back to what it showed; nothing else changes.
            restore(kept);
            ask(e.text() + QStringLiteral("\r\r") + statement, 0);
            return Applied::Failed;
        }
    }
    if (dc->recordset()->recordCount() == 0) {
        // The filter in effect before (or none) is back, and the indicators say so.
        h->SetFilterIndicators(wasOn);
        Beep();
        const int answer = ask(QStringLiteral("Your filter has found no matching records.") + QStringLiteral("\r\r")
                                   + QStringLiteral("Try Again?"),
                               36, QStringLiteral("Sorry!"));
        {
            WaitCursor hourglass;
            restore(kept);
        }
        if (answer == Prompts::No)
            CancelButton_Click();
        return Applied::NoRecords;
    }
    h->SetFilterIndicators(indicatorsWhenFound);
    m_applied = formula;
    return Applied::Found;
}

void FindWindow::countFound(const QString& statement)
{
    // Counted on a copy, so that the screen's current part does not move.
    int n = 0;
    try {
        std::shared_ptr<Recordset> copy = data()->recordset()->clone();
        if (copy->recordCount() > 0)
            copy->moveLast();
        n = copy->recordCount();
        copy->close();
    } catch (const DbError&) {
        n = data()->recordset()->recordCount();
    }
    Beep();
    if (n == 1) {
        ask(QStringLiteral("1 Record Was Found."), 48, QStringLiteral("Found Record!"));
    } else {
        const bool sorted = statement.toLower().contains(QLatin1String("order by"));
        ask(QString::number(n) + QStringLiteral(" Records Were Found") + (sorted ? QStringLiteral(" And Sorted") : QString())
                + u'.',
            48, QStringLiteral("Found Records!"));
    }
}

bool FindWindow::confirmDelete(const QString& statement)
{
    int answer = Prompts::No;
    if (CountCheck->isChecked()) {
        // Counted on a recordset of its own: the screen's current part does not move.
        const QString counting = QStringLiteral("Select ") + statement.mid(7);
        int n = 0;
        try {
            WaitCursor hourglass;
            auto rs = Recordset::openDynaset(Connection::open(resolveNoCase(data()->databaseName())), counting);
            n = rs->recordCount();
            rs->close();
        } catch (const DbError& e) {
            ask(e.text() + QStringLiteral("\r\r") + counting, 0);
            return false;
        }
        Beep();
        if (n == 0) {
            answer = ask(QStringLiteral("By performing this function, you will not delete any records which meet the filter!")
                             + QStringLiteral("\r\r") + QStringLiteral("Try Again?"),
                         36, QStringLiteral("No Records Found!"));
            if (answer == Prompts::No)
                CancelButton_Click();
            return false;
        }
        answer = ask(QStringLiteral("By performing this function, you will delete ") + QString::number(n)
                         + QStringLiteral(" records which meet your filter!") + QStringLiteral("\r\r")
                         + QStringLiteral("Are you sure you wish to delete these records?"),
                     292, QStringLiteral("Confirm!"));
    } else {
        Beep();
        const QString text = statement.toLower().contains(QLatin1String("where"))
            ? QStringLiteral("Hint: Select the 'Count Records' checkbox before performing the function to find out how "
                             "many records will be deleted.")
                + QStringLiteral("\r\r")
                + QStringLiteral("Are you sure you wish to delete the records which meet the provided criteria?")
            : QStringLiteral("Are you sure you wish to delete all the records in this database?");
        answer = ask(text, 292, QStringLiteral("Confirm!"));
    }
    return answer == Prompts::Yes;
}

// The matching records go in one transaction: all of them, or (on any failure) none.
bool FindWindow::deleteRecords(const QString& statement)
{
    if (!savePending())
        return false;
    try {
        WaitCursor hourglass;
        auto conn = Connection::open(resolveNoCase(data()->databaseName()));
        Connection::Transaction transaction(*conn);
        conn->execute(translateJetSql(statement));
        transaction.commit();
        return true;
    } catch (const DbError& e) {
        ask(QStringLiteral("No records were deleted: ") + e.text() + QStringLiteral("\r\r") + statement, 48);
        return false;
    }
}

void FindWindow::OKButton_Click()
{
    FilterHost* h = host();
    if (!h || !data()) {
        CancelButton_Click();
        return;
    }
    if (!CheckCriteria())
        return;
    const FilterStatement built = build();
    QString statement = built.statement;
    if (statement.isEmpty())
        return;

    bool duplicateTest = true;
    if (statement.left(6).toLower() == QLatin1String("delete")) {
        if (!confirmDelete(statement) || !deleteRecords(statement))
            return;
        Beep();
        ask(QStringLiteral("The specified records (if any) have been deleted!") + QStringLiteral("\r\r")
                + QStringLiteral("An attempt to find all records will now be performed."),
            48, QStringLiteral("Finished Deleting!"));
        const QString table = GetTableName();
        statement = QStringLiteral("Select [") + table + QStringLiteral("].* From ") + table;
        duplicateTest = false;
    }

    if (duplicateTest && data()->recordSource() == statement) {
        Beep();
        const int answer = ask(QStringLiteral("The current filter you have requested matches the current filter previously set.")
                                   + QStringLiteral("\r\r") + QStringLiteral("Refresh the Database?"),
                               51, QStringLiteral("Filter Duplicated!"));
        if (answer == Prompts::No) {
            hide();
            return;
        }
        if (answer != Prompts::Yes)
            return;
    }

    if (apply(statement, !built.findAll, built.report) != Applied::Found)
        return;
    if (CountCheck->isChecked())
        countFound(statement);
    CancelButton_Click();
}

void FindWindow::returnToTable()
{
    DataControl* dc = data();
    try {
        WaitCursor hourglass;
        dc->close();
        dc->setRecordsetType(Recordset::Kind::Table);
        dc->setDatabaseName(InventoryDatabasePath());
        dc->setRecordSource(QStringLiteral("Parts"));
        dc->refresh();
        dc->recordset()->setIndex(QStringLiteral("inv1"));
        if (dc->recordset()->recordCount() > 0)
            dc->recordset()->moveFirst();
    } catch (const DbError& e) {
        ask(e.text(), 48);
    }
}

void FindWindow::Command1_Click()
{
    FilterHost* h = host();
    if (!h || !data()) {
        CancelButton_Click();
        return;
    }
    if (!h->filterOn()) {
        Beep();
        ask(QStringLiteral("There is no active filter to cancel !"), 48, QStringLiteral("Notice"));
        return;
    }
    {
        WaitCursor hourglass;
        SortOrder[0]->hide();
        ResetSortRows();
    }
    SortField[0]->setCurrentIndex(0);
    SortField_Click(0);
    ResetFindRows();
    Field[0]->setCurrentIndex(0);
    Field_Click(0);
    Field[0]->setFocus(Qt::OtherFocusReason);
    if (!CheckCriteria())
        return;
    const QString statement = CreateSQLStatement();
    if (statement.isEmpty())
        return;

    DataControl* dc = data();
    if (!savePending())
        return;
    const Kept kept = keep();
    {
        WaitCursor hourglass;
        dc->setRecordSource(statement);
        try {
            dc->refresh();
        } catch (const DbError& e) {
            restore(kept);
            ask(e.text() + QStringLiteral("\r\r") + statement, 0);
            return;
        }
    }
    if (dc->recordset()->recordCount() == 0) {
        // An empty parts table: said once, and the screen still goes back to the table.
        Beep();
        ask(QStringLiteral("Your filter has found no matching records.") + QStringLiteral("\r\r") + QStringLiteral("Try Again?"),
            36, QStringLiteral("Sorry!"));
    } else if (CountCheck->isChecked()) {
        countFound(statement);
    }
    hideAndReset();
    h->SetFilterIndicators(false);
    m_applied = CurrentFilterFormula();
    returnToTable();
}

void FindWindow::hideAndReset()
{
    hide();
    setCompactHeight();
    AdvancedButton->show();
    CountCheck->hide();
    DeleteCheck->hide();
    DeleteCheck->setChecked(false);
    CountCheck->setChecked(false);
}

void FindWindow::CancelButton_Click()
{
    hideAndReset();
    FilterHost* h = host();
    if (h && !h->filterOn()) {
        h->SetFilterIndicators(false);
        if (DataControl* dc = data())
            dc->setRecordsetType(Recordset::Kind::Dynaset);
    }
}

// ---------------------------------------------------------------- painting

void FindWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The frame around the criteria rows, and the etched one around the sort rows.
    painter.setPen(Qt::white);
    painter.drawRect(twipsRect(156, 228, 8628, 1920).adjusted(0, 0, -1, -1));
    const QRect sort = twipsRect(135, 2325, 4245, 1275).adjusted(0, 0, -1, -1);
    const int one = std::max(1, twipsToPx(15));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(sort);
    painter.setPen(Qt::white);
    painter.drawRect(sort.translated(one, one));
    paint3DFrame(painter, 3);
}

// A raised border width pixels deep inside the client area: white on the top and left, dark grey
// on the bottom and right.
void FindWindow::paint3DFrame(QPainter& painter, int width)
{
    if (isMinimized() || width < 1 || width > 20)
        return;
    const int w = this->width() - 1;
    const int h = this->height() - 1;
    painter.save();
    painter.setPen(QColor(0x80, 0x80, 0x80));
    for (int k = 0; k < width; ++k) {
        painter.drawLine(k, h - k, w, h - k);
        painter.drawLine(w - k, 0, w - k, h);
    }
    painter.setPen(Qt::white);
    for (int k = 0; k < width; ++k) {
        painter.drawLine(k, 0, k, h - k);
        painter.drawLine(0, k, w - k, k);
    }
    painter.restore();
}
