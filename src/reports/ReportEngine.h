#pragma once

#include "ReportDocument.h"

#include <QString>
#include <QStringList>

#include <memory>

// The report engine's front door:
//
//   Report report = Report::load("Complete.rpt");          // definition file
//   report.setSelectionFormula("{Parts.In Stock} < 5");    // optional
//   report.setSortFields({"+{Parts.Location}"});           // optional, up to three
//   std::shared_ptr<ReportDocument> doc = report.run();    // read the rows, lay out the pages
//   doc->page(0) / doc->render(...) / doc->exportPdf(...) / doc->print(sharedPrinter())
//   ReportViewer::get().show(doc);                          // the preview window
//
// Every failure is a ReportError whose text says why, in words for the user.
class Report
{
public:
    // A bare name is looked up in the program's folder, a path in its own folder; either way
    // without regard to letter case.
    static Report load(const QString& nameOrPath);
    explicit Report(std::shared_ptr<const ReportDefinition> definition);

    const ReportDefinition& definition() const { return *def_; }

    void setSelectionFormula(const QString& formula);      // throws ReportError (FormulaError)
    void setSortFields(const QStringList& fields);         // throws ReportError; empty texts are skipped
    const Formula& selectionFormula() const { return formula_; }
    const QList<SortField>& sortFields() const { return sorts_; }

    std::shared_ptr<ReportDocument> run() const;

private:
    std::shared_ptr<const ReportDefinition> def_;
    Formula formula_;
    QList<SortField> sorts_;
};

// Where a report file named by a caller lives: bare names in the program's folder (never in
// whatever folder a file dialog visited last), letter case ignored.
QString findReportFile(const QString& nameOrPath);

// Shows a finished report. The real one opens the preview window modeless and returns at once;
// tests install one that keeps the document instead.
class ReportViewer
{
public:
    virtual ~ReportViewer() = default;
    virtual void show(std::shared_ptr<ReportDocument> document) = 0;

    static ReportViewer& get();             // the installed viewer, else the preview window
    static void install(ReportViewer* v);   // nullptr restores the preview window; not owned
};
