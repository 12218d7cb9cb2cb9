#include "parts/PartsScreen.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/Values.h"
#include "parts/PartsFonts.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <limits>

void usePartsTable(DataControl& data)
{
    data.setRecordsetType(Recordset::Kind::Table);
    data.setDatabaseName(InventoryDatabasePath());
    data.setRecordSource(QStringLiteral("Parts"));
}

void openPartsTable(DataControl& data, const QString& index)
{
    usePartsTable(data);
    data.refresh();
    data.recordset()->setIndex(index);
    data.recordset()->moveFirst();
}

void openInformation(DataControl& data)
{
    data.setDatabaseName(InventoryDatabasePath());
    data.setRecordSource(QStringLiteral("Information"));
    data.setRecordsetType(Recordset::Kind::Table);
    try {
        data.refresh();
    } catch (const DbError&) {
    }
}

QString partPositionCaption(const Recordset* rs)
{
    if (!rs || rs->isClosed())
        return QString();
    if (rs->editMode() == Recordset::EditMode::Adding)
        return QStringLiteral("New part");
    if (rs->hasCurrent())
        return QStringLiteral("Part %1 of %2").arg(rs->absolutePosition() + 1).arg(rs->recordCount());
    if (rs->recordCount() == 0)
        return QStringLiteral("No parts");
    return QString();
}

QString notAPriceText(const QString& typed)
{
    if (const std::optional<double> n = parseNumber(typed)) {
        if (*n < 0)
            return QStringLiteral("\"%1\" is below 0. Please enter the price as a number of 0 or more, for example 12.50.")
                .arg(typed);
        // A number beyond what money holds (1e15, 9e99) is refused for its size.
        return QStringLiteral("\"%1\" is too large to be a price. Please enter the price as a number, for example 12.50.")
            .arg(typed);
    }
    return QStringLiteral("\"%1\" is not a price. Please enter the price as a number, for example 12.50.").arg(typed);
}

QString notAWholeNumberText(const QString& typed)
{
    // A whole number beyond what a count field holds is too large, not "not a whole number".
    if (const std::optional<double> n = parseNumber(typed); n && !fitsLongField(*n))
        return QStringLiteral("\"%1\" is too large. Please enter a whole number of at most %2 here.")
            .arg(typed)
            .arg(std::numeric_limits<qint32>::max());
    return QStringLiteral("\"%1\" is not a whole number. Please enter a whole number here.").arg(typed);
}

QString notACountText(const QString& typed)
{
    const std::optional<double> n = parseNumber(typed);
    return QStringLiteral("\"%1\" is %2. Please enter a whole number of 0 or more here.")
        .arg(typed, n && *n < 0 ? QStringLiteral("below 0") : QStringLiteral("not a whole number"));
}

QString storedTooLargeText(const QString& field, const QString& shown)
{
    return QStringLiteral("This part's %1 (%2) is too large to be used here. Please enter the right value.").arg(field, shown);
}

// ---------------------------------------------------------------- the window

PartsScreen::PartsScreen(QWidget* parent, const Setup& setup)
    : QMainWindow(parent)
    , m_setup(setup)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(setup.name);
    setWindowTitle(setup.title);
    setFont(arialFont(setup.pointSize));
    Data1 = addDataControl(QStringLiteral("Data1"));
    // A visit to a part lasts while Data1 stands on it: a move that comes back to the same part (the
    // first part read again, a re-read in another order, "Next" on the last part, which passes the
    // end on its way back to it) goes on with the same visit.
    connect(Data1, &DataControl::reposition, this, [this] {
        const QString part = Data1->storedText(QStringLiteral("Record Number"));
        if (part.isEmpty())
            return;
        if (part != m_visitedPart)
            m_toldOnPart.clear();
        m_visitedPart = part;
    });
}

PartsScreen::~PartsScreen() = default;

void PartsScreen::build()
{
    buildControls();
    buildMenus();
    bindControls();
    wireHandlers();
    setHelpContext(this, m_setup.helpTopic);
    Form_Load();
    // Headings and values show what the user typed elsewhere (vendor makes, descriptions), which
    // may be wider than the box the layout gives them.
    fitLabelTexts(this);
}

QWidget* PartsScreen::addClientArea(int widthTwips, int heightTwips)
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    if (widthTwips > 0 && heightTwips > 0)
        client->resize(twipsToPx(widthTwips), twipsToPx(heightTwips));
    return client;
}

void PartsScreen::keepProportions(QWidget* client)
{
    resize(client->size());
    (new ProportionalResizer(this))->captureDesign();
}

DataControl* PartsScreen::addDataControl(const QString& name)
{
    auto* data = new DataControl(this);
    data->setObjectName(name);
    return data;
}

ColorScheme* PartsScreen::addColorScheme(const QString& name, ColorSchemeConfig config)
{
    auto* scheme = new ColorScheme(this, std::move(config));
    scheme->setObjectName(name);
    return scheme;
}

