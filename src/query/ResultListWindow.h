#pragma once

// ResultListWindow: the result list of a working screen ("Inventory Database"), one class for
// both instances, which differ only in their configuration:
//   ShowData1 - the maintenance screen's list:  ResultListConfig::ShowData1()
//   ShowData2 - the ordering screen's list:     ResultListConfig::ShowData2()
//
// How an opener shows it (its "&List" button), e.g. the ordering screen:
//
//     void TagParts::SSCommand4_Click()
//     {
//         ResultListWindow::ShowList(ResultListConfig::ShowData2(), Data1, this);
//     }
//
// ShowList sets the hourglass while the list loads, shows it modal through ShowModal, and
// returns (normal pointer) once the user has closed it with "E&xit" or the close box; the
// window is deleted then. The list opens no records of its own: its Data1 takes the opener's
// recordset object itself (DataControl::setRecordset), so it shows exactly the opener's records
// in the opener's order, opens on the opener's current record, and every move in the list
// (grid row, navigator bar) is a move of the opener's current record, with the opener's
// validate event raised as for any move. When the list closes the opener stands on the row last
// current in the list. An opener with no open recordset, or an empty one, gets an empty list.
//
// The optional openerFilterOn tells ShowData1 whether the maintenance screen's "Filter is ON"
// is shown, so that the list shows its own note; ShowData2 has no note and ignores it.
//
// Beyond that the window is self-contained: the grid is read-only (parts are edited on the
// screens, with their checks); Print (all, highlighted or other rows) asks for the printer and
// prints the 24 columns; Export writes ExportAllRows.txt, ExportSelectedRows.txt or
// ExportNonSelectedRows.txt in the program's folder (tab-separated, a heading line, CRLF, UTF-8;
// written whole or not at all); the colours come from List1Colors or List2Colors in Colors.mdb
// with the "&Colors" menu (also on the right button over the window or the grid). ShowData2's
// "&Layout" menu is shown unavailable: no grid layout file is written or read.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <array>
#include <functional>

class ColorScheme;
class DataControl;
class DataNavigator;
class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class RecordsetModel;
struct ColorSchemeConfig;

struct ResultListConfig {
    QString name;                      // "ShowData1", "ShowData2"
    QStringList partNumberCaptions;    // headings of the first three columns
    QList<int> columnWidths;           // the 24 columns, in twips
    QString colorTable;                // "List1Colors", "List2Colors"
    QString colorMenuName;             // "MnuList1Colors", "MnuColors2"
    QStringList colorItemNames;        // background, text, List Window, its text, background, first, next row
    QString listTextCaption;           // "Text" or "Text Color" under "List Window"
    QString printMenuName;
    QStringList printItemNames;        // all, highlighted, non-highlighted rows
    QString exportMenuName;
    QStringList exportItemNames;
    QString exportNonHighlightedCaption;
    bool layoutMenu = false;           // "&Layout", shown unavailable
    bool filterNote = false;           // "Filter is ON" when the opener's filter is on
    int helpContext = 0;

    static ResultListConfig ShowData1();
    static ResultListConfig ShowData2();
};

ColorSchemeConfig resultListColorScheme(const ResultListConfig& config);

// Which rows a print or an export covers.
namespace GridRows {
constexpr int All = 7;
constexpr int Highlighted = 2;
constexpr int NotHighlighted = 4;
}  // namespace GridRows

// The list grid: a read-only table of the records, with print and text export of all,
// highlighted (selected) or other rows, in the records' order.
class ResultGrid : public QTableView {
    Q_OBJECT
public:
    // Export flags: the rows value (7, 2, 4) plus HeadingLine (column headings on the first line)
    // plus ShownValues (values as the grid shows them, "$12.50"; else as stored).
    static constexpr int HeadingLine = 32;
    static constexpr int ShownValues = 128;

    explicit ResultGrid(QWidget* parent = nullptr);

    QList<int> rowsFor(int rowsValue) const;   // model rows, in order

    // Type 0: tab-separated text. The file is replaced whole, or left as it was on failure.
    bool exportData(int type, int flags, const QString& path, QString* error) const;
    // Asks for the printer when setupDialog is true (Cancel prints nothing); headings repeat on
    // every page when headingsOnEveryPage. Columns that do not fit across a page continue on
    // further pages, the first column repeated. False with the reason when it cannot print.
    bool printData(int rowsValue, bool setupDialog, bool headingsOnEveryPage, QString* error) const;
    bool printTo(QPrinter& printer, int rowsValue, bool headingsOnEveryPage, QString* error) const;

    QString caption;
};

class ResultListWindow : public QMainWindow {
    Q_OBJECT
public:
    ResultListWindow(const ResultListConfig& config, DataControl* opener, QWidget* parent = nullptr,
                     std::function<bool()> openerFilterOn = {});
    ~ResultListWindow() override;

    // The opener's "&List": hourglass, load, modal display, normal pointer when closed.
    static void ShowList(const ResultListConfig& config, DataControl* opener, QWidget* openerWindow,
                         std::function<bool()> openerFilterOn = {});

    const ResultListConfig& config() const { return m_config; }

    void Form_Load();
    void Command1_Click();            // "E&xit"
    void Print_Click(int rowsValue);  // the three "&Print" items
    void Export_Click(int rowsValue); // the three "&Export" items
    static QString exportFileName(int rowsValue);   // "ExportAllRows.txt" ...

    DataControl* Data1;
    ResultGrid* SSDBGrid1;
    DataNavigator* SSDBData1;
    QPushButton* Command1;
    ColorScheme* Data3;
    QLabel* FilterLabel = nullptr;    // ShowData1 only

    QMenu* printMenu;
    std::array<QAction*, 3> printItems{};    // all, highlighted, non-highlighted
    QMenu* exportMenu;
    std::array<QAction*, 3> exportItems{};
    QMenu* MnuLayout = nullptr;       // ShowData2 only, never available
    QAction* MnuLayoutSave = nullptr;
    QAction* MnuLayoutOpen = nullptr;
    QMenu* colorMenu;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void followRecordset(int row);
    void userMovedTo(const QModelIndex& current);
    void updateCaption();
    void showFilterNote();

    ResultListConfig m_config;
    QPointer<DataControl> m_opener;
    std::function<bool()> m_openerFilterOn;
    RecordsetModel* m_model = nullptr;
    int m_syncing = 0;
};
