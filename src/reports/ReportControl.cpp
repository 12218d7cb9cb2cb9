#include "ReportControl.h"

#include "ReportEngine.h"

std::unique_ptr<ReportControl> ReportControl::create()
{
    if (const Factory& f = installedFactory())
        return f();
    return std::make_unique<EngineReportControl>();
}

void EngineReportControl::setSortField(int k, const QString& sortField)
{
    if (k < 0 || k > 2)
        throw ReportError(QStringLiteral("there is no sort field %1").arg(k));
    sorts_[k] = sortField;
}

void EngineReportControl::clear()
{
    file_.clear();
    formula_.clear();
    for (QString& s : sorts_)
        s.clear();
}

void EngineReportControl::run()
{
    struct Cleaner {
        EngineReportControl* c;
        ~Cleaner() { c->clear(); }
    } cleaner{this};
    if (file_.trimmed().isEmpty())
        throw ReportError(QStringLiteral("no report file was named"));
    Report report = Report::load(file_);
    report.setSelectionFormula(formula_);
    report.setSortFields({sorts_[0], sorts_[1], sorts_[2]});
    ReportViewer::get().show(report.run());
}