QWidget* PartsScreen::findPartFocusTarget(int)
{
    return nullptr;
}

// ---------------------------------------------------------------- activation and closing

bool PartsScreen::firstActivation()
{
    if (m_activated || m_unloaded)
        return false;
    m_activated = true;
    return true;
}

bool PartsScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

void PartsScreen::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    switch (m_setup.activation) {
    case Activation::None:
        break;
    case Activation::FirstShow:
        // Where the platform reports no activation, the first show stands for it.
        if (!m_activated)
            QMetaObject::invokeMethod(this, &PartsScreen::Form_Activate, Qt::QueuedConnection);
        break;
    case Activation::EveryShow:
        Form_Activate();
        break;
    }
}

QString PartsScreen::unsavedChangesQuestion()
{
    return QStringLiteral("The changes to this part could not be saved:\r%1\r\r"
                          "Close this screen anyway and lose them?");
}

bool PartsScreen::writeOrCloseAnyway(const std::function<void()>& write, const QString& question)
{
    try {
        write();
        return true;
    } catch (const DbError& e) {
        return MsgBox(question.arg(e.text()), 292) == Prompts::Yes;
    }
}

bool PartsScreen::closeParts()
{
    // The record check runs and the part is written, as on any leaving.
    return writeOrCloseAnyway([this] { Data1->close(); }, unsavedChangesQuestion());
}

void PartsScreen::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded) {
        ++m_inRule;   // the focus leaving with the window is not a leaving of a box
        const bool closed = closeParts();
        --m_inRule;
        if (!closed) {
            event->ignore();
            return;
        }
        Form_Unload();
    }
    QMainWindow::closeEvent(event);
}

void PartsScreen::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_findWindow)
        m_findWindow->close();
    MainWindowLock::release(this);
    if (!m_setup.raisesMainWindow)
        return;
    if (QWidget* main = MainWindowLock::mainWindow()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
}

// ---------------------------------------------------------------- shared commands

bool PartsScreen::hasPart() const
{
    const Recordset* rs = Data1->recordset();
    return rs && !rs->isClosed() && rs->hasCurrent();
}

bool PartsScreen::movePart(int which)
{
    Recordset* rs = Data1->recordset();
    if (!rs || rs->isClosed() || (rs->recordCount() == 0 && rs->editMode() != Recordset::EditMode::Adding))
        return false;
    try {
        switch (which) {
        case 0:
            rs->moveFirst();
            break;
        case 1:
            rs->movePrevious();
            if (rs->bof())
                rs->moveFirst();
            break;
        case 2:
            rs->moveNext();
            if (rs->eof())
                rs->moveLast();
            break;
        default:
            rs->moveLast();
            break;
        }
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    return true;
}

void PartsScreen::wireRecordButtons(QPushButton* first, QPushButton* previous, QPushButton* next,
                                    QPushButton* last, std::function<void()> afterMove)
{
    QPushButton* const buttons[4] = {first, previous, next, last};
    for (int which = 0; which < 4; ++which)
        connect(buttons[which], &QPushButton::clicked, this, [this, which, afterMove] {
            if (movePart(which) && afterMove)
                afterMove();
        });
}

void PartsScreen::retrievePart(const FindPartMember& member)
{
    FindPartWindow::RetrievePart(this, member, m_findWindow);
}

void PartsScreen::refuseNumber(QLineEdit* box, const QString& refusal, const QString& field, bool money)
{
    MsgBox(refusal, 48);
    box->setText(Data1->storedText(field, money ? BindFormat::Currency : BindFormat::General));
}

bool PartsScreen::acceptCount(QLineEdit* box, const QString& field, const QString& message, int style)
{
    const QString text = box->text();
    const std::optional<double> n = parseNumber(text);
    if (!n || isWholeCount(*n))
        return true;
    const QString stored = field.isEmpty() ? QStringLiteral("0") : Data1->storedText(field);
    if (!field.isEmpty() && text == stored)
        return true;
    ++m_inRule;
    MsgBox(message.isEmpty() ? notACountText(text) : message, style);
    box->setText(stored);
    --m_inRule;
    return false;
}

bool PartsScreen::showsStoredValue(const QString& text, const QString& field, bool money)
{
    if (text != Data1->storedText(field, money ? BindFormat::Currency : BindFormat::General))
        return false;
    const std::optional<double> n = parseNumber(text);
    const bool tooLarge = money ? text == OutOfRangeMark : n && !fitsLongField(*n);
    if (tooLarge && !m_toldOnPart.contains(field)) {
        m_toldOnPart.insert(field);
        ++m_inRule;
        MsgBox(storedTooLargeText(field, text), 48);
        --m_inRule;
    }
    return true;
}

void PartsScreen::centreOnScreen()
{
    const QScreen* s = screen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QSize outer = frameGeometry().size().expandedTo(size());
    move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
}
