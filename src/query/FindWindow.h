#pragma once

#include "query/FilterStatement.h"

#include <QDialog>
#include <QPointer>

#include <array>

class DataControl;
class FilterHost;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;

// "Set Filter": up to five criteria rows (field, operator, criterion, And/Or to the next row) and
// up to three sort rows, turned into a statement for the maintenance screen's parts data source
// and into the formula and sort fields its filtered report and labels print with.
//
// There is one window for the whole program. It is created when first used and afterwards only
// hidden and shown again, so its rows, check boxes and the last applied formula stay until the
// program ends; each opening acts on the screen that opened it (FilterHost).
//
// Rows grow as they are filled: a criteria row appears when the row above gets a condition, a
// sort row when the row above gets a field. In the advanced mode ("&Advanced...") the window is
// taller and shows the statement and the report formula as the rows change; that preview never
// changes what is applied or printed.
class FindWindow : public QDialog {
    Q_OBJECT
public:
    static FindWindow* instance();          // created on first use
    static FindWindow* existingInstance();  // nullptr before the first use
    static void destroyInstance();          // at the program's end

    // The host's "&Filter" button: loads the window on first use (under the hourglass), then
    // shows it modal over the host until a command hides it.
    static void ShowFilter(FilterHost* host);

    // Points the window at the screen it acts on, loading the window on its first use.
    void prepare(FilterHost* host);
    FilterHost* host() const;

    // The formula and sort fields of the filter in effect on the host, as OK applied it (empty
    // after Cancel Filter): what the filtered report and labels print with.
    CurrentFilterFormula currentFilterFormula() const { return m_applied; }

    // Builds the statement from the rows as they stand, shows the report formula and sort fields
    // in Label4, Label6..Label8 and returns the statement (empty when there is nothing to run).
    QString CreateSQLStatement();
    // Checks every criterion against its field's type; says why and focuses the first that
    // cannot be used. Numbers and yes/no words are rewritten on the way.
    bool CheckCriteria();
    QString GetTableName() const;

    void FillFieldList(int i);
    void FillSortFieldList(int j);
    void ResetFindRows();
    void ResetSortRows();
    void UpdateFilterPreview();
    bool isAdvanced() const;

    // Which row elements exist (a row after the first exists once the row above leads to it).
    bool isFieldLoaded(int i) const { return i >= 0 && i < 5 && m_fieldLoaded[i]; }
    bool isRowLoaded(int i) const { return i >= 0 && i < 5 && m_rowLoaded[i]; }
    bool isSortFieldLoaded(int j) const { return j >= 0 && j < 3 && m_sortFieldLoaded[j]; }
    bool isSortOrderLoaded(int j) const { return j >= 0 && j < 3 && m_sortOrderLoaded[j]; }
    QString operatorTag(int i) const { return m_operatorTag[i]; }

    // Handlers.
    void Form_Load();
    void Field_Click(int i);
    void Operator_Click(int i);
    void Criteria_KeyUp(int i);
    void Condition_Click(int i);
    void SortField_Click(int j);
    void Picture1_GotFocus();
    void Picture2_GotFocus();
    void AdvancedButton_Click();
    void ClearButton_Click();
    void ClearSortButton_Click();
    void DeleteCheck_Click();
    void SQLLabel_Click();
    void OKButton_Click();
    void Command1_Click();        // "&Cancel Filter"
    void CancelButton_Click();    // "E&xit"

    // Controls.
    QLabel* Label1;
    std::array<QComboBox*, 5> Field{};
    std::array<QComboBox*, 5> Operator{};
    std::array<QLineEdit*, 5> Criteria{};
    std::array<QComboBox*, 4> Condition{};   // the fifth row has none: five rows at most
    QLabel* Label2;
    std::array<QComboBox*, 3> SortField{};
    std::array<QComboBox*, 3> SortOrder{};
    QFrame* Picture1;
    QFrame* Picture2;
    QCheckBox* CountCheck;
    QCheckBox* DeleteCheck;
    QPushButton* ClearSortButton;
    QPushButton* ClearButton;
    QPushButton* AdvancedButton;
    QPushButton* Command1;
    QPushButton* CancelButton;
    QPushButton* OKButton;
    QLabel* Label3;
    QLabel* SQLLabel;
    QLabel* Label5;
    QLabel* Label4;   // report selection formula
    QLabel* Label6;   // report sort fields 1..3
    QLabel* Label7;
    QLabel* Label8;

public Q_SLOTS:
    void reject() override;   // Esc and the close box: Exit

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Applied { Found, NoRecords, Failed };
    struct Kept {
        QString source;
        int openKind = -1;    // kind of the open recordset; -1 when none was open
        QString index;
    };

    explicit FindWindow(QWidget* parent = nullptr);
    void buildControls();
    void setCompactHeight();
    void setAdvancedHeight();
    void hideAndReset();
    void unloadRow(int i);
    void unloadSortRow(int j);
    void fillOperators(int i, int typeCode);
    void paint3DFrame(QPainter& painter, int width);
    FilterStatement build();
    QList<FilterRow> criteriaRows() const;
    FilterRequest request() const;
    DataControl* data() const;
    Kept keep() const;
    bool restore(const Kept& kept);
    bool savePending();
    Applied apply(const QString& statement, bool indicatorsWhenFound, const CurrentFilterFormula& formula);
    bool confirmDelete(const QString& statement);
    bool deleteRecords(const QString& statement);
    void countFound(const QString& statement);
    void returnToTable();

    FilterHost* m_host = nullptr;
    QPointer<QObject> m_hostGuard;
    bool m_loaded = false;
    std::array<bool, 5> m_fieldLoaded{};
    std::array<bool, 5> m_rowLoaded{};   // Operator, Criteria and Condition of the row
    std::array<bool, 3> m_sortFieldLoaded{};
    std::array<bool, 3> m_sortOrderLoaded{};
    std::array<QString, 5> m_operatorTag;
    QList<QPair<QString, int>> m_fields;   // the data source's fields and type codes, in order
    CurrentFilterFormula m_applied;
};
