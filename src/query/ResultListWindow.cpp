#include "query/ResultListWindow.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/DbError.h"
#include "data/RecordsetModel.h"
#include "platform/AppFolder.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileOps.h"
#include "platform/Help.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"
#include "query/QueryFonts.h"

#include <QAction>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <memory>

namespace {

struct ColumnDef {
    const char* field;
    const char* caption;
    BindFormat format;
    bool number;
};

// The 24 columns; the first three take their headings from the configuration.
const ColumnDef Columns[24] = {
    {"Part Number 1", nullptr, BindFormat::General, false},
    {"Part Number 2", nullptr, BindFormat::General, false},
    {"Part Number 3", nullptr, BindFormat::General, false},
    {"Description", "Description", BindFormat::General, false},
    {"Part Memo", "Part Memo", BindFormat::General, false},
    {"Minimum Stock", "Min. Stock", BindFormat::General, true},
    {"In Stock", "In Stock", BindFormat::General, true},
    {"Location", "Location", BindFormat::General, false},
    {"Area of Machine", "Area of Machine", BindFormat::General, false},
    {"Price 1", "Price 1", BindFormat::Currency, true},
    {"Price 2", "Price 2", BindFormat::Currency, true},
    {"Price 3", "Price 3", BindFormat::Currency, true},
    {"Minimum Buy 1", "Min Buy 1", BindFormat::General, true},
    {"Minimum Buy 2", "Min Buy 2", BindFormat::General, true},
    {"Minimum Buy 3", "Min Buy 3", BindFormat::General, true},
    {"Package 1", "Pkg 1", BindFormat::General, true},
    {"Package 2", "Pkg 2", BindFormat::General, true},
    {"Package 3", "Pkg 3", BindFormat::General, true},
    {"Book 1", "Book 1", BindFormat::General, false},
    {"Book 2", "Book 2", BindFormat::General, false},
    {"Book 3", "Book 3", BindFormat::General, false},
    {"Page 1", "Page 1", BindFormat::General, false},
    {"Page 2", "Page 2", BindFormat::General, false},
    {"Page 3", "Page 3", BindFormat::General, false},
};

constexpr int ClientWidth = 12000;
constexpr int ClientHeight = 7200;

// The grid's rows: the recordset's records, the current one marked in the row headings.
class ListModel : public RecordsetModel {
public:
    using RecordsetModel::RecordsetModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.isValid() && index.column() < 24)
            return QVariant::fromValue(Columns[index.column()].number ? Qt::AlignRight | Qt::AlignVCenter
                                                                      : Qt::AlignLeft | Qt::AlignVCenter);
        return RecordsetModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical && role == Qt::DisplayRole)
            return section == currentRow() ? QStringLiteral("\u25B6") : QString();
        return RecordsetModel::headerData(section, orientation, role);
    }
};

int ask(const QString& text, int style, const QString& title = QString())
{
    ArrowCursor arrow;
    return MsgBox(text, style, title);
}

QString cellText(const QAbstractItemModel* model, int row, int column, bool shown)
{
    QString s = model->data(model->index(row, column), shown ? Qt::DisplayRole : Qt::EditRole).toString();
    if (!shown) {
        const QVariant v = model->data(model->index(row, column), Qt::EditRole);
        if (v.metaType().id() == QMetaType::QDate)
            s = v.toDate().toString(Qt::ISODate);
    }
    for (QChar& c : s)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    return s;
}

}  // namespace

// ---------------------------------------------------------------- configurations

ResultListConfig ResultListConfig::ShowData1()
{
    ResultListConfig c;
    c.name = QStringLiteral("ShowData1");
    c.partNumberCaptions = {QStringLiteral("Part Number 1"), QStringLiteral("Part Number 2"), QStringLiteral("Part Number 3")};
    c.columnWidths = {2196, 2117, 2143, 4128, 3200, 1588, 1296, 1640, 2408, 1217, 1270, 1217,
                      1482, 1508, 1482, 1005, 979, 1005, 1217, 1296, 1244, 1164, 1164, 1164};
    c.colorTable = QStringLiteral("List1Colors");
    c.colorMenuName = QStringLiteral("MnuList1Colors");
    c.colorItemNames = {QStringLiteral("MnuList1BackGround"), QStringLiteral("MnuList1Text1"),
                        QStringLiteral("MnuList1ListWindow"), QStringLiteral("MnuList1Text"),
                        QStringLiteral("MnuList1BackGround1"), QStringLiteral("MnuList1FirstRow"),
                        QStringLiteral("MnuList1NextRow")};
    c.listTextCaption = QStringLiteral("Text");
    c.printMenuName = QStringLiteral("MnuPrintList1");
    c.printItemNames = {QStringLiteral("MnuPrintAllRows"), QStringLiteral("MnuPrintHighlighted"),
                        QStringLiteral("MnuPrintNonHighlighted")};
    c.exportMenuName = QStringLiteral("MnuExport");
    c.exportItemNames = {QStringLiteral("MnuExportAll"), QStringLiteral("MnuExportAllHighlighted"),
                         QStringLiteral("MnuExportAllNonHighlighted")};
    c.exportNonHighlightedCaption = QStringLiteral("&Non Highlighted Rows");
    c.filterNote = true;
    c.helpContext = 730;
    return c;
}

