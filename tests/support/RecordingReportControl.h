#pragma once

#include "reports/ReportControl.h"

#include <QList>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

// A report control that records what a launch set and ran instead of producing a report.
// Like the engine's control, run() leaves it clean.
//
//   RecordingReportControl report;                  // hand it to ReportLauncher directly, or
//   RecordingReportControls all;                    // make every window's control record here
//   ... the window prints ...
//   QCOMPARE(all.runs().size(), 1);
//   QCOMPARE(all.runs()[0].file, AppFolder::join("CompleteA4.rpt"));
class RecordingReportControl : public ReportControl
{
public:
    struct Call {
        enum Kind { File, Formula, SortField, Run };
        Kind kind = File;
        int k = -1;            // SortField only
        QString text;
    };
    // The settings in force when run() was called.
    struct Run {
        QString file;
        std::optional<QString> formula;     // unset when no formula was set
        QMap<int, QString> sortFields;      // only the fields that were set, by k
    };
    struct Log {
        QList<Call> calls;
        QList<Run> runs;
    };

    RecordingReportControl();
    explicit RecordingReportControl(std::shared_ptr<Log> log);

    void setReportFileName(const QString& nameOrPath) override;
    void setSelectionFormula(const QString& formula) override;
    void setSortField(int k, const QString& sortField) override;
    void run() override;

    // The next run() records the run, then fails with this reason (as a missing file would).
    void failNextRun(const QString& reason) { failure_ = reason; }

    const QList<Call>& calls() const { return log_->calls; }
    const QList<Run>& runs() const { return log_->runs; }

private:
    std::shared_ptr<Log> log_;
    Run current_;
    std::optional<QString> failure_;
};

// Installed for its lifetime: every report control a window makes records into one log.
class RecordingReportControls
{
public:
    RecordingReportControls();
    ~RecordingReportControls();
    RecordingReportControls(const RecordingReportControls&) = delete;
    RecordingReportControls& operator=(const RecordingReportControls&) = delete;

    const QList<RecordingReportControl::Call>& calls() const { return log_->calls; }
    const QList<RecordingReportControl::Run>& runs() const { return log_->runs; }
    int created() const { return created_; }
    void clear() { *log_ = {}; }

private:
    std::shared_ptr<RecordingReportControl::Log> log_ = std::make_shared<RecordingReportControl::Log>();
    int created_ = 0;
};
