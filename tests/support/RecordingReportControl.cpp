#include "support/RecordingReportControl.h"

#include "reports/ReportError.h"

RecordingReportControl::RecordingReportControl()
    : log_(std::make_shared<Log>())
{
}

RecordingReportControl::RecordingReportControl(std::shared_ptr<Log> log)
    : log_(std::move(log))
{
}

void RecordingReportControl::setReportFileName(const QString& nameOrPath)
{
    log_->calls.append({Call::File, -1, nameOrPath});
    current_.file = nameOrPath;
}

void RecordingReportControl::setSelectionFormula(const QString& formula)
{
    log_->calls.append({Call::Formula, -1, formula});
    current_.formula = formula;
}

void RecordingReportControl::setSortField(int k, const QString& sortField)
{
    log_->calls.append({Call::SortField, k, sortField});
    current_.sortFields.insert(k, sortField);
}

void RecordingReportControl::run()
{
    log_->calls.append({Call::Run, -1, QString()});
    log_->runs.append(current_);
    current_ = Run();
    if (failure_) {
        const QString reason = *failure_;
        failure_.reset();
        throw ReportError(reason);
    }
}

RecordingReportControls::RecordingReportControls()
{
    auto log = log_;
    ReportControl::installFactory([this, log] {
        ++created_;
        return std::make_unique<RecordingReportControl>(log);
    });
}

RecordingReportControls::~RecordingReportControls()
{
    ReportControl::installFactory({});
}