ResultListConfig ResultListConfig::ShowData2()
{
    ResultListConfig c;
    c.name = QStringLiteral("ShowData2");
    c.partNumberCaptions = {QStringLiteral("Part #1"), QStringLiteral("Part #2"), QStringLiteral("Part #3")};
    c.columnWidths = {2196, 2117, 2143, 4128, 3200, 1588, 1296, 1852, 2408, 1455, 1455, 1455,
                      1085, 1111, 1164, 1005, 979, 1005, 1217, 1296, 1244, 1244, 1217, 1217};
    c.colorTable = QStringLiteral("List2Colors");
    c.colorMenuName = QStringLiteral("MnuColors2");
    c.colorItemNames = {QStringLiteral("Mnu2Background"), QStringLiteral("Mnu2TextColor"),
                        QStringLiteral("Mnu2ListWindow"), QStringLiteral("Mnu2TextColors"),
                        QStringLiteral("Mnu2ListBackground"), QStringLiteral("Mnu2ListFirst"), QStringLiteral("Mnu2Next")};
    c.listTextCaption = QStringLiteral("Text Color");
    c.printMenuName = QStringLiteral("MnuPrint");
    c.printItemNames = {QStringLiteral("MnuPrintAll"), QStringLiteral("mnuPrintHighlighted"),
                        QStringLiteral("MnuPrintNonSelected")};
    c.exportMenuName = QStringLiteral("mnuExport");
    c.exportItemNames = {QStringLiteral("MnuExportAll"), QStringLiteral("MnuExportHighlighted"),
                         QStringLiteral("MnuExportNonHighlighted")};
    c.exportNonHighlightedCaption = QStringLiteral("&NonHighlighted Rows");
    c.layoutMenu = true;
    c.helpContext = 740;
    return c;
}

ColorSchemeConfig resultListColorScheme(const ResultListConfig& config)
{
    const QString window;
    const QString navigator = QStringLiteral("SSDBData1");
    const QString grid = QStringLiteral("SSDBGrid1");
    ColorSchemeConfig c;
    c.tableName = config.colorTable;
    c.menuName = config.colorMenuName;
    c.menuCaption = QStringLiteral("&Colors");
    c.bindings = {
        {QStringLiteral("MainFormBackColor"), window, ColorProperty::BackColor},
        {QStringLiteral("SSDataForeColor"), navigator, ColorProperty::ForeColor},
        {QStringLiteral("SSDataBackColor"), navigator, ColorProperty::BackColor},
        {QStringLiteral("SSDBGridBackColor"), grid, ColorProperty::BackColor},
        {QStringLiteral("SSDBGridForeColor"), grid, ColorProperty::EvenRowForeColor},
        {QStringLiteral("SSDBGridForeColor"), grid, ColorProperty::OddRowForeColor},
        {QStringLiteral("SSDBGridEvenColor"), grid, ColorProperty::EvenRowBackColor},
        {QStringLiteral("SSDBGridOddColor"), grid, ColorProperty::OddRowBackColor},
    };
    const QString listWindow = QStringLiteral("List Window");
    const QStringList& n = config.colorItemNames;

    ColorMenuItem background;
    background.name = n.value(0);
    background.caption = QStringLiteral("Background Colors");
    background.steps = {ColorStep::apply(window, ColorProperty::BackColor), ColorStep::store(QStringLiteral("MainFormBackColor")),
                        ColorStep::apply(navigator, ColorProperty::BackColor), ColorStep::store(QStringLiteral("SSDataBackColor"))};
    ColorMenuItem text;
    text.name = n.value(1);
    text.caption = QStringLiteral("Text Color");
    text.steps = {ColorStep::apply(navigator, ColorProperty::ForeColor), ColorStep::store(QStringLiteral("SSDataForeColor"))};
    ColorMenuItem listText;
    listText.name = n.value(3);
    listText.caption = config.listTextCaption;
    listText.submenu = listWindow;
    listText.steps = {ColorStep::store(QStringLiteral("SSDBGridForeColor")), ColorStep::apply(grid, ColorProperty::EvenRowForeColor),
                      ColorStep::apply(grid, ColorProperty::OddRowForeColor)};
    ColorMenuItem listBackground;
    listBackground.name = n.value(4);
    listBackground.caption = QStringLiteral("Background");
    listBackground.submenu = listWindow;
    listBackground.steps = {ColorStep::store(QStringLiteral("SSDBGridBackColor")), ColorStep::apply(grid, ColorProperty::BackColor)};
    ColorMenuItem first;
    first.name = n.value(5);
    first.caption = QStringLiteral("First Row");
    first.submenu = listWindow;
    first.steps = {ColorStep::store(QStringLiteral("SSDBGridEvenColor")), ColorStep::apply(grid, ColorProperty::EvenRowBackColor)};
    ColorMenuItem next;
    next.name = n.value(6);
    next.caption = QStringLiteral("Next Row");
    next.submenu = listWindow;
    next.steps = {ColorStep::store(QStringLiteral("SSDBGridOddColor")), ColorStep::apply(grid, ColorProperty::OddRowBackColor)};
    c.items = {background, text, listText, listBackground, first, next};
    c.popupControls = {grid};
    return c;
}

