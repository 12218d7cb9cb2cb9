#pragma once

#include "ReportControl.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DataControl;

// Puts a data source back on the table Parts of Inventory.mdb, as a table-type recordset.
// Each step that fails is skipped.
void RestorePartsDataSource(DataControl& data);

// How every window prints a report: the description of one launch, the letter/A4 file-name
// rule, the launch itself, and the steps that put a window's parts data source back on the
// table Parts.

enum class ReportPlacement {
    ProgramFolder,   // the program's folder and the file name
    Bare,            // the file name alone (the engine finds it in the program's folder)
};

// The box shown instead of a report when the precondition finds nothing.
struct ReportNotice {
    QString text;
    int style = 0;       // message-box style: 0, 48, 64 ...
    QString title;       // empty: the application's title
    bool beep = false;   // a beep before the box
};

// Whether the report runs at all, decided before anything is set on the report control.
struct ReportPrecondition {
    // The query run on the window's Data1. Empty: Data1 is not pointed anywhere and the rows
    // it already holds are counted (the usage screen).
    QString query;
    ReportNotice notice;
    // Data1's database becomes Inventory.mdb first (the ordering screen's already is).
    bool pointAtInventory = true;
    // When rows are found, Data1 moves to the first (the lane prompt and the usage screen).
    bool moveFirst = false;
    // Puts Data1 back after the notice; RestorePartsDataSource unless the caller has its own
    // steps (the ordering screen) or none (the usage screen).
    std::function<void(DataControl&)> restore = RestorePartsDataSource;
    // A test made instead of any query (the maintenance screen: "is a filter on?"); when it
    // fails the notice shows, nothing runs and Data1 is not touched.
    std::function<bool()> check;

    static ReportPrecondition onQuery(const QString& sql, const ReportNotice& notice);
    // The usage screen: its own rows counted, moved to the first, nothing restored.
    static ReportPrecondition onHeldRows(const ReportNotice& notice);
    static ReportPrecondition onCheck(std::function<bool()> check, const ReportNotice& notice);
};

struct ReportRequest {
    QString letterFile;                     // "Complete.rpt", "Parts Usage.rpt", "FilteredAvery5160.Rpt"
    bool hasA4Twin = false;
    ReportPlacement placement = ReportPlacement::ProgramFolder;
    std::optional<ReportPrecondition> precondition;
    std::optional<QString> selectionFormula;
    QStringList sortFields;                 // up to three; the first empty one ends them
    // Runs once the precondition has found rows, before the report is set up (the purchase
    // order question and the information window of the order forms).
    std::function<void()> beforeRun;
};

enum class ReportOutcome {
    Ran,         // the report was produced and shown
    NoRecords,   // the notice was shown instead
    Failed,      // the user was told why the report could not be produced
};

// The text handed to the report control as its report file: the A4 twin ("CompleteA4.rpt")
// when the request has one and the paper is A4, then the program's folder before it unless
// the placement is bare.
QString ReportFileForPaper(const QString& letterFile, bool hasA4Twin, ReportPlacement placement);

// One launch on a window's parts data source Data1 (needed only with a precondition that
// queries) and its report control. The hourglass shows throughout and the pointer returns to
// normal on every path. A report that cannot be produced, and a precondition query that
// fails, are told to the user once: "The report <file> could not be printed: <reason>".
ReportOutcome ReportLauncher(DataControl* Data1, ReportControl& CrystalReport1, const ReportRequest& request);