// ---------------------------------------------------------------- the grid

ResultGrid::ResultGrid(QWidget* parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(twipsToPx(255));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(twipsToPx(300));
    horizontalHeader()->setHighlightSections(false);
}

QList<int> ResultGrid::rowsFor(int rowsValue) const
{
    QList<int> rows;
    const QAbstractItemModel* m = model();
    if (!m)
        return rows;
    const int count = m->rowCount();
    if ((rowsValue & 7) == GridRows::All) {
        rows.reserve(count);
        for (int r = 0; r < count; ++r)
            rows.append(r);
        return rows;
    }
    QList<bool> selected(count, false);
    if (selectionModel())
        for (const QModelIndex& i : selectionModel()->selectedRows())
            if (i.row() >= 0 && i.row() < count)
                selected[i.row()] = true;
    const bool wantSelected = (rowsValue & GridRows::Highlighted) != 0;
    for (int r = 0; r < count; ++r)
        if (selected[r] == wantSelected)
            rows.append(r);
    return rows;
}

bool ResultGrid::exportData(int type, int flags, const QString& path, QString* error) const
{
    if (type != 0) {
        *error = QStringLiteral("Only tab-separated text can be exported.");
        return false;
    }
    const QAbstractItemModel* m = model();
    const int columns = m ? m->columnCount() : 0;
    const bool shown = (flags & ShownValues) != 0;
    QString text;
    if (flags & HeadingLine) {
        QStringList headings;
        for (int c = 0; c < columns; ++c)
            headings << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        text += headings.join(u'\t') + QStringLiteral("\r\n");
    }
    for (const int r : rowsFor(flags & 7)) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << cellText(m, r, c, shown);
        text += cells.join(u'\t') + QStringLiteral("\r\n");
    }
    // Through a link, the file the system reaches by it.
    QSaveFile file(linkTarget(path));
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    // The file replaced keeps who may read and write it (an account sharing the folder included).
    takeAttributesOf(int(file.handle()), path);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool ResultGrid::printData(int rowsValue, bool setupDialog, bool headingsOnEveryPage, QString* error) const
{
    QPrinter& printer = sharedPrinter();
    if (setupDialog && !Dialogs::get().printDialog(printer))
        return true;   // the user chose not to print
    return printTo(printer, rowsValue, headingsOnEveryPage, error);
}

bool ResultGrid::printTo(QPrinter& printer, int rowsValue, bool headingsOnEveryPage, QString* error) const
{
    const QAbstractItemModel* m = model();
    const int columns = m ? m->columnCount() : 0;
    const QList<int> rows = rowsFor(rowsValue);
    printer.setDocName(caption);

    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = QStringLiteral("The printer could not be started.");
        return false;
    }
    const double dpi = printer.resolution();
    const QRect page = painter.viewport();
    const auto px = [dpi](int twips) { return int(twips * dpi / 1440.0); };

    QFont font = queryFont(8);
    QFont bold = queryFont(8, true);
    painter.setFont(font);
    const int lineHeight = int(QFontMetrics(font, painter.device()).height() * 1.35);
    const int titleHeight = int(QFontMetrics(bold, painter.device()).height() * 2);

    // Column widths in device pixels, and bands of columns that fit across the page; every band
    // after the first starts with the first column again, so each line still names its part.
    QList<int> widths;
    for (int c = 0; c < columns; ++c)
        widths << std::max(px(400), px(columnWidth(c) * 15));
    QList<QList<int>> bands;
    QList<int> band;
    int used = 0;
    for (int c = 0; c < columns; ++c) {
        if (!band.isEmpty() && used + widths[c] > page.width()) {
            bands << band;
            band = {0};
            used = widths[0];
        }
        if (!band.contains(c)) {
            band << c;
            used += widths[c];
        }
    }
    if (!band.isEmpty())
        bands << band;

    int pageNumber = 0;
    bool firstPage = true;
    for (const QList<int>& b : std::as_const(bands)) {
        int next = 0;
        do {
            if (!firstPage && !printer.newPage()) {
                *error = QStringLiteral("The printer refused a new page.");
                return false;
            }
            firstPage = false;
            ++pageNumber;
            int y = page.top();
            painter.setFont(bold);
            painter.drawText(QRect(page.left(), y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, caption);
            painter.setFont(font);
            painter.drawText(QRect(page.left(), y, page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("Page %1").arg(pageNumber));
            y += titleHeight;
            if (headingsOnEveryPage || next == 0) {
                int x = page.left();
                painter.setFont(bold);
                for (const int c : b) {
                    painter.drawText(QRect(x + px(30), y, widths[c] - px(60), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                                     m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
                    x += widths[c];
                }
                painter.setFont(font);
                y += lineHeight;
                painter.drawLine(page.left(), y, x, y);
            }
            while (next < rows.size() && y + lineHeight <= page.bottom()) {
                int x = page.left();
                for (const int c : b) {
                    const QModelIndex i = m->index(rows[next], c);
                    const Qt::Alignment align = Qt::Alignment(m->data(i, Qt::TextAlignmentRole).toInt());
                    const QRect cell(x + px(30), y, widths[c] - px(60), lineHeight);
                    const QString t = painter.fontMetrics().elidedText(cellText(m, rows[next], c, true), Qt::ElideRight,
                                                                        cell.width());
                    painter.drawText(cell, (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, t);
                    x += widths[c];
                }
                y += lineHeight;
                ++next;
            }
        } while (next < rows.size());
    }
    painter.end();
    return true;
}

// ---------------------------------------------------------------- the window

ResultListWindow::ResultListWindow(const ResultListConfig& config, DataControl* opener, QWidget* parent,
                                   std::function<bool()> openerFilterOn)
    : QMainWindow(parent, parent ? Qt::Window : Qt::WindowFlags())
    , m_config(config)
    , m_opener(opener)
    , m_openerFilterOn(std::move(openerFilterOn))
{
    setObjectName(config.name);
    setWindowTitle(QStringLiteral("Inventory Database"));
    setFont(queryFont(8));

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    buildControls();

    // The "List Window" items first make sure the grid shows (it always does here).
    ColorSchemeConfig colors = resultListColorScheme(config);
    for (ColorMenuItem& item : colors.items)
        if (!item.submenu.isEmpty())
            item.pre = [this] { SSDBGrid1->setVisible(true); };
    Data3 = new ColorScheme(this, colors);
    Data3->setObjectName(QStringLiteral("Data3"));
    buildMenus();
    setHelpContext(this, config.helpContext);
    Form_Load();
    fitLabelTexts(this);   // the navigator shows the current part's description
}

ResultListWindow::~ResultListWindow() = default;

void ResultListWindow::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(twipsToPx(120), twipsToPx(120), twipsToPx(120), twipsToPx(120));
    layout->setSpacing(twipsToPx(90));

    SSDBGrid1 = new ResultGrid(client);
    SSDBGrid1->setObjectName(QStringLiteral("SSDBGrid1"));
    SSDBGrid1->caption = QStringLiteral("Inventory Database");
    auto* gridCaption = new QLabel(SSDBGrid1->caption, client);
    gridCaption->setObjectName(QStringLiteral("SSDBGrid1Caption"));
    gridCaption->setAlignment(Qt::AlignCenter);
    gridCaption->setFont(queryFont(9.75, true));
    gridCaption->setFrameShape(QFrame::Panel);
    gridCaption->setFrameShadow(QFrame::Raised);
    gridCaption->setAutoFillBackground(true);
    gridCaption->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(gridCaption);
    layout->addWidget(SSDBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(twipsToPx(120));
    SSDBData1 = new DataNavigator(client);
    SSDBData1->setObjectName(QStringLiteral("SSDBData1"));
    SSDBData1->setMinimumHeight(twipsToPx(450));
    bottom->addWidget(SSDBData1, 1);
    if (m_config.filterNote) {
        FilterLabel = new QLabel(QStringLiteral("Filter is ON"), client);
        FilterLabel->setObjectName(QStringLiteral("FilterLabel"));
        FilterLabel->setToolTip(QStringLiteral("This lets you know there is a filter currently on"));
        FilterLabel->setFont(queryFont(9.75, true));
        QPalette red = FilterLabel->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        FilterLabel->setPalette(red);
        FilterLabel->setAlignment(Qt::AlignCenter);
        FilterLabel->setMinimumWidth(twipsToPx(1365));
        FilterLabel->hide();
        bottom->addWidget(FilterLabel);
    }
    Command1 = new QPushButton(QStringLiteral("E&xit"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(queryFont(8.25, true));
    Command1->setMinimumSize(twipsToPx(1140), twipsToPx(450));
    bottom->addWidget(Command1);
    layout->addLayout(bottom);

    connect(Command1, &QPushButton::clicked, this, &ResultListWindow::Command1_Click);
    resize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));
}

void ResultListWindow::buildMenus()
{
    printMenu = menuBar()->addMenu(QStringLiteral("&Print"));
    printMenu->setObjectName(m_config.printMenuName);
    exportMenu = menuBar()->addMenu(QStringLiteral("&Export"));
    exportMenu->setObjectName(m_config.exportMenuName);
    const int rowsValues[3] = {GridRows::All, GridRows::Highlighted, GridRows::NotHighlighted};
    const QString printCaptions[3] = {QStringLiteral("&All Rows"), QStringLiteral("&Highlighted Rows"),
                                      QStringLiteral("&Non Highlighted Rows")};
    const QString exportCaptions[3] = {QStringLiteral("&All Rows"), QStringLiteral("&Highlighted Rows"),
                                       m_config.exportNonHighlightedCaption};
    for (int k = 0; k < 3; ++k) {
        const int rows = rowsValues[k];
        printItems[k] = printMenu->addAction(printCaptions[k]);
        printItems[k]->setObjectName(m_config.printItemNames.value(k));
        connect(printItems[k], &QAction::triggered, this, [this, rows] { Print_Click(rows); });
        exportItems[k] = exportMenu->addAction(exportCaptions[k]);
        exportItems[k]->setObjectName(m_config.exportItemNames.value(k));
        connect(exportItems[k], &QAction::triggered, this, [this, rows] { Export_Click(rows); });
    }
    if (m_config.layoutMenu) {
        // Kept for its place in the menu bar; a grid layout is neither saved nor loaded.
        MnuLayout = menuBar()->addMenu(QStringLiteral("&Layout"));
        MnuLayout->setObjectName(QStringLiteral("MnuLayout"));
        MnuLayoutSave = MnuLayout->addAction(QStringLiteral("&Save"));
        MnuLayoutSave->setObjectName(QStringLiteral("MnuLayoutSave"));
        MnuLayoutOpen = MnuLayout->addAction(QStringLiteral("&Open"));
        MnuLayoutOpen->setObjectName(QStringLiteral("MnuLayoutOpen"));
        MnuLayoutSave->setEnabled(false);
        MnuLayoutOpen->setEnabled(false);
        MnuLayout->menuAction()->setEnabled(false);
    }
    colorMenu = Data3->menu();
    menuBar()->addMenu(colorMenu);
    for (QMenu* sub : colorMenu->findChildren<QMenu*>())
        if (sub->title() == QLatin1String("List Window"))
            sub->setObjectName(m_config.colorItemNames.value(2));
}

void ResultListWindow::ShowList(const ResultListConfig& config, DataControl* opener, QWidget* openerWindow,
                                std::function<bool()> openerFilterOn)
{
    std::unique_ptr<ResultListWindow> list;
    {
        WaitCursor hourglass;
        list = std::make_unique<ResultListWindow>(config, opener, openerWindow, std::move(openerFilterOn));
    }
    ShowModal(list.get());
}

void ResultListWindow::Form_Load()
{
    Data1->setDatabaseName(AppFolder::join(QStringLiteral("\\Inventory.mdb")));
    Data1->setRecordSource(QStringLiteral("Parts"));
    Data3->OpenColorScheme();
    Data3->install();

    // The opener's own recordset: the same records, the same current record.
    if (m_opener && m_opener->sharedRecordset() && !m_opener->sharedRecordset()->isClosed())
        Data1->setRecordset(m_opener->sharedRecordset());

    m_model = new ListModel(Data1, this);
    QList<RecordsetModel::Column> columns;
    for (int c = 0; c < 24; ++c) {
        const QString heading = Columns[c].caption ? QString::fromLatin1(Columns[c].caption)
                                                   : m_config.partNumberCaptions.value(c);
        columns.append({QString::fromLatin1(Columns[c].field), heading, Columns[c].format});
    }
    m_model->setColumns(columns);
    SSDBGrid1->setModel(m_model);
    // An amount or a count wider than its column is shown smaller, never cut.
    auto* fitting = new TextFittingDelegate(SSDBGrid1);
    for (int c = 0; c < 24; ++c) {
        SSDBGrid1->setColumnWidth(c, twipsToPx(m_config.columnWidths.value(c, 1200)));
        if (Columns[c].number)
            SSDBGrid1->setItemDelegateForColumn(c, fitting);
    }

    SSDBData1->setDataControl(Data1);
    connect(m_model, &RecordsetModel::currentRowChanged, this, &ResultListWindow::followRecordset);
    connect(SSDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { userMovedTo(current); });
    connect(Data1, &DataControl::reposition, this, &ResultListWindow::updateCaption);
    followRecordset(m_model->currentRow());
}

// The recordset moved (navigator bar, or the grid itself): the grid's current row follows.
void ResultListWindow::followRecordset(int row)
{
    ++m_syncing;
    QItemSelectionModel* sel = SSDBGrid1->selectionModel();
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex target = m_model->index(row, std::max(0, SSDBGrid1->currentIndex().column()));
        if (sel->currentIndex().row() != row)
            sel->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        SSDBGrid1->scrollTo(target);
    }
    Q_EMIT m_model->headerDataChanged(Qt::Vertical, 0, std::max(0, m_model->rowCount() - 1));
    --m_syncing;
    updateCaption();
}

// The user put the grid on another row: the opener's current record moves there.
void ResultListWindow::userMovedTo(const QModelIndex& current)
{
    if (m_syncing || !current.isValid() || current.row() == m_model->currentRow())
        return;
    try {
        m_model->moveTo(current.row());
    } catch (const DbError& e) {
        ask(e.text(), 48);
        followRecordset(m_model->currentRow());
    }
}

void ResultListWindow::updateCaption()
{
    const Recordset* rs = Data1->recordset();
    QString caption;
    try {
        if (rs && !rs->isClosed() && rs->hasCurrent())
            caption = rs->value(QStringLiteral("Description")).toString();
    } catch (const DbError&) {
    }
    SSDBData1->setCaption(caption);
}

void ResultListWindow::showFilterNote()
{
    // Shown when the opener's filter is on; never hidden again while the list is open.
    if (FilterLabel && m_openerFilterOn && m_openerFilterOn())
        FilterLabel->show();
}

void ResultListWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    showFilterNote();
}

void ResultListWindow::Command1_Click()
{
    close();
}

QString ResultListWindow::exportFileName(int rowsValue)
{
    switch (rowsValue) {
    case GridRows::Highlighted:
        return QStringLiteral("ExportSelectedRows.txt");
    case GridRows::NotHighlighted:
        return QStringLiteral("ExportNonSelectedRows.txt");
    default:
        return QStringLiteral("ExportAllRows.txt");
    }
}

void ResultListWindow::Export_Click(int rowsValue)
{
    const QString name = exportFileName(rowsValue);
    QString error;
    bool ok = false;
    {
        WaitCursor hourglass;
        ok = SSDBGrid1->exportData(0, ResultGrid::HeadingLine + ResultGrid::ShownValues + rowsValue,
                                   AppFolder::join(u'\\' + name), &error);
    }
    if (!ok) {
        ask(QStringLiteral("Your data could not be exported to %1: %2").arg(name, error), 48);
        return;
    }
    ask(QStringLiteral("Your data has been successfully exported") + u'\r' + QStringLiteral("to a file name called ") + name, 0);
}

void ResultListWindow::Print_Click(int rowsValue)
{
    QString error;
    if (!SSDBGrid1->printData(rowsValue, true, true, &error))
        ask(QStringLiteral("The list could not be printed: %1").arg(error), 48);
}
